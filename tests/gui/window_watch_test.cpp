// Watched folders in the window: files that land become rows and are
// converted without a click, together with the rows added by hand; a file
// that lands during a batch joins it.

#include <gtest/gtest.h>

#include <fstream>

#include "app/ui/window_folder_watch.h"
#include "gui/batch_fixture.h"
#include "platform/posix/posix_directory_walk.h"
#include "platform/posix/posix_durable_text_file.h"
#include "support/temp_dir.h"

namespace qorvane::testing {
namespace {

namespace fs = std::filesystem;
using namespace std::chrono_literals;

TEST_F(BatchWindowTest, FilesLandingInAWatchedFolderAreConvertedWithoutAClickWithTheRowsAddedByHand) {
    const fs::path calls = dir / "calls";
    start(host("echo \"$@\" >> \"" + calls.string() + "\"\n" + waitFor("go")));
    window->AddFiles({file("hand.wav", "x")});
    fs::create_directories(dir / "watched");
    PosixDurableTextFile record(dir / "state/watched");
    WindowFolderWatch::Services services =
        WatchIntoWindow(*window, *controller, record, walk, [](const std::string&) {});
    services.timing.settle = 200ms;
    WindowFolderWatch watch(*window, services);
    controller->setRunObserver(&watch);
    WatchedFolder folder;
    folder.folder = (dir / "watched").string();
    folder.profile = "Voice";
    folder.outDir = (dir / "out").string();
    WatchSettings settings;
    settings.on = true;
    settings.folders = {folder};
    watch.apply(settings);
    ASSERT_TRUE(watch.watching());

    std::ofstream(dir / "watched/a.wav") << "x";
    ASSERT_TRUE(QTest::qWaitFor([this] { return controller->converting(); }, 10000));
    // The hand-added row runs first; the watched file waits behind it with
    // the watch's profile and output folder.
    ASSERT_TRUE(QTest::qWaitFor([this] { return window->jobs().size() == 1; }, 10000));
    EXPECT_EQ(window->jobs()[0].Path, (dir / "watched/a.wav").string());
    EXPECT_EQ(window->jobs()[0].Profile, "Voice");
    EXPECT_EQ(window->jobs()[0].OutDir, (dir / "out").string());
    // Landing during the batch: it joins it.
    std::ofstream(dir / "watched/b.wav") << "x";
    ASSERT_TRUE(QTest::qWaitFor([this] { return window->jobs().size() == 2; }, 10000));
    file("go");
    ASSERT_TRUE(waitForIdle());
    EXPECT_EQ(window->jobs().size(), 0u);
    const std::string ran = ReadFileBytes(calls);
    const auto hand = ran.find("hand.wav");
    const auto a = ran.find("a.wav");
    const auto b = ran.find("b.wav");
    EXPECT_TRUE(hand < a && a < b && b != std::string::npos) << ran;

    // Turned off: what lands stays where it is.
    settings.on = false;
    watch.apply(settings);
    EXPECT_FALSE(watch.watching());
    std::ofstream(dir / "watched/c.wav") << "x";
    QTest::qWait(800);
    EXPECT_EQ(window->jobs().size(), 0u);
    controller->setRunObserver(nullptr);
}

}  // namespace
}  // namespace qorvane::testing
