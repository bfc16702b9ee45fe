// Folders added through the real window: dropped, picked with the toolbar's
// "フォルダ追加" or named at start, listed and read off the window's thread,
// their rows arriving in batches while a line under the list counts them.
#include <QLabel>
#include <QMimeData>
#include <QPushButton>
#include <QTest>
#include <QToolButton>
#include <QUrl>

#include <atomic>
#include <chrono>
#include <filesystem>
#include <thread>

#include "encode/ui/progress_dialog.h"
#include "gui/gui_fixture.h"

namespace qorvane::testing {
namespace {

namespace fs = std::filesystem;
using Strings = std::vector<std::string>;

class MainWindowFolders : public MainWindowTest {
protected:
    // Lets the window's thread run until `done` or a few seconds have passed.
    static bool WaitFor(const std::function<bool()>& done) {
        const auto end = std::chrono::steady_clock::now() + std::chrono::seconds(20);
        while (!done() && std::chrono::steady_clock::now() < end) {
            QCoreApplication::processEvents(QEventLoop::AllEvents, 10);
            std::this_thread::sleep_for(std::chrono::milliseconds(1));
        }
        return done();
    }

    std::string tree() {
        file("in/Disc 10/1.wav");
        file("in/Disc 2/Track 10.wav");
        file("in/Disc 2/Track 2.wav");
        file("in/Disc 2/cover.jpg");
        file("in/.hidden/x.wav");
        file("in/ライブ/第１曲.wav");
        file("in/top.wav");
        return (dir / "in").string();
    }
};

TEST_F(MainWindowFolders, APickedFolderAddsItsFilesInOrderWithTheTreeKept) {
    state.settings.dir = (dir / "out").string();
    state.settings.keeptree = true;
    TQorvbyOstrel& w = open();
    const std::string in = tree();
    pickers.folderAnswer = QString::fromStdString(in);
    EXPECT_EQ(w.tbAdd->text(), QStringLiteral("フォルダ追加"));
    w.tbAdd->click();
    EXPECT_TRUE(w.adding());
    ASSERT_TRUE(WaitFor([&w] { return !w.adding(); }));
    EXPECT_EQ(column(JobField::Path), (Strings{in + "/Disc 2/Track 2.wav", in + "/Disc 2/Track 10.wav",
                                               in + "/Disc 10/1.wav", in + "/top.wav", in + "/ライブ/第１曲.wav"}));
    const std::string out = (dir / "out").string();
    EXPECT_EQ(column(JobField::OutDir),
              (Strings{out + "/Disc 2", out + "/Disc 2", out + "/Disc 10", out, out + "/ライブ"}));
    EXPECT_TRUE(w.addBar->isHidden());
    EXPECT_TRUE(messages.shown.empty());  // what a folder holds of other kinds is no news

    // The picker opens where it was last confirmed; cancelled, nothing is added.
    pickers.folderAnswer.reset();
    w.tbAdd->click();
    EXPECT_EQ(pickers.folderStarts.back(), QString::fromStdString(in));
    EXPECT_EQ(w.jobs().size(), 5u);
}

TEST_F(MainWindowFolders, FoldersNamedAtStartOrDroppedAmongFilesKeepTheOrderGiven) {
    const std::string in = tree();
    const std::string single = file("single.wav");
    TQorvbyOstrel& w = open({single, in, file("notes.txt")});
    ASSERT_TRUE(WaitFor([&w] { return !w.adding(); }));
    EXPECT_EQ(column(JobField::File), (Strings{"single.wav", "Track 2.wav", "Track 10.wav", "1.wav", "top.wav",
                                               "第１曲.wav"}));
    EXPECT_EQ(column(JobField::OutDir), Strings(6, ""));  // the tree not kept: as the setting says
    EXPECT_EQ(messages.shown,
              (Strings{"qorv: 次のファイルは変換できない種類のため追加しませんでした (1 件)\n\nnotes.txt"}));

    // A drop while nothing is being added, then one more at once: both in turn.
    auto* mime = new QMimeData;
    mime->setUrls({QUrl::fromLocalFile(QString::fromStdString(in + "/Disc 2"))});
    QDragEnterEvent enter(w.rect().center(), Qt::CopyAction, mime, Qt::LeftButton, Qt::NoModifier);
    QCoreApplication::sendEvent(&w, &enter);
    QDropEvent drop(w.rect().center(), Qt::CopyAction, mime, Qt::LeftButton, Qt::NoModifier);
    QCoreApplication::sendEvent(&w, &drop);
    QCoreApplication::processEvents();
    delete mime;
    w.AddFiles({single});
    ASSERT_TRUE(WaitFor([&w] { return !w.adding(); }));
    EXPECT_EQ(w.jobs().size(), 9u) << ::testing::PrintToString(column(JobField::Path));
    EXPECT_EQ(FieldOf(w.jobs()[6], JobField::File), "Track 2.wav");
    EXPECT_EQ(FieldOf(w.jobs()[8], JobField::File), "single.wav");
}

TEST_F(MainWindowFolders, TheWindowStaysFreeWhileABigFolderIsReadAndTheAddingCanBeStopped) {
    for (int i = 0; i < 1200; ++i) file("big/" + std::to_string(i) + ".wav");
    // Tags come only as fast as the test lets them: the window must go on
    // without them.
    std::atomic<int> allowed{0};
    std::atomic<int> read{0};
    readTags = [&allowed, &read](const std::filesystem::path&) -> std::optional<JobTags> {
        // Several threads read at once: each read takes one of the allowed.
        for (int r = read.load();;) {
            if (r < allowed.load() && read.compare_exchange_weak(r, r + 1)) return std::nullopt;
            std::this_thread::sleep_for(std::chrono::milliseconds(1));
            r = read.load();
        }
    };
    TQorvbyOstrel& w = open();
    TProDlg progress(&w);
    w.setProgressDialog(&progress);
    w.show();
    w.AddFiles({(dir / "big").string()});
    EXPECT_TRUE(w.adding());  // back at once, with not one tag read
    EXPECT_TRUE(w.addBar->isVisible());
    EXPECT_EQ(w.jobs().size(), 0u);

    // 1000 tags: the batches read whole are shown (a batch holds at most
    // 500 rows, or what came in a tenth of a second) while the reader is held
    // up; how the batches fell depends on the machine's pace, but nothing
    // past the tags read can be there.
    allowed = 1000;
    ASSERT_TRUE(WaitFor([&w, &read] { return read == 1000 && !w.jobs().empty(); }));
    const std::size_t shown = w.jobs().size();
    EXPECT_LE(shown, 1000u);
    EXPECT_EQ(w.addLabel->text(), QStringLiteral("フォルダを追加しています… %1 件").arg(shown));
    EXPECT_EQ(progress.Label2->text(), QStringLiteral("(%1) ").arg(shown + 1));
    QTest::mouseClick(w.addCancel, Qt::LeftButton);
    allowed = 100000;
    ASSERT_TRUE(WaitFor([&w] { return !w.adding(); }));
    EXPECT_TRUE(w.addBar->isHidden());
    EXPECT_TRUE(messages.shown.empty());
    QTest::qWait(50);
    EXPECT_EQ(w.jobs().size(), shown);  // what was made after the stop is not shown, and nothing more comes
}

}  // namespace
}  // namespace qorvane::testing
