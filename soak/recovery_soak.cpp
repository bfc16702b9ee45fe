// recovery_soak: a copy of the program's job-list keeping is killed with
// SIGKILL at random moments while rows are added, edited and removed and a
// "batch" takes rows and finishes them, KILLS times. The child runs the very
// keeper and store the window uses, ticking every 500 ms as its timer does,
// and notes (time, digest) of each text it hands over. After each kill the
// parent claims what was left the way a new start does, and checks that it
// reads whole, that no temporary file outlives the claim, and that it is a
// list the child showed within the last second.
//
// Usage: recovery_soak [KILLS [MAX_MS]]   (defaults 200 kills, up to 2000 ms
// between a child's start and its kill). Exit status 1 on any fault.

#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <functional>
#include <random>
#include <sstream>
#include <string>
#include <thread>

#include "app/job_recovery.h"
#include "platform/posix/recovery_store.h"

namespace {

namespace fs = std::filesystem;
using namespace qorvane;

long long NowNs() {
    return std::chrono::duration_cast<std::chrono::nanoseconds>(std::chrono::steady_clock::now().time_since_epoch())
        .count();
}

std::string Hostile(std::mt19937& random) {
    static const char* pieces[] = {"曲", "a", "\t", "\n", "\\", "\"", "$(x)", ";", "#", "\xff", " ", "タイトル"};
    std::string text;
    for (int n = static_cast<int>(random() % 6); n > 0; --n) text += pieces[random() % std::size(pieces)];
    return text;
}

EncodeJob RandomRow(std::mt19937& random) {
    return {Hostile(random) + ".mp3", "Temporary", Hostile(random), Hostile(random), Hostile(random), "2024",
            Hostile(random), "/in/" + Hostile(random), Hostile(random)};
}

// The child: edits without end, ticking every 500 ms; never returns.
[[noreturn]] void Child(const fs::path& state, const fs::path& notes, unsigned seed) {
    std::mt19937 random(seed);
    JobList list;
    std::vector<EncodeJob> going;
    for (int i = static_cast<int>(random() % 300); i > 0; --i) list.append(RandomRow(random));
    RecoveryStore store(state);
    std::ofstream log(notes, std::ios::app);
    RecoveryKeeper keeper(list, [&] { return going; }, [&](std::string text) {
        log << NowNs() << ' ' << std::hash<std::string>{}(text) << std::endl;
        store.save(std::move(text));
    });
    auto nextTick = std::chrono::steady_clock::now();
    for (;;) {
        switch (random() % 7) {
            case 0:
            case 1:
                if (list.size() < 2000) list.append(RandomRow(random));
                break;
            case 2:
            case 3:
                if (!list.empty()) list.setField(random() % list.size(), JobField::Title, Hostile(random));
                break;
            case 4:
                if (!list.empty()) list.removeRows({random() % list.size()});
                break;
            case 5:
                if (!list.empty() && going.size() < 2) going.push_back(list.takeFirst());  // a run starts
                break;
            default:
                if (!going.empty()) going.erase(going.begin());  // a job is done
        }
        if (std::chrono::steady_clock::now() >= nextTick) {
            keeper.tick();
            nextTick += std::chrono::milliseconds(500);
        }
        std::this_thread::sleep_for(std::chrono::microseconds(200));
    }
}

struct Notes {
    std::vector<std::pair<long long, std::size_t>> saves;  // (time, digest)
};

Notes ReadNotes(const fs::path& file) {
    Notes notes;
    std::ifstream in(file);
    long long time = 0;
    std::size_t digest = 0;
    while (in >> time >> digest) notes.saves.emplace_back(time, digest);
    return notes;
}

}  // namespace

int main(int argc, char** argv) {
    const int kills = argc > 1 ? std::max(1, std::atoi(argv[1])) : 200;
    const int maxMs = argc > 2 ? std::max(1, std::atoi(argv[2])) : 2000;
    std::string pattern = (fs::temp_directory_path() / "qorvane-recovery-soak-XXXXXX").string();
    if (mkdtemp(pattern.data()) == nullptr) return 1;
    const fs::path work = pattern;
    const fs::path state = work / "state";
    std::mt19937 random(12345);

    int faults = 0;
    int restored = 0;
    int beforeFirstWrite = 0;
    int emptyLists = 0;
    int duringWrite = 0;
    double oldest = 0;
    for (int kill = 0; kill < kills; ++kill) {
        const fs::path notesFile = work / ("notes-" + std::to_string(kill));
        const unsigned seed = static_cast<unsigned>(random());
        const pid_t child = fork();
        if (child == 0) Child(state, notesFile, seed);
        std::this_thread::sleep_for(std::chrono::milliseconds(random() % static_cast<unsigned>(maxMs)));
        ::kill(child, SIGKILL);
        const long long killedAt = NowNs();
        int status = 0;
        waitpid(child, &status, 0);

        std::error_code ec;
        for (const auto& entry : fs::directory_iterator(state, ec)) {
            if (entry.path().extension() == ".tmp") ++duringWrite;
        }
        const Notes notes = ReadNotes(notesFile);
        RecoveryStore next(state);
        const auto leftovers = next.claimLeftovers();
        const auto fault = [&](const std::string& what) {
            ++faults;
            std::printf("kill %d: %s\n", kill + 1, what.c_str());
        };
        if (leftovers.size() > 1) fault("more than one file left");
        if (leftovers.empty()) {
            // Right only before the first text was on disk (it may have been
            // handed over already), or when the list shown had become empty.
            const std::size_t empty = std::hash<std::string>{}(std::string());
            bool emptied = false;
            for (const auto& [time, noted] : notes.saves) emptied = emptied || (noted == empty && killedAt - time < 1'000'000'000);
            if (emptied) {
                ++emptyLists;
            } else if (notes.saves.size() > 1) {
                fault("no file, although " + std::to_string(notes.saves.size()) + " were written");
            } else {
                ++beforeFirstWrite;
            }
        }
        for (const auto& leftover : leftovers) {
            const std::size_t digest = std::hash<std::string>{}(leftover.text);
            if (!leftover.text.empty() && !ParseRecoveryText(leftover.text)) fault("the file does not read whole");
            std::optional<long long> shown;
            for (const auto& [time, noted] : notes.saves) {
                if (noted == digest) shown = time;
            }
            if (!shown) {
                fault("the file holds a list that was never handed over");
            } else {
                const double age = static_cast<double>(killedAt - *shown) / 1e9;
                oldest = std::max(oldest, age);
                if (age > 1.0) fault("the file's list is " + std::to_string(age) + " s old");
            }
            ++restored;
            next.discard(leftover);
        }
        for (const auto& entry : fs::directory_iterator(state, ec)) {
            const std::string name = entry.path().filename().string();
            const bool own = entry.path().stem() == next.ownFile().stem();
            if (entry.path().extension() == ".tmp" || (!own && (name.find(".recovery") != std::string::npos ||
                                                                entry.path().extension() == ".lock"))) {
                fault("left behind after the claim: " + name);
            }
        }
        next.finish();
        fs::remove(notesFile, ec);
    }
    std::printf("recovery_soak: %d kills at random moments (0-%d ms after the start): %d files read back whole and "
                "matched a list shown at most %.3f s before the kill, %d with the list emptied (no file), %d kills before "
                "the first write, %d during a write (a temporary file beside the last whole one); %d faults\n",
                kills, maxMs, restored, oldest, emptyLists, beforeFirstWrite, duringWrite, faults);
    std::error_code ec;
    fs::remove_all(work, ec);
    return faults == 0 ? 0 : 1;
}
