// The progress dialog while a batch runs: the boxes raised above it, asking
// before it goes away, and what it shows.

#include <QApplication>
#include <QLabel>
#include <QMessageBox>
#include <QScreen>
#include <QTimer>
#include <filesystem>
#include <fstream>

#include "app/ui/qt_message_boxes.h"
#include "encode/ui/encoder_output_window.h"
#include "gui/batch_fixture.h"
#include "gui/modal_answer.h"
#include "support/process_table.h"

namespace qorvane::testing {
namespace {

QMessageBox* OpenBox() {
    for (QWidget* window : QApplication::topLevelWidgets()) {
        auto* box = qobject_cast<QMessageBox*>(window);
        if (box != nullptr && box->isVisible()) return box;
    }
    return nullptr;
}

class ProgressDialogTest : public BatchWindowTest {
protected:
    // Asks to close the dialog as the user does and gives the answer, once
    // the box has opened above the dialog with the keyboard focus; false
    // when it opened anywhere else.
    bool answerAboveTheDialog(const std::function<void()>& ask, QMessageBox::StandardButton button) {
        bool above = false;
        AnswerNextModal<QMessageBox>(progress.get(), [this, button, &above](QMessageBox& box) {
            above = box.parentWidget() == progress.get() && box.windowFlags().testFlag(Qt::WindowStaysOnTopHint) &&
                    QTest::qWaitForWindowActive(&box);
            QTest::mouseClick(box.button(button), Qt::LeftButton);
        });
        ask();
        return above;
    }
    bool answerEsc(QMessageBox::StandardButton button) {
        return answerAboveTheDialog([this] { QTest::keyClick(progress.get(), Qt::Key_Escape); }, button);
    }

