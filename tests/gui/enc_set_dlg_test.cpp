#include "profiles/ui/enc_set_dlg.h"

#include <gtest/gtest.h>

#include <QAbstractItemView>
#include <QComboBox>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QSlider>
#include <QStyle>
#include <QTest>
#include <filesystem>
#include <memory>

#include "controls/xp_group_box.h"
#include "gui/editor_fixture.h"
#include "gui/modal_answer.h"
#include "platform/code_page.h"
#include "profiles/ui/vsize_dlg.h"
#include "support/temp_dir.h"

namespace qorvane {
namespace {

namespace fs = std::filesystem;
using testing::AnswerNextModal;
using testing::ReadFileBytes;

void Pick(QComboBox* list, int position) {
    list->setCurrentIndex(position);
    emit list->activated(position);
}

class EncSetDlgTest : public testing::EditorFixture {
protected:
    EncSetDlgTest() { proList.addItems({QStringLiteral("Music"), QStringLiteral("Video")}); }

    void writeProfile(const std::string& text) { dir.write("Profile/Music.wpf", text); }

    std::unique_ptr<TEncSetDlg> open() {
        ProfileEditorServices s = services();
        s.cursor = QPoint(500, 400);
        s.proListChange = [this] { ++proListChanges; };
        return std::make_unique<TEncSetDlg>(path, s);
    }

