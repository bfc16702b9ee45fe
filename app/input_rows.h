#pragma once
// The rows a drop, the command line or a picked folder gives, made where
// they cannot hold up the window: the folders are listed, each accepted
// file gets its row (its output folder with the folder tree kept or not)
// and its tags, and the rows are handed on in batches, in order, as they
// are made. The window runs this on a thread of its own and appends each
// batch on its own thread.

#include <chrono>
#include <cstddef>
#include <functional>
#include <string>
#include <vector>

#include "app/add_job.h"
#include "platform/directory_walk.h"

namespace qorvane {

struct InputRowsRequest {
    std::vector<std::string> paths;  // files and folders, in the order given
    std::string profile;
    std::string outDir;
    bool keepTree = false;
};

struct InputRowsSummary {
    std::size_t rows = 0;
    std::vector<std::string> refused;            // named files of kinds the list does not take
    std::vector<std::string> unreadableFolders;  // whose files could not be listed
    // A file that could not be read for its tags: its row was made (with
    // empty tags) and nothing after it, as for a drop of files.
    std::string openError;
    bool stopped = false;  // cancelled before the end
};

struct InputRowsPacing {
    std::size_t batchRows = 500;                  // a batch at most this big,
    std::chrono::milliseconds batchTime{100};     // or as old: rows show up while a slow folder is read
};

// `deliver` gets each batch (never an empty one); `stopped` is asked
// between files.
InputRowsSummary MakeInputRows(const DirectoryWalk& walk, const TagReader& readTags,
                               const InputRowsRequest& request,
                               const std::function<void(std::vector<EncodeJob>)>& deliver,
                               const std::function<bool()>& stopped, InputRowsPacing pacing = {});

}  // namespace qorvane