    QtMessageBoxes screenBoxes;
};

TEST_F(ProgressDialogTest, EscAsksAboveTheDialogAndOnlyYesAborts) {
    batchBoxes = &screenBoxes;
    start(host(waitFor("never")));
    window->AddFiles({file("a.wav", "x")});
    window->show();
    QTest::mouseClick(window->tbConv, Qt::LeftButton);
    ASSERT_TRUE(QTest::qWaitFor([this] { return progress->lbPlace->text() == QStringLiteral("全体 1/1"); }, 10000));

    EXPECT_TRUE(answerEsc(QMessageBox::No));
    EXPECT_TRUE(progress->isVisible());
    EXPECT_TRUE(controller->converting());
    // The title bar's close button asks the same.
    EXPECT_TRUE(answerAboveTheDialog([this] { progress->close(); }, QMessageBox::No));
    EXPECT_TRUE(progress->isVisible());

    EXPECT_TRUE(answerEsc(QMessageBox::Yes));
    ASSERT_TRUE(waitForIdle());
    EXPECT_EQ(column(JobField::File), std::vector<std::string>{"a.wav"});  // back for a later batch
    window->close();  // as the program ends: the window goes with rows in it
}

// A job whose folder cannot be made is told of without holding up the runs
// going meanwhile, and its name does not stay over another run's bar.
TEST_F(ProgressDialogTest, TheRunnersWarningHoldsUpNoRun) {
    batchBoxes = &screenBoxes;
    state.settings.parallel = 2;
    start(host("case \"$*\" in *slow.wav*) " + waitFor("go") + ";; esac\necho asf > \"$5\"\n"));
    window->AddFiles({file("slow.wav", "x"), file("nofolder.wav", "x"), file("fast.wav", "x")});
    window->jobs().setField(1, JobField::OutDir, (std::filesystem::path(file("plain")) / "sub").string());
    window->show();

    // Every box is answered as it opens (the batch's end reports the
    // skipped job too); the first is looked at before.
    QWidget* owner = nullptr;
    bool othersWentOn = false;
    bool answering = false;
    QTimer watch;
    watch.setInterval(10);
    QObject::connect(&watch, &QTimer::timeout, [&] {
        QMessageBox* box = answering ? nullptr : OpenBox();
        if (box == nullptr) return;
        answering = true;
        if (owner == nullptr) {
            owner = box->parentWidget();
            othersWentOn = QTest::qWaitFor(
                [&] {
                    return std::filesystem::exists(dir / "fast.wma") &&
                           progress->Label1->text() == QStringLiteral("slow.wav");
                },
                20000);
        }
        QTest::mouseClick(box->button(QMessageBox::Ok), Qt::LeftButton);
        answering = false;
    });
    watch.start();
    QTest::mouseClick(window->tbConv, Qt::LeftButton);
    ASSERT_TRUE(QTest::qWaitFor([&] { return owner != nullptr; }, 20000));
    EXPECT_EQ(owner, progress.get());
    EXPECT_TRUE(othersWentOn);

    file("go");
    ASSERT_TRUE(waitForIdle());
    EXPECT_TRUE(std::filesystem::exists(dir / "slow.wma"));
}

TEST_F(ProgressDialogTest, TheOutputWindowOpensBesideTheDialog) {
    start(host(waitFor("end")));
    window->AddFiles({file("a.wav", "x")});
    window->show();
    QTest::mouseClick(window->tbConv, Qt::LeftButton);
    QTest::mouseClick(progress->btnOutput, Qt::LeftButton);
    EncoderOutputWindow* output = controller->outputWindow();
    ASSERT_NE(output, nullptr);
    EXPECT_FALSE(output->frameGeometry().intersects(progress->frameGeometry()));
    EXPECT_TRUE(QRect(QPoint(kArea.left, kArea.top), QPoint(kArea.right - 1, kArea.bottom - 1))
                    .contains(output->frameGeometry()));
    file("end");
    ASSERT_TRUE(waitForIdle());
}

char StateOf(pid_t pid) {
    for (const ProcStat& process : AllProcesses()) {
        if (process.pid == pid) return process.state;
    }
    return '?';
}

// The pause button holds the encoder where it is and says so, and lets it go
// on when pressed again; an abort while paused still ends it.
TEST_F(ProgressDialogTest, PauseHoldsTheEncoderAndAnAbortStillEndsIt) {
    const std::filesystem::path pidFile = dir / "host.pid";
    start(host("echo $$ > \"" + pidFile.string() + "\"\nexec sleep 30\n"));
    window->AddFiles({file("a.wav", "x"), file("b.wav", "x")});
    window->show();
    QTest::mouseClick(window->tbConv, Qt::LeftButton);
    pid_t encoder = 0;
    ASSERT_TRUE(QTest::qWaitFor([&] { return static_cast<bool>(std::ifstream(pidFile) >> encoder); }, 10000));
    EXPECT_EQ(progress->btnPause->text(), QStringLiteral("一時停止"));

    QTest::mouseClick(progress->btnPause, Qt::LeftButton);
    EXPECT_EQ(progress->btnPause->text(), QStringLiteral("再開"));
    EXPECT_TRUE(QTest::qWaitFor([&] { return StateOf(encoder) == 'T'; }));
    EXPECT_TRUE(QTest::qWaitFor([this] { return progress->lbTime->text().endsWith(QStringLiteral("(一時停止中)")); }));

    QTest::mouseClick(progress->btnPause, Qt::LeftButton);
    EXPECT_EQ(progress->btnPause->text(), QStringLiteral("一時停止"));
    EXPECT_TRUE(QTest::qWaitFor([&] { return StateOf(encoder) != 'T'; }));
    EXPECT_TRUE(QTest::qWaitFor([this] { return !progress->lbTime->text().contains(QStringLiteral("一時停止中")); }));

    QTest::mouseClick(progress->btnPause, Qt::LeftButton);
    QTest::mouseClick(progress->OKBtn, Qt::LeftButton);
    ASSERT_TRUE(waitForIdle());
    EXPECT_FALSE(IsAlive(encoder));
    EXPECT_EQ(column(JobField::File), (std::vector<std::string>{"a.wav", "b.wav"}));
}

// The run going finishes and is tagged; the rows behind stay; neither the
// end-of-batch sound nor the shutdown follows.
TEST_F(ProgressDialogTest, StopAfterLetsTheRunGoingFinishAndKeepsTheRest) {
    state.settings.bone = true;
    state.settings.sone = "job.wav";
    state.settings.ball = true;
    state.settings.sall = "done.wav";
    state.settings.shutdn = true;
    start(host(waitFor("go") + "echo asf > \"$5\"\n"));
    window->AddFiles({file("a.wav", "x"), file("b.wav", "x"), file("c.wav", "x")});
    window->show();
    QTest::mouseClick(window->tbConv, Qt::LeftButton);
    ASSERT_TRUE(QTest::qWaitFor([this] { return progress->lbPlace->text() == QStringLiteral("全体 1/3"); }, 10000));

    QTest::mouseClick(progress->btnStopAfter, Qt::LeftButton);
    EXPECT_FALSE(progress->btnStopAfter->isEnabled());
    file("go");
    ASSERT_TRUE(waitForIdle());
    EXPECT_TRUE(std::filesystem::exists(dir / "a.wma"));
    EXPECT_EQ(column(JobField::File), (std::vector<std::string>{"b.wav", "c.wav"}));
    EXPECT_EQ(sounds.played, std::vector<std::string>{"job.wav"});
    QTest::qWait(50);  // a shutdown would be posted
    EXPECT_EQ(power.calls(), 0);

    // The next batch offers both buttons afresh.
    QTest::mouseClick(window->tbConv, Qt::LeftButton);
    EXPECT_TRUE(progress->btnStopAfter->isEnabled());
    ASSERT_TRUE(waitForIdle());
}

TEST(ProgressDialog, ALongNameLosesItsMiddleWithinTheDialog) {
    TProDlg dialog;
    const QString name = QString(60, u'a') + QStringLiteral("-middle-") + QString(60, u'z') + QStringLiteral(".wav");
    dialog.setDisplayText(name);
    EXPECT_LE(dialog.Label1->geometry().right(), dialog.width());
    EXPECT_TRUE(dialog.Label1->text().startsWith(QStringLiteral("aaa")));
    EXPECT_TRUE(dialog.Label1->text().endsWith(QStringLiteral("zz.wav")));
    EXPECT_EQ(dialog.Label1->toolTip(), name);
}

TEST(ScreenMessageBoxes, APathWithoutSpacesWrapsWithinTheScreen) {
    const QString path = QStringLiteral("/home/") + QString(120, u'a') + QStringLiteral("/") + QString(60, u'b') +
                         QStringLiteral("/song.wav");
    const QString text = QStringLiteral("ファイル %1 は開けません").arg(path);
    QWidget context;
    bool wraps = false;
    bool answered = false;
    AnswerNextModal<QMessageBox>(
        &context,
        [&](QMessageBox& box) {
            for (QLabel* label : box.findChildren<QLabel*>()) {
                if (!label->text().contains(QStringLiteral("は開けません"))) continue;
                wraps = label->sizeHint().width() <= label->width() &&
                        box.frameGeometry().width() < box.screen()->availableGeometry().width() &&
                        label->text().remove(QChar(0x200B)) == text;
            }
            QTest::mouseClick(box.button(QMessageBox::Ok), Qt::LeftButton);
        },
        &answered);
    QtMessageBoxes().warning(kMessageCaption, text.toStdString());
    ASSERT_TRUE(answered);
    EXPECT_TRUE(wraps);
}

}  // namespace
}  // namespace qorvane::testing