    int proListChanges = 0;
};

TEST_F(EncSetDlgTest, OpensWithTheFileAsItStandsWithoutApplyingPresets) {
    writeProfile("[audio]\nmode=3\n[video]\nmode=1\nquality=60\nframerate=12.5\nwidth=\nheight=240\n");
    auto dlg = open();
    EXPECT_EQ(dlg->amode->currentIndex(), 3);
    // Row 14 is beyond the eight rows of quality-based VBR: none selected.
    EXPECT_EQ(dlg->abrate->count(), 8);
    EXPECT_EQ(dlg->abrate->currentIndex(), -1);
    EXPECT_EQ(dlg->vquality->value(), 60);
    EXPECT_EQ(dlg->vqua->text(), QStringLiteral("60"));
    EXPECT_EQ(dlg->vfrate->currentText(), QStringLiteral("12.5"));
    EXPECT_EQ(dlg->vsize->itemText(10), QStringLiteral("カスタム (x240)"));
    EXPECT_EQ(dlg->vpform->count(), 15);
    EXPECT_EQ(dlg->vfill->count(), 19);
    EXPECT_EQ(dlg->XpGroupBox1->title(), QStringLiteral("オーディオ"));
    EXPECT_EQ(dlg->XpGroupBox2->title(), QStringLiteral("ビデオ"));
}

TEST_F(EncSetDlgTest, MissingFileShowsTheDefaultsAndSavingCreatesIt) {
    auto dlg = open();
    EXPECT_EQ(dlg->amode->currentIndex(), 1);
    EXPECT_EQ(dlg->abrate->currentText(), QStringLiteral("44.100kHz -  64kbps Stereo"));
    EXPECT_EQ(dlg->vbrate->text(), QStringLiteral("250"));
    EXPECT_EQ(dlg->vsize->itemText(10), QStringLiteral("カスタム (320x240)"));
    dlg->OKBtn->click();
    EXPECT_EQ(dlg->result(), QDialog::Accepted);
    EXPECT_EQ(LoadProfile(path), ProfileSettings{});
}

TEST_F(EncSetDlgTest, OutOfRangeSlidersAreClampedAndSavedClamped) {
    writeProfile("[video]\nquality=150\nperformance=9\nsize=42\n");
    auto dlg = open();
    EXPECT_EQ(dlg->vqua->text(), QStringLiteral("100"));
    EXPECT_EQ(dlg->pperform->value(), 5);
    EXPECT_EQ(dlg->vsize->currentIndex(), -1);
    ASSERT_TRUE(dlg->SaveProfile());
    const ProfileSettings saved = LoadProfile(path);
    EXPECT_EQ(saved.VideoQuality, 100);
    EXPECT_EQ(saved.Performance, 5);
}

TEST_F(EncSetDlgTest, ReselectingTheSameAudioModeKeepsTheChosenRow) {
    auto dlg = open();
    dlg->abrate->setCurrentIndex(5);
    Pick(dlg->amode, 1);
    EXPECT_EQ(dlg->abrate->currentIndex(), 5);

    Pick(dlg->amode, 3);
    EXPECT_EQ(dlg->abrate->count(), 8);
    EXPECT_EQ(dlg->abrate->currentIndex(), 3);
    Pick(dlg->amode, 1);
    EXPECT_EQ(dlg->abrate->count(), 27);
    EXPECT_EQ(dlg->abrate->currentIndex(), 14);
}

TEST_F(EncSetDlgTest, TheBitRateListIsAsWideAsItsLongestItem) {
    writeProfile("[audio]\nmode=3\n");
    auto dlg = open();
    dlg->show();
    QTest::keyClick(dlg->amode, Qt::Key_Up);
    QTest::keyClick(dlg->amode, Qt::Key_Up);
    ASSERT_EQ(dlg->abrate->count(), 27);
    QAbstractItemView* view = dlg->abrate->view();
    const int longest = view->fontMetrics().horizontalAdvance(QStringLiteral("44.100kHz - 128kbps Stereo"));
    // The list scrolls: its bar takes a part of the width.
    EXPECT_GE(view->minimumWidth(), longest + view->style()->pixelMetric(QStyle::PM_ScrollBarExtent, nullptr, view));
}

TEST_F(EncSetDlgTest, LosslessListsOneRowAndVideoOnlySavesNoRow) {
    auto dlg = open();
    Pick(dlg->amode, 6);
    ASSERT_EQ(dlg->abrate->count(), 1);
    EXPECT_EQ(dlg->abrate->currentText(), QStringLiteral("44.100kHz Stereo (16bit)"));
    EXPECT_EQ(dlg->abrate->currentIndex(), 0);

    Pick(dlg->amode, 0);
    EXPECT_EQ(dlg->abrate->count(), 0);
    ASSERT_TRUE(dlg->SaveProfile());
    EXPECT_NE(ReadFileBytes(path).find("[audio]\r\nmode=0\r\nbitrate=-1\r\n"), std::string::npos);
}

TEST_F(EncSetDlgTest, VideoModesPresetTheQualityOnlyWhenPicked) {
    writeProfile("[video]\nmode=1\nquality=60\n");
    auto dlg = open();
    EXPECT_EQ(dlg->vquality->value(), 60);
    Pick(dlg->vmode, 3);
    EXPECT_EQ(dlg->vquality->value(), 85);
    EXPECT_EQ(dlg->vqua->text(), QStringLiteral("85"));
    Pick(dlg->vmode, 4);
    EXPECT_EQ(dlg->vquality->value(), 85);
    Pick(dlg->vmode, 6);
    EXPECT_EQ(dlg->vquality->value(), 75);
}

TEST_F(EncSetDlgTest, CustomSizeCancelledKeepsThePreviousSize) {
    auto dlg = open();
    bool answered = false;
    AnswerNextModal<TVsizeDlg>(dlg.get(),
        [](TVsizeDlg& size) {
            EXPECT_EQ(size.windowTitle(), QStringLiteral("カスタムサイズ設定"));
            EXPECT_EQ(size.vwidth->text(), QStringLiteral("320"));
            size.vwidth->setText(QStringLiteral("999"));
            size.CancelBtn->click();
        },
        &answered);
    Pick(dlg->vsize, 10);
    EXPECT_TRUE(answered);
    EXPECT_EQ(dlg->vsize->currentIndex(), 10);
    EXPECT_EQ(dlg->vsize->itemText(10), QStringLiteral("カスタム (320x240)"));
    EXPECT_EQ(dlg->pendingCustomWidth(), QStringLiteral("320"));
}

TEST_F(EncSetDlgTest, EnteredCustomSizeIsSavedEvenWhenAFixedSizeIsChosenAfter) {
    auto dlg = open();
    AnswerNextModal<TVsizeDlg>(dlg.get(), [](TVsizeDlg& size) {
        size.vwidth->setText(QStringLiteral("640"));
        size.vheight->setText(QString());
        size.OKBtn->click();
    });
    Pick(dlg->vsize, 10);
    EXPECT_EQ(dlg->vsize->itemText(10), QStringLiteral("カスタム (640x)"));
    Pick(dlg->vsize, 2);
    EXPECT_EQ(dlg->vsize->itemText(10), QStringLiteral("カスタム (640x)"));
    ASSERT_TRUE(dlg->SaveProfile());
    const ProfileSettings saved = LoadProfile(path);
    EXPECT_EQ(saved.VideoSize, 2);
    EXPECT_EQ(saved.CustomWidth, "640");
    EXPECT_EQ(saved.CustomHeight, "");
}

TEST_F(EncSetDlgTest, CancelLeavesTheFileAsItWas) {
    writeProfile("; mine\n[audio]\nmode=2\n");
    const std::string before = ReadFileBytes(path);
    auto dlg = open();
    Pick(dlg->amode, 4);
    AnswerNextModal<TVsizeDlg>(dlg.get(), [](TVsizeDlg& size) {
        size.vwidth->setText(QStringLiteral("100"));
        size.OKBtn->click();
    });
    Pick(dlg->vsize, 10);
    dlg->CancelBtn->click();
    EXPECT_EQ(dlg->result(), QDialog::Rejected);
    EXPECT_EQ(ReadFileBytes(path), before);
    EXPECT_EQ(dlg->settings().AudioMode, 2);
}

TEST_F(EncSetDlgTest, NumberFieldsDiscardOtherCharacters) {
    auto dlg = open();
    auto type = [](QWidget* field, const QString& text) {
        for (QChar c : text) {
            QKeyEvent press(QEvent::KeyPress, 0, Qt::NoModifier, QString(c));
            QApplication::sendEvent(field, &press);
        }
    };
    dlg->apeak->clear();
    type(dlg->apeak, QStringLiteral("1a2,.-3"));
    EXPECT_EQ(dlg->apeak->text(), QStringLiteral("123"));
    dlg->vbrate->clear();
    type(dlg->vbrate, QStringLiteral("300,x500."));
    EXPECT_EQ(dlg->vbrate->text(), QStringLiteral("300,500"));
    dlg->vfrate->setEditText(QString());
    type(dlg->vfrate->lineEdit(), QStringLiteral("29,.97f"));
    EXPECT_EQ(dlg->vfrate->currentText(), QStringLiteral("29.97"));
    QKeyEvent backspace(QEvent::KeyPress, Qt::Key_Backspace, Qt::NoModifier, QStringLiteral("\b"));
    QApplication::sendEvent(dlg->vfrate->lineEdit(), &backspace);
    EXPECT_EQ(dlg->vfrate->currentText(), QStringLiteral("29.9"));
}

TEST_F(EncSetDlgTest, ReadOnlyProfileSaysSavingFailedAndStaysOpen) {
    writeProfile("[audio]\nmode=2\n");
    fs::permissions(path, fs::perms::owner_read | fs::perms::group_read | fs::perms::others_read);
    const std::string before = ReadFileBytes(path);
    auto dlg = open();
    dlg->show();
    Pick(dlg->amode, 3);
    dlg->OKBtn->click();
    EXPECT_EQ(messages.shown, std::vector<std::string>{"qorv: 保存できませんでした"});
    EXPECT_TRUE(dlg->isVisible());
    EXPECT_NE(dlg->result(), QDialog::Accepted);
    EXPECT_EQ(dlg->amode->currentIndex(), 3);  // the edits are still there
    EXPECT_EQ(ReadFileBytes(path), before);
    fs::permissions(path, fs::perms::owner_all);
}

TEST_F(EncSetDlgTest, PlacedOnThePointerAndPulledIntoTheWorkArea) {
    ProfileEditorServices services;
    services.messages = &messages;
    services.workArea = {0, 0, 800, 600};
    services.cursor = QPoint(790, 590);
    TEncSetDlg corner(path, services);
    EXPECT_EQ(corner.pos(), QPoint(800 - 281, 600 - 420));
    corner.show();  // framed: placed again, frame and all
    EXPECT_EQ(corner.frameGeometry().bottomRight(), QPoint(800 - 1, 600 - 1));
    services.cursor = QPoint(400, 300);
    TEncSetDlg middle(path, services);
    EXPECT_EQ(middle.pos(), QPoint(400 - 140, 300 - 210));
}

TEST(TVsizeDlg, CentredOverTheMainWindowsFrameByItsOwnFrame) {
    QWidget owner;
    owner.move(100, 100);
    owner.resize(400, 300);
    owner.show();
    ASSERT_NE(owner.frameGeometry().size(), owner.size());  // both windows are framed
    TVsizeDlg size(QString(), QString(), &owner, &owner);
    size.show();
    const QRect o = owner.frameGeometry();
    const QRect d = size.frameGeometry();
    EXPECT_EQ(d.topLeft(), QPoint(o.x() + o.width() / 2 - d.width() / 2, o.y() + o.height() / 2 - d.height() / 2));
}

}  // namespace
}  // namespace qorvane
