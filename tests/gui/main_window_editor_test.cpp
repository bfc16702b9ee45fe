// The profile editor as the main window opens it: refused during a
// conversion, opened for the right profile, and a profile saved under a new
// name offered by the drop-down and assigned to the selected rows.

#include <QComboBox>
#include <QLineEdit>
#include <QPushButton>
#include <QTest>
#include <QToolButton>
#include <QTreeView>

#include "gui/gui_fixture.h"
#include "gui/modal_answer.h"
#include "profiles/ui/enc_set_dlg.h"

namespace qorvane::testing {
namespace {

using Strings = std::vector<std::string>;

void Pick(QComboBox* list, int position) {
    list->setCurrentIndex(position);
    emit list->activated(position);
}

class MainWindowEditorTest : public MainWindowTest {
protected:
    // The next editor records its caption and is cancelled.
    void cancelNextEditor() {
        AnswerNextModal<TEncSetDlg>(window.get(), [this](TEncSetDlg& editor) {
            editorCaptions.push_back(editor.windowTitle());
            editor.CancelBtn->click();
        });
    }

    std::vector<QString> editorCaptions;
};

TEST_F(MainWindowEditorTest, ChangeIsRefusedWhileConverting) {
    TQorvbyOstrel& w = open();
    converting = true;
    cancelNextEditor();
    w.tbChg->click();
    EXPECT_EQ(messages.shown, (Strings{"qorv: 変換中は変更できません"}));
    EXPECT_TRUE(editorCaptions.empty());
    EXPECT_TRUE(state.currentProfilePath.empty());
}

TEST_F(MainWindowEditorTest, ChangeOpensTheSelectedRowsProfileElseTheDropDowns) {
    TQorvbyOstrel& w = open();
    cancelNextEditor();
    w.tbChg->click();
    EXPECT_EQ(state.currentProfilePath, dir / "Profile/Temporary.wpf");
    w.AddFiles({file("0.wav"), file("1.wav")});
    w.jobs().setField(1, JobField::Profile, "Voice");
    select({1});
    cancelNextEditor();
    QTest::mouseDClick(w.ListView1->viewport(), Qt::LeftButton, {}, QPoint(5, 5));
    EXPECT_EQ(state.currentProfilePath, dir / "Profile/Voice.wpf");
    EXPECT_EQ(editorCaptions, (std::vector<QString>{QStringLiteral("Profile - Temporary"),
                                                    QStringLiteral("Profile - Voice")}));
    // Cancelled: nothing was written.
    EXPECT_FALSE(std::filesystem::exists(dir / "Profile/Voice.wpf"));
}

TEST_F(MainWindowEditorTest, SavedAsProfileIsOfferedAssignedAndLoadsBack) {
    TQorvbyOstrel& w = open();
    w.AddFiles({file("0.wav"), file("1.wav")});
    select({1});
    input.answers.push_back("Voice");
    AnswerNextModal<TEncSetDlg>(window.get(), [](TEncSetDlg& editor) {
        Pick(editor.amode, 7);
        editor.vbrate->setText(QStringLiteral("300,500"));
        editor.Button1->click();
    });
    w.tbChg->click();

    EXPECT_EQ(state.currentProfilePath, dir / "Profile/Voice.wpf");
    ASSERT_EQ(w.proList->count(), 2);
    EXPECT_EQ(w.proList->currentText(), QStringLiteral("Voice"));
    EXPECT_EQ(column(JobField::Profile), (Strings{"Temporary", "Voice"}));

    // Opened again, the editor shows what was saved.
    bool checked = false;
    AnswerNextModal<TEncSetDlg>(window.get(), [&](TEncSetDlg& editor) {
        checked = true;
        EXPECT_EQ(editor.windowTitle(), QStringLiteral("Profile - Voice"));
        EXPECT_EQ(editor.amode->currentIndex(), 7);
        EXPECT_EQ(editor.abrate->currentIndex(), 6);
        EXPECT_EQ(editor.vbrate->text(), QStringLiteral("300,500"));
        editor.OKBtn->click();
    });
    w.tbChg->click();
    EXPECT_TRUE(checked);
    EXPECT_EQ(LoadProfile(dir / "Profile/Voice.wpf").VideoBitrate, "300,500");
}

}  // namespace
}  // namespace qorvane::testing
