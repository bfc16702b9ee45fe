#pragma once
// What happens in watched folders: files closed after writing, files moved
// in, things gone. A watch covers a folder and every folder under it,
// including folders made there later. The watch rules (when a file is
// taken, which names never are) live with whoever reads the events; an
// implementation only reports what it sees, and may miss things (a full
// event queue, a limit on watches), which it says with an event too.

#include <chrono>
#include <filesystem>
#include <vector>

namespace qorvane {

struct FolderEvent {
    enum class Kind {
        Written,   // a file was closed after writing (a poll: it is new or it changed)
        MovedIn,   // a file was renamed or moved into place; for a folder, each file in it
        Gone,      // a file or a folder (with what was under it) was deleted or moved away
        RootGone,  // a watched folder itself was deleted, moved, unmounted or replaced;
                   // it is no longer watched
        Missed,    // events were lost: what happened meanwhile is not known
        Unwatched, // a folder under a watched one could not be watched (a limit was reached)
    };
    Kind kind = Kind::Written;
    std::filesystem::path path;  // absolute; for Missed, empty
};

class FolderWatcher {
public:
    virtual ~FolderWatcher() = default;
    // Starts watching the folder and everything under it; false (and
    // nothing watched) when it does not exist or cannot be read. Watching a
    // folder again after RootGone is allowed.
    virtual bool watch(const std::filesystem::path& folder) = 0;
    // Stops watching a folder given to watch(); no RootGone follows.
    virtual void unwatch(const std::filesystem::path& folder) = 0;
    // Returns what has happened, waiting up to `timeout` for something;
    // empty when the time passed, or wake() was called.
    virtual std::vector<FolderEvent> wait(std::chrono::milliseconds timeout) = 0;
    // Ends a wait() early; may be called from any thread.
    virtual void wake() = 0;
};

}  // namespace qorvane
