// A batch through the main window: convert, the progress dialog, the real
// stand-in encoder and the tag writer, on an offscreen application.

#include <QInputMethodEvent>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QProgressBar>
#include <algorithm>
#include <taglib/asffile.h>

#include "encode/ui/encoder_output_window.h"
#include "gui/batch_fixture.h"
#include "support/process_table.h"

namespace qorvane::testing {
namespace {

TEST_F(BatchWindowTest, ConvertEncodesEveryRowAndTagsTheOutput) {
    state.settings.ball = true;
    state.settings.sall = "complete";
    start();
    window->AddFiles({file("one.wav", SilentWave()), file("two words.WAV", SilentWave())});
    select({0});
    QInputMethodEvent typed;  // typed through an input method
    typed.setCommitString(QString::fromUtf8("最初"));
    QCoreApplication::sendEvent(window->edTitle, &typed);
    // Moved partly off the work area, so that the dialog centred over it is
    // pulled back in.
    window->show();
    window->move(kArea.right - 200, kArea.bottom - 100);

    window->tbConv->click();
    EXPECT_TRUE(progress->isVisible());
    const QRect placed = progress->frameGeometry();
    ASSERT_TRUE(waitForIdle());

    EXPECT_EQ(window->jobs().size(), 0u);
    EXPECT_TRUE(messages.shown.empty());
    ASSERT_TRUE(std::filesystem::exists(dir / "one.wma"));
    ASSERT_TRUE(std::filesystem::exists(dir / "two words.wma"));
    TagLib::ASF::File tagged((dir / "one.wma").c_str());
    ASSERT_TRUE(tagged.isValid());
    EXPECT_EQ(tagged.tag()->title().to8Bit(true), "最初");
    EXPECT_EQ(sounds.played, std::vector<std::string>{"complete"});
    EXPECT_EQ(power.calls(), 0);
    // The dialog's frame ended on the work area's right and bottom edges.
    EXPECT_EQ(placed.x() + placed.width(), kArea.right);
    EXPECT_EQ(placed.y() + placed.height(), kArea.bottom);
}

TEST_F(BatchWindowTest, SeveralRunsAtOnceEachHaveTheirLineInTheDialog) {
    state.settings.parallel = 2;
    start(host(waitFor("go") + "echo asf > \"$5\"\n"));
    window->AddFiles({file("a.wav", "x"), file("b.wav", "x"), file("c.wav", "x")});
    window->tbConv->click();
    const int singleHeight = progress->height();
    const auto linesShown = [this] {
        const auto& lines = progress->runLines();
        return std::count_if(lines.begin(), lines.end(), [](const auto& l) { return l.name->isVisible(); });
    };
    ASSERT_TRUE(QTest::qWaitFor([&] { return linesShown() == 2; }, 20000));
    EXPECT_EQ(progress->runLines()[0].name->text(), QStringLiteral("a.wav"));
    EXPECT_EQ(progress->runLines()[1].name->text(), QStringLiteral("b.wav"));
    EXPECT_FALSE(progress->pbRun->isVisible());
    EXPECT_GT(progress->height(), singleHeight);
    EXPECT_EQ(progress->Label2->text(), QStringLiteral("(3) "));  // every job not yet finished
    EXPECT_EQ(window->jobs().size(), 1u);

    file("go", "");
    ASSERT_TRUE(waitForIdle());
    for (const char* name : {"a.wma", "b.wma", "c.wma"}) EXPECT_TRUE(std::filesystem::exists(dir / name)) << name;
}

TEST_F(BatchWindowTest, ConvertWithAnEmptyListShowsNothing) {
    start();
    window->tbConv->click();
    EXPECT_FALSE(progress->isVisible());
    EXPECT_FALSE(controller->converting());
}

TEST_F(BatchWindowTest, ShutdownAfterTheLastJobSavesSettingsFirst) {
    state.settings.shutdn = true;
    start();
    window->AddFiles({file("a.wav", SilentWave())});
    window->tbConv->click();
    ASSERT_TRUE(waitForIdle());
    ASSERT_TRUE(QTest::qWaitFor([this] { return power.calls() == 1; }, 5000));
    EXPECT_EQ(settingsSaved, 1);
}

TEST_F(BatchWindowTest, RunsThatGaveNoFileAreListedOnceTheBatchIsOver) {
    start();
    window->AddFiles({file("broken.wav", std::string(4096, 'x')), file("good.wav", SilentWave())});
    window->tbConv->click();
    ASSERT_TRUE(waitForIdle());
    ASSERT_TRUE(QTest::qWaitFor([this] { return !messages.shown.empty(); }, 5000));
    EXPECT_EQ(messages.shown, std::vector<std::string>{
                                  "qorv: 変換できなかったファイルがあります (1 件)\n\n"
                                  "broken.wav → broken.wma: エンコーダがエラーで終了しました (終了コード 1)\n\n"
                                  "詳しくはログをご覧ください:\n" + (dir / "encoder.log").string()});
    EXPECT_TRUE(std::filesystem::exists(dir / "good.wma"));

    // The box's further button opens the encoder's output on the session's
    // log, where the failed run's command line and end are.
    ASSERT_TRUE(messages.details);
    messages.details();
    EncoderOutputWindow* output = controller->outputWindow();
    ASSERT_NE(output, nullptr);
    EXPECT_TRUE(output->isVisible());
    EXPECT_EQ(output->tabs->currentWidget(), output->edLog);
    const QString log = output->edLog->toPlainText();
    EXPECT_TRUE(log.contains(QStringLiteral("broken.wav")));
    EXPECT_TRUE(log.contains(QStringLiteral("-- エンコーダがエラーで終了しました (終了コード 1)")));
}

TEST_F(BatchWindowTest, TheDialogTheTitleAndTheOutputWindowFollowTheEncoder) {
    start(host("echo \"encoder says hello\"\n"
               "echo 'progress: 25.0% 00:00:01.0/00:00:04.0 speed=1.0x'\n" +
               waitFor("half") +
               "echo 'progress: 75.0% 00:00:01.0/00:00:02.0 speed=1.0x pass=2/2 pass_percent=50.0%'\n" +
               waitFor("end") + "echo 'all done'\n"));
    const QString idle = window->windowTitle();
    window->AddFiles({file("a.wav", SilentWave()), file("b.wav", SilentWave())});
    window->show();
    window->tbConv->click();

    ASSERT_TRUE(QTest::qWaitFor([this] { return progress->pbRun->value() == 250; }, 10000));
    EXPECT_EQ(progress->pbRun->maximum(), 1000);
    EXPECT_TRUE(progress->lbTime->text().startsWith(QStringLiteral("25%  経過 ")));
    EXPECT_TRUE(progress->lbTime->text().contains(QStringLiteral(" / 残り ")));
    EXPECT_EQ(progress->lbPlace->text(), QStringLiteral("全体 1/2"));
    ASSERT_TRUE(QTest::qWaitFor([&] { return window->windowTitle() == QStringLiteral("12% - ") + idle; }, 5000));

    progress->btnOutput->click();
    EncoderOutputWindow* output = controller->outputWindow();
    ASSERT_NE(output, nullptr);
    EXPECT_TRUE(output->isVisible());
    EXPECT_EQ(output->lbRun->text(), QStringLiteral("変換中: a.wav"));
    EXPECT_TRUE(output->edOutput->toPlainText().contains(QStringLiteral("encoder says hello")));
    EXPECT_FALSE(output->edOutput->toPlainText().contains(QStringLiteral("progress:")));

    file("half");
    ASSERT_TRUE(QTest::qWaitFor([this] { return progress->pbRun->value() == 750; }, 10000));
    EXPECT_EQ(progress->lbPlace->text(), QStringLiteral("全体 1/2  パス 2/2"));
    ASSERT_TRUE(QTest::qWaitFor([&] { return window->windowTitle() == QStringLiteral("37% - ") + idle; }, 5000));

    // The second run passes both waits; the window stays with its output.
    file("end");
    ASSERT_TRUE(waitForIdle());
    ASSERT_TRUE(QTest::qWaitFor([&] { return window->windowTitle() == idle; }, 5000));
    EXPECT_TRUE(output->isVisible());
    EXPECT_EQ(output->lbRun->text(), QStringLiteral("終了: b.wav"));
    EXPECT_TRUE(output->edOutput->toPlainText().endsWith(QStringLiteral("all done\n")));
    const QString log = output->edLog->toPlainText();
    EXPECT_EQ(log.count(QStringLiteral("all done")), 2);
    EXPECT_EQ(output->edLogFile->text(), QString::fromStdString((dir / "encoder.log").string()));
}

TEST_F(BatchWindowTest, AnEncoderThatTellsNoProgressShowsABusyBar) {
    start(host(waitFor("end")));
    window->AddFiles({file("a.wav", SilentWave())});
    window->tbConv->click();
    ASSERT_TRUE(QTest::qWaitFor([this] { return progress->lbPlace->text() == QStringLiteral("全体 1/1"); }, 10000));
    EXPECT_EQ(progress->pbRun->maximum(), 0);
    EXPECT_TRUE(progress->lbTime->text().startsWith(QStringLiteral("経過 ")));
    file("end");
    ASSERT_TRUE(waitForIdle());
    EXPECT_EQ(window->jobs().size(), 0u);
}

TEST_F(BatchWindowTest, ClosingDuringABatchAsksThenEndsTheEncoder) {
    // A script host that never ends by itself.
    const std::string host = file("host.sh", "#!/bin/sh\necho $$ > \"" + (dir / "encoder.pid").string() +
                                                 "\"\nexec sleep 30\n");
    std::filesystem::permissions(host, std::filesystem::perms::owner_all);
    start(EncoderLocation{(dir / "wmcmd.vbs").string(), host, false});
    window->AddFiles({file("a.wav", SilentWave()), file("b.wav", SilentWave())});
    window->show();
    window->tbConv->click();
    // At once, before the encode thread has taken the start up.
    EXPECT_TRUE(controller->converting());
    // The batch's steps run on this thread: keep its events going meanwhile.
    ASSERT_TRUE(QTest::qWaitFor([this] { std::error_code ec;
        return std::filesystem::file_size(dir / "encoder.pid", ec) > 0 && !ec; }, 10000));
    const pid_t encoder = ReadPid(dir / "encoder.pid");
    ASSERT_NE(encoder, 0);

    messages.answerYes = false;
    EXPECT_FALSE(window->close());
    EXPECT_EQ(messages.questions, std::vector<std::string>{"qorv: 変換中です。中断して終了しますか?"});
    EXPECT_TRUE(controller->converting());
    EXPECT_TRUE(IsAlive(encoder));

    messages.answerYes = true;
    EXPECT_TRUE(window->close());
    controller.reset();  // as the program's end does
    EXPECT_FALSE(IsAlive(encoder));
    EXPECT_EQ(window->jobs().size(), 1u);  // the row behind stays for a later batch
}

}  // namespace
}  // namespace qorvane::testing
