// save_kill_soak: the settings file and a profile survive a kill -9 in the
// middle of a save, and a save onto a full disk.
//
// Kills: a child process saves the settings file and a profile in a loop,
// alternating between two contents (one of them some 40 KB, so that a save
// takes several writes); after a random moment it is killed with SIGKILL.
// Then each file must be byte for byte the old or the new content, and
// after the next start (the start-up loader the program runs) no temporary
// file may be left beside them.
//
// Full disk: the two files lie on a small tmpfs (mounted here when running
// as root; otherwise RLIMIT_FSIZE stands in for it) which is filled up to
// leave 0, 4 KiB, 8 KiB ... free. A save that cannot complete must report
// failure and leave the old file; one that completes leaves the new file.
// Settings saves are not reported to the user by design; a profile save's
// failure is what the profile editor shows as "保存できませんでした".
//
// Usage: save_kill_soak [KILLS]   (default 1000)

#include <signal.h>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <random>
#include <string>
#include <thread>
#include <vector>

#include "app/app_state.h"
#include "app/settings.h"
#include "app/startup.h"
#include "profiles/profile_settings.h"
#include "support/small_disk.h"
#include "support/temp_dir.h"

namespace {

namespace fs = std::filesystem;
using namespace qorvane;
using testing::ReadFileBytes;

struct NoRegistry final : Registry {
    std::optional<std::string> readString(std::string_view, std::string_view) const override { return {}; }
};
struct ScreenOf1024 final : Desktop {
    WorkArea workArea() const override { return {0, 0, 1024, 738}; }
};

// The two contents each file alternates between.
struct Contents {
    AppSettings settings[2];
    MainWindowState window[2];
    ProfileSettings profile[2];
    std::string settingsBytes[2];
    std::string profileBytes[2];
};

Contents MakeContents(const fs::path& scratch) {
    Contents c;
    c.settings[0].dir = "/tmp";
    c.settings[0].sone = "/usr/share/sounds/one.wav";
    c.window[0].bounds = {10, 20, 600, 400};
    c.window[0].columnWidths = {100, 100, 100, 80, 80, 40, 80};
    c.window[0].profileName = "Temporary";
    c.settings[1].shutdn = true;
    c.settings[1].bone = true;
    c.settings[1].sone = "/sounds/" + std::string(40000, 'x') + ".wav";
    c.settings[1].sall = "終わり.wav";
    c.window[1].bounds = {30, 40, 800, 500};
    c.window[1].columnWidths = {90, 91, 92, 93, 94, 95, 96};
    c.window[1].profileName = "ビデオ 高画質";
    c.profile[1].AudioMode = 3;
    c.profile[1].AudioSetting = 2;
    c.profile[1].VideoMode = 2;
    for (int kbps = 100; c.profile[1].VideoBitrate.size() < 40000; kbps += 7) {
        c.profile[1].VideoBitrate += std::to_string(kbps) + ",";
    }
    c.profile[1].KeyFrame = "8";
    // Saving over the other content converges after one round: those bytes
    // are what each save writes from then on.
    const fs::path settings = scratch / "qorvane.ini";
    const fs::path profile = scratch / "p.wpf";
    std::ofstream(profile, std::ios::binary) << "; a comment the saves keep\r\n";
    for (int round = 0; round < 2; ++round) {
        for (int i = 0; i < 2; ++i) {
            SaveSettings(settings, c.settings[i], c.window[i]);
            WriteProfile(profile, c.profile[i]);
            c.settingsBytes[i] = ReadFileBytes(settings);
            c.profileBytes[i] = ReadFileBytes(profile);
        }
    }
    return c;
}

void WriteBytes(const fs::path& file, const std::string& bytes) {
    std::ofstream(file, std::ios::binary | std::ios::trunc) << bytes;
}

// Files that are not one of the two (temporary files of a save).
int OthersIn(const fs::path& dir, const std::vector<std::string>& known) {
    int count = 0;
    for (const auto& entry : fs::directory_iterator(dir)) {
        const std::string name = entry.path().filename().string();
        if (std::find(known.begin(), known.end(), name) == known.end()) ++count;
    }
    return count;
}

// 0: the old content, 1: the new, -1: missing, -2: anything else.
int WhichContent(const fs::path& file, const std::string (&bytes)[2]) {
    std::error_code ec;
    if (!fs::exists(file, ec)) return -1;
    const std::string now = ReadFileBytes(file);
    if (now == bytes[0]) return 0;
    if (now == bytes[1]) return 1;
    return -2;
}

[[noreturn]] void SaveForever(const Contents& c, const AppPaths& paths, const fs::path& profile, int readyFd) {
    const char ready = 'r';
    if (::write(readyFd, &ready, 1) != 1) std::_Exit(2);
    for (unsigned i = 0;; ++i) {
        const int which = (i + 1) % 2;
        SaveSettings(paths.settingsFile, c.settings[which], c.window[which]);
        WriteProfile(profile, c.profile[which]);
    }
}

int RunKills(int kills, const Contents& c, const fs::path& root) {
    AppState state;
    state.paths = AppPathsIn(root / "qorvane", root);
    fs::create_directories(state.paths.profileDir);
    const fs::path profile = state.paths.profileDir / "p.wpf";
    WriteBytes(state.paths.settingsFile, c.settingsBytes[0]);
    WriteBytes(profile, c.profileBytes[0]);

    std::mt19937 random(2024);
    std::uniform_int_distribution<int> delayUs(0, 40000);
    int cutShort = 0, faults = 0;
    int found[2][2] = {{0, 0}, {0, 0}};  // [settings, profile][old, new]
    for (int kill = 0; kill < kills; ++kill) {
        int pipeFds[2];
        if (::pipe(pipeFds) != 0) return -1;
        const pid_t child = ::fork();
        if (child == 0) {
            ::close(pipeFds[0]);
            SaveForever(c, state.paths, profile, pipeFds[1]);
        }
        ::close(pipeFds[1]);
        char ready = 0;
        if (::read(pipeFds[0], &ready, 1) != 1) return -1;
        ::close(pipeFds[0]);
        std::this_thread::sleep_for(std::chrono::microseconds(delayUs(random)));
        ::kill(child, SIGKILL);
        int status = 0;
        ::waitpid(child, &status, 0);

        const int settingsNow = WhichContent(state.paths.settingsFile, c.settingsBytes);
        const int profileNow = WhichContent(profile, c.profileBytes);
        const int leftovers = OthersIn(root, {"qorvane.ini", "Profile"}) + OthersIn(state.paths.profileDir, {"p.wpf"});
        if (leftovers > 0) ++cutShort;
        // The next start.
        AppState next;
        next.paths = state.paths;
        RunStartupLoader(ScreenOf1024(), NoRegistry(), next);
        const int leftAfterStart =
            OthersIn(root, {"qorvane.ini", "Profile"}) + OthersIn(state.paths.profileDir, {"p.wpf"});
        if (settingsNow < 0 || profileNow < 0 || leftAfterStart > 0) {
            ++faults;
            std::fprintf(stderr, "kill %d: settings %d, profile %d, temporary files after the next start %d\n",
                         kill + 1, settingsNow, profileNow, leftAfterStart);
            // Start the next round from a known state.
            WriteBytes(state.paths.settingsFile, c.settingsBytes[0]);
            WriteBytes(profile, c.profileBytes[0]);
            for (const auto& dir : {root, state.paths.profileDir}) {
                for (const auto& entry : fs::directory_iterator(dir)) {
                    const std::string name = entry.path().filename().string();
                    if (name.starts_with(".")) fs::remove(entry.path());
                }
            }
            continue;
        }
        ++found[0][settingsNow];
        ++found[1][profileNow];
    }
    std::printf("kills: %d, saves cut short (temporary file found): %d\n", kills, cutShort);
    std::printf("  settings file after the kill: old %d, new %d; profile: old %d, new %d\n", found[0][0],
                found[0][1], found[1][0], found[1][1]);
    std::printf("  faults (missing, partial or foreign content, temporary file after the next start): %d\n", faults);
    return faults;
}

// A save that fails for want of space: returns what it returned, -1 when
// the child could not report.
template <typename Save>
int SaveWithFileSizeLimit(std::size_t limit, Save save) {
    const pid_t child = ::fork();
    if (child == 0) {
        ::signal(SIGXFSZ, SIG_IGN);  // a write past the limit fails with EFBIG instead
        const rlimit cap{limit, limit};
        ::setrlimit(RLIMIT_FSIZE, &cap);
        std::_Exit(save() ? 1 : 0);
    }
    int status = 0;
    ::waitpid(child, &status, 0);
    return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
}

int RunFullDisk(const Contents& c, const fs::path& root) {
    testing::SmallDisk disk(root / "small", "512k");
    const fs::path dir = root / "small";
    const fs::path settings = dir / "qorvane.ini";
    const fs::path profile = dir / "p.wpf";
    int refused = 0, completed = 0, faults = 0, levels = 0;
    const std::size_t largest = std::max(c.settingsBytes[1].size(), c.profileBytes[1].size());
    for (std::size_t free = 0; free <= largest + 8192; free += 4096) {
        ++levels;
        WriteBytes(settings, c.settingsBytes[0]);
        WriteBytes(profile, c.profileBytes[0]);
        bool savedSettings = false;
        bool savedProfile = false;
        if (disk.mounted()) {
            disk.leaveFree(free);
            savedSettings = SaveSettings(settings, c.settings[1], c.window[1]);
            savedProfile = WriteProfile(profile, c.profile[1]);
        } else {
            savedSettings = SaveWithFileSizeLimit(free, [&] { return SaveSettings(settings, c.settings[1], c.window[1]); }) == 1;
            savedProfile = SaveWithFileSizeLimit(free, [&] { return WriteProfile(profile, c.profile[1]); }) == 1;
        }
        const int settingsNow = WhichContent(settings, c.settingsBytes);
        const int profileNow = WhichContent(profile, c.profileBytes);
        const int leftovers = OthersIn(dir, {"qorvane.ini", "p.wpf", "filler"});
        const bool good = settingsNow == (savedSettings ? 1 : 0) && profileNow == (savedProfile ? 1 : 0) &&
                          leftovers == 0;
        refused += !savedSettings + !savedProfile;
        completed += savedSettings + savedProfile;
        if (!good) {
            ++faults;
            std::fprintf(stderr, "%zu bytes free: settings saved %d -> content %d, profile saved %d -> content %d, "
                                 "%d other files\n",
                         free, savedSettings, settingsNow, savedProfile, profileNow, leftovers);
        }
        std::error_code ec;
        fs::remove(dir / "filler", ec);
    }
    std::printf("full disk (%s): %d fill levels, saves refused %d, saves completed %d, faults %d\n",
                disk.mounted() ? "512 KiB tmpfs" : "RLIMIT_FSIZE, not root", levels, refused, completed, faults);
    return faults;
}

}  // namespace

int main(int argc, char** argv) {
    const int kills = argc > 1 ? std::max(1, std::atoi(argv[1])) : 1000;
    testing::TempDir scratch;
    fs::create_directories(scratch / "contents");
    fs::create_directories(scratch / "kills");
    const Contents contents = MakeContents(scratch / "contents");
    const auto started = std::chrono::steady_clock::now();
    const int killFaults = RunKills(kills, contents, scratch / "kills");
    const int diskFaults = RunFullDisk(contents, scratch.path());
    std::printf("time: %.1f s\n",
                std::chrono::duration<double>(std::chrono::steady_clock::now() - started).count());
    return killFaults == 0 && diskFaults == 0 ? 0 : 1;
}
