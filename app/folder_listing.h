#pragma once
// Folders as input: every accepted file under a folder, recursively, in the
// order a file manager shows them (base/natural_order.h: names compared with
// runs of digits as numbers, folders and files interleaved). Hidden files
// and folders are skipped; a link to a folder is followed, but a folder
// already listed (a loop, a second link to it) is never listed again; a
// folder that cannot be read is reported and the rest is listed. The same
// order for the window and the command line.

#include <functional>
#include <string>
#include <vector>

#include "platform/directory_walk.h"

namespace qorvane {

// A file to add, and the folder it was found in (named by the user):
// empty for a file named itself.
struct FoundInput {
    std::string path;
    std::string addedFolder;

    bool operator==(const FoundInput&) const = default;
};

// Told what a listing finds, as it finds it, so that a long listing can
// show its first files before it ends.
class FolderListingSink {
public:
    virtual ~FolderListingSink() = default;
    virtual void found(FoundInput input) = 0;
    // A folder (named or found) whose entries could not be read.
    virtual void unreadableFolder(const std::string& folder) = 0;
    // Asked between entries: true stops the listing where it is.
    virtual bool stopped() const { return false; }
};

// Each input in its order: a folder gives the accepted files under it; any
// other path (a file, whatever its kind, or one that does not exist) is
// passed on as it stands, for the job list to take or refuse.
void ListInputs(const DirectoryWalk& walk, const std::vector<std::string>& inputs, FolderListingSink& sink);

// The whole listing at once.
struct ListedInputs {
    std::vector<FoundInput> files;
    std::vector<std::string> unreadableFolders;
};
ListedInputs ListInputs(const DirectoryWalk& walk, const std::vector<std::string>& inputs);

// The inputs named themselves (not found in a folder) that the job list
// does not take: for the refused-files message.
std::vector<std::string> RefusedNamedFiles(const std::vector<FoundInput>& files);

}  // namespace qorvane
