// "Save as" of the profile editor: the typed name, the file it lands in, the
// overwrite question and the profile drop-down.

#include <gtest/gtest.h>

#include <QComboBox>
#include <QPushButton>
#include <filesystem>
#include <memory>

#include "gui/editor_fixture.h"
#include "platform/code_page.h"
#include "profiles/ui/enc_set_dlg.h"
#include "support/temp_dir.h"

namespace qorvane {
namespace {

namespace fs = std::filesystem;
using testing::ReadFileBytes;

class SaveAsTest : public testing::EditorFixture {
protected:
    SaveAsTest() {
        dir.write("Profile/Music.wpf", "[audio]\nmode=2\n");
        proList.addItems({QStringLiteral("Music"), QStringLiteral("Temporary")});
        proList.setCurrentIndex(0);
    }

    std::unique_ptr<TEncSetDlg> open() {
        ProfileEditorServices s = services();
        s.proListChange = [this] { changes.push_back(proList.currentText().toStdString()); };
        return std::make_unique<TEncSetDlg>(path, s);
    }

    std::vector<std::string> changes;
};

TEST_F(SaveAsTest, CleanedNameIsSavedAddedToTheDropDownAndAssignedOnce) {
    input.answers.push_back("  My/Profile ");
    auto dlg = open();
    dlg->Button1->click();
    EXPECT_EQ(input.asked, std::vector<std::string>{"qorv: 新しい Profile 名の入力 []"});
    EXPECT_EQ(dlg->result(), QDialog::Accepted);
    EXPECT_EQ(path, profileDir / "My Profile .wpf");
    EXPECT_EQ(LoadProfile(path).AudioMode, 2);
    ASSERT_EQ(proList.count(), 3);
    EXPECT_EQ(proList.currentIndex(), 2);
    EXPECT_EQ(proList.currentText(), QStringLiteral("My Profile "));
    EXPECT_EQ(changes, std::vector<std::string>{"My Profile "});
    EXPECT_TRUE(messages.questions.empty());
}

TEST_F(SaveAsTest, LongNamesAreCutWithoutSplittingACharacter) {
    input.answers.push_back(std::string(200, 'a'));
    open()->Button1->click();
    EXPECT_EQ(path, profileDir / (std::string(120, 'a') + ".wpf"));
    EXPECT_TRUE(fs::exists(path));

    path = profileDir / "Music.wpf";
    input.answers.push_back(std::string(118, 'b') + "あいう");
    open()->Button1->click();
    EXPECT_EQ(path, profileDir / (std::string(118, 'b') + ".wpf"));
    EXPECT_TRUE(fs::exists(path));
}

TEST_F(SaveAsTest, CancelledOrEmptyNameSavesNothingAndStaysOpen) {
    input.answers.push_back(std::nullopt);
    input.answers.push_back(" /:; ");
    auto dlg = open();
    dlg->Button1->click();
    dlg->Button1->click();
    EXPECT_EQ(input.asked.size(), 2u);
    EXPECT_NE(dlg->result(), QDialog::Accepted);
    EXPECT_EQ(path, profileDir / "Music.wpf");
    EXPECT_EQ(fs::directory_iterator(profileDir)->path().filename(), "Music.wpf");
    EXPECT_TRUE(messages.shown.empty());
    EXPECT_TRUE(changes.empty());
}

TEST_F(SaveAsTest, ExistingNameInOtherCaseAsksThenOverwritesAndSelectsTheExistingItem) {
    dir.write("Profile/Video.wpf", "[audio]\nmode=7\n");
    proList.insertItem(1, QStringLiteral("Video"));
    messages.answerYes = true;
    input.answers.push_back("VIDEO");
    auto dlg = open();  // editing Music (audio mode 2)
    dlg->Button1->click();
    EXPECT_EQ(messages.questions, std::vector<std::string>{"qorv: 上書き保存しますか?"});
    EXPECT_EQ(dlg->result(), QDialog::Accepted);
    // The existing file took the values; no second file in other case.
    EXPECT_EQ(path, profileDir / "Video.wpf");
    EXPECT_EQ(LoadProfile(profileDir / "Video.wpf").AudioMode, 2);
    EXPECT_FALSE(fs::exists(profileDir / "VIDEO.wpf"));
    EXPECT_EQ(proList.count(), 3);
    EXPECT_EQ(proList.currentText(), QStringLiteral("Video"));
    EXPECT_EQ(changes, std::vector<std::string>{"Video"});
}

TEST_F(SaveAsTest, DecliningTheOverwriteKeepsThePathAndTheDialogOpen) {
    dir.write("Profile/Video.wpf", "[audio]\nmode=7\n");
    const std::string before = ReadFileBytes(profileDir / "Video.wpf");
    messages.answerYes = false;
    input.answers.push_back("Video");
    auto dlg = open();
    dlg->Button1->click();
    EXPECT_EQ(messages.questions.size(), 1u);
    EXPECT_NE(dlg->result(), QDialog::Accepted);
    EXPECT_EQ(path, profileDir / "Music.wpf");
    EXPECT_EQ(ReadFileBytes(profileDir / "Video.wpf"), before);
    EXPECT_EQ(proList.count(), 2);
    EXPECT_TRUE(changes.empty());
}

TEST_F(SaveAsTest, DropDownEntryWithoutAFileLendsItsSpelling) {
    input.answers.push_back("temporary");
    open()->Button1->click();
    EXPECT_EQ(path, profileDir / "Temporary.wpf");
    EXPECT_TRUE(fs::exists(path));
    EXPECT_EQ(proList.currentText(), QStringLiteral("Temporary"));
    EXPECT_EQ(proList.count(), 2);
}

TEST_F(SaveAsTest, FailedSaveRestoresThePathAndAddsNothing) {
    fs::create_directories(profileDir / "Locked.wpf");  // a folder where the file would go
    messages.answerYes = true;
    input.answers.push_back("Locked");
    auto dlg = open();
    dlg->Button1->click();
    EXPECT_EQ(messages.shown, std::vector<std::string>{"qorv: 保存できませんでした"});
    EXPECT_EQ(path, profileDir / "Music.wpf");
    EXPECT_NE(dlg->result(), QDialog::Accepted);
    EXPECT_EQ(proList.count(), 2);
    EXPECT_TRUE(changes.empty());
}

}  // namespace
}  // namespace qorvane
