// The environment dialog: fields from the settings, OK copies back without
// checks, anything else copies nothing; placement at the pointer.
#include <gtest/gtest.h>

#include <QCheckBox>
#include <QLineEdit>
#include <QPushButton>
#include <QSpinBox>
#include <QTest>

#include "app/ui/environment_dialog.h"
#include "controls/updn_button.h"
#include "encode/parallel_runs.h"
#include "gui/gui_fixture.h"

namespace qorvane::testing {
namespace {

constexpr WorkArea kArea{0, 0, 1024, 738};

AppSettings Stored() {
    AppSettings s = DefaultSettings(kArea);
    s.dir = "/music/out";
    s.shutdn = true;
    s.bone = false;
    s.ball = true;
    s.sone = "/snd/one.wav";
    s.sall = "all.wav";
    return s;
}

void ChangeEverything(TEnvDlg& d) {
    d.outdir->setText(QStringLiteral("/no/such/folder"));
    d.cbShutdn->setChecked(false);
    d.cbSnd1->setChecked(true);
    d.cbSnd2->setChecked(false);
    d.edSnd1->setText(QStringLiteral("/x/1.wav"));
    d.edSnd2->setText(QStringLiteral("/x/2.wav"));
    d.sePar->setValue(2);
    d.cbCover->setChecked(false);
    d.cbNotify->setChecked(false);
}

TEST(EnvironmentDialog, ShowsTheSettings) {
    AppSettings s = Stored();
    FakePickers pickers;
    TEnvDlg d(s, kArea, pickers, {500, 400});
    EXPECT_EQ(d.windowTitle(), QStringLiteral("環境設定"));
    EXPECT_EQ(d.outdir->text(), QStringLiteral("/music/out"));
    EXPECT_TRUE(d.cbShutdn->isChecked());
    EXPECT_FALSE(d.cbSnd1->isChecked());
    EXPECT_TRUE(d.cbSnd2->isChecked());
    EXPECT_EQ(d.edSnd1->text(), QStringLiteral("/snd/one.wav"));
    EXPECT_EQ(d.edSnd2->text(), QStringLiteral("all.wav"));
    EXPECT_EQ(d.sePar->value(), 1);
    EXPECT_TRUE(d.cbCover->isChecked());
    EXPECT_EQ(d.cbCover->text(), QStringLiteral("カバー画像を引き継ぐ"));
    EXPECT_TRUE(d.cbNotify->isChecked());
    EXPECT_EQ(d.cbNotify->text(), QStringLiteral("終了時に通知する"));
    // The form, the rows of runs at the same time, cover art and the notice.
    EXPECT_EQ(d.size(), QSize(323, 287));
    EXPECT_EQ(d.pos(), QPoint(500 - 161, 400 - 143));
}

TEST(EnvironmentDialog, OkCopiesEveryFieldBackUnchecked) {
    AppSettings s = Stored();
    FakePickers pickers;
    TEnvDlg d(s, kArea, pickers, {500, 400});
    ChangeEverything(d);
    d.OKBtn->click();
    EXPECT_EQ(d.result(), QDialog::Accepted);
    AppSettings expected = Stored();
    expected.dir = "/no/such/folder";
    expected.shutdn = false;
    expected.bone = true;
    expected.ball = false;
    expected.sone = "/x/1.wav";
    expected.sall = "/x/2.wav";
    expected.parallel = std::min(2, ProcessorCount());
    expected.cover = false;
    expected.notify = false;
    EXPECT_EQ(s, expected);
}

TEST(EnvironmentDialog, CancelEscapeAndCloseCopyNothing) {
    FakePickers pickers;
    for (int way = 0; way < 3; ++way) {
        AppSettings s = Stored();
        TEnvDlg d(s, kArea, pickers, {500, 400});
        d.show();
        ChangeEverything(d);
        if (way == 0) d.CancelBtn->click();
        if (way == 1) QTest::keyClick(&d, Qt::Key_Escape);
        if (way == 2) d.close();
        EXPECT_EQ(d.result(), QDialog::Rejected) << way;
        EXPECT_EQ(s, Stored()) << way;
    }
}

TEST(EnvironmentDialog, OpenedNearACornerIsPulledIntoTheWorkArea) {
    AppSettings s = Stored();
    FakePickers pickers;
    TEnvDlg bottomRight(s, kArea, pickers, {1020, 730});
    EXPECT_EQ(bottomRight.pos(), QPoint(1024 - 323, 738 - 287));
    bottomRight.show();  // framed: placed again, frame and all
    EXPECT_EQ(bottomRight.frameGeometry().bottomRight(), QPoint(1024 - 1, 738 - 1));
    TEnvDlg topLeft(s, {0, 30, 1024, 738}, pickers, {2, 2});
    EXPECT_EQ(topLeft.pos(), QPoint(0, 30));
}

TEST(EnvironmentDialog, PickersStartFromTheFieldsAndFillThemOnConfirmation) {
    AppSettings s = Stored();
    FakePickers pickers;
    TEnvDlg d(s, kArea, pickers, {500, 400});
    pickers.soundAnswer = QStringLiteral("/picked/a.wav");
    d.UpDnButton2->click();
    EXPECT_EQ(pickers.soundDirs.back(), QStringLiteral("/snd/"));
    EXPECT_EQ(d.edSnd1->text(), QStringLiteral("/picked/a.wav"));
    pickers.soundAnswer.reset();
    d.UpDnButton3->click();  // a bare name has no folder part
    EXPECT_EQ(pickers.soundDirs.back(), QStringLiteral(""));
    EXPECT_EQ(d.edSnd2->text(), QStringLiteral("all.wav"));

    pickers.folderAnswer = QStringLiteral("/picked");
    d.UpDnButton1->click();
    EXPECT_EQ(pickers.folderStarts.back(), QStringLiteral("/music/out"));
    EXPECT_EQ(d.outdir->text(), QStringLiteral("/picked"));
    EXPECT_EQ(s, Stored());  // nothing reaches the settings before OK
}

TEST(EnvironmentDialog, TabOrderFollowsTheForm) {
    AppSettings s = Stored();
    FakePickers pickers;
    TEnvDlg d(s, kArea, pickers, {500, 400});
    const std::vector<QWidget*> order{d.cbShutdn, d.cbSnd1, d.edSnd1, d.UpDnButton2, d.cbSnd2, d.edSnd2,
                                      d.UpDnButton3, d.outdir, d.UpDnButton1, d.sePar, d.cbCover, d.cbNotify, d.OKBtn,
                                      d.CancelBtn};
    // The widgets that Tab reaches, in the order of the focus chain.
    std::vector<QWidget*> reached{order.front()};
    for (QWidget* w = order.front()->nextInFocusChain(); w != order.front(); w = w->nextInFocusChain()) {
        // The spin box's own editor is part of the spin box.
        if ((w->focusPolicy() & Qt::TabFocus) && w->parentWidget() != d.sePar) reached.push_back(w);
    }
    EXPECT_EQ(reached, order);
    EXPECT_TRUE(d.OKBtn->isDefault());
}

}  // namespace
}  // namespace qorvane::testing
