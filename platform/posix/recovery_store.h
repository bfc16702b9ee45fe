#pragma once
// Where the job list is kept while the program runs: one recovery file per
// running copy in the user's state folder, each beside a lock file that its
// copy holds for as long as it lives. A file whose lock nobody holds was
// left by a copy that ended without cleaning up (a crash, a power cut, a
// kill) and can be offered back. Writes happen on a thread of their own,
// atomically (a temporary file, fsync, rename), so a reader only ever sees
// a whole old or a whole new file.

#include <condition_variable>
#include <cstdint>
#include <filesystem>
#include <map>
#include <mutex>
#include <optional>
#include <string>
#include <thread>
#include <vector>

namespace qorvane {

// $XDG_STATE_HOME/qorvane, else ~/.local/state/qorvane.
std::filesystem::path DefaultRecoveryFolder();

class RecoveryStore {
public:
    // Takes this copy's own file name and lock; the folder is made here.
    explicit RecoveryStore(std::filesystem::path folder);
    // Writes what is still queued, then lets go of the locks: the file (and
    // any leftover adopted and not yet removed) stays for the next start
    // unless finish() came first.
    ~RecoveryStore();
    RecoveryStore(const RecoveryStore&) = delete;
    RecoveryStore& operator=(const RecoveryStore&) = delete;

    struct Leftover {
        std::filesystem::path file;
        std::string text;
    };
    // The files of copies that are gone, oldest first, each now held by this
    // store until it is discarded or set aside. Temporary files of a write
    // that was cut short are removed on the way.
    std::vector<Leftover> claimLeftovers();
    void discard(const Leftover& leftover);
    // Renames a file that could not be read to "<name>.damaged" (a number
    // added when that exists) and returns the new name.
    std::filesystem::path setAside(const Leftover& leftover);
    // Leftovers whose rows this copy has taken into its list: each is
    // removed once a text saved after this call is on disk (so the rows are
    // never in no file at all), or by finish(). Until then it stays held.
    void adopt(std::vector<Leftover> leftovers);

    // Queues the text of this copy's file; a text not yet written when the
    // next comes is replaced by it. An empty text removes the file.
    void save(std::string text);
    // Returns once everything queued is on disk.
    void flush();
    // The normal end: nothing more is written, the file and the lock go, and
    // so do the leftovers adopted.
    void finish();

    const std::filesystem::path& ownFile() const { return own_; }
    // How many writes have failed (a full disk, a folder gone).
    std::uint64_t failedWrites() const;

private:
    struct Adopted {
        std::filesystem::path file;
        int lock;
        std::uint64_t firstSave;  // the first save whose text holds its rows
    };

    void writer();
    bool write(const std::string& text);
    void release(const std::filesystem::path& file, bool removeFile);
    // Removes the adopted leftovers that a written save `save` holds.
    void removeAdopted(std::uint64_t save);

    std::filesystem::path folder_;
    std::filesystem::path own_;
    int ownLock_ = -1;
    std::map<std::filesystem::path, int> claimed_;  // leftover file -> its lock

    mutable std::mutex mutex_;
    std::condition_variable wake_;
    std::optional<std::string> pending_;
    std::uint64_t saves_ = 0;  // the number of the latest save, the one pending_ holds
    std::vector<Adopted> adopted_;
    bool writing_ = false;
    bool stop_ = false;
    std::uint64_t failed_ = 0;
    std::thread thread_;
};

}  // namespace qorvane
