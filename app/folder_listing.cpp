#include "app/folder_listing.h"

#include <algorithm>
#include <set>
#include <utility>

#include "app/add_job.h"
#include "base/natural_order.h"

namespace qorvane {

namespace {

using FolderId = std::pair<std::uint64_t, std::uint64_t>;

class TreeLister {
public:
    TreeLister(const DirectoryWalk& walk, FolderListingSink& sink) : walk_(walk), sink_(sink) {}

    void listFolder(const std::string& added, const std::string& folder) {
        if (sink_.stopped()) return;
        std::optional<DirectoryWalk::Listing> listing = walk_.list(folder);
        if (!listing) {
            sink_.unreadableFolder(folder);
            return;
        }
        // Loops and second links end here: each folder is listed once.
        if (!seen_.insert({listing->device, listing->inode}).second) return;
        std::vector<DirectoryWalk::Entry>& entries = listing->entries;
        std::erase_if(entries, [](const DirectoryWalk::Entry& e) {
            return e.name.empty() || e.name.front() == '.' ||
                   (e.kind == DirectoryWalk::Kind::File && !IsAcceptedMediaFile(e.name)) ||
                   e.kind == DirectoryWalk::Kind::Other;
        });
        std::sort(entries.begin(), entries.end(),
                  [](const DirectoryWalk::Entry& a, const DirectoryWalk::Entry& b) { return NaturalLess(a.name, b.name); });
        const std::string prefix = folder.ends_with('/') ? folder : folder + '/';
        for (DirectoryWalk::Entry& entry : entries) {
            if (sink_.stopped()) return;
            std::string path = prefix + entry.name;
            if (entry.kind == DirectoryWalk::Kind::Folder) {
                listFolder(added, path);
            } else {
                sink_.found({std::move(path), added});
            }
        }
    }

private:
    const DirectoryWalk& walk_;
    FolderListingSink& sink_;
    std::set<FolderId> seen_;
};

class Collector final : public FolderListingSink {
public:
    explicit Collector(ListedInputs& result) : result_(result) {}
    void found(FoundInput input) override { result_.files.push_back(std::move(input)); }
    void unreadableFolder(const std::string& folder) override { result_.unreadableFolders.push_back(folder); }

private:
    ListedInputs& result_;
};

}  // namespace

void ListInputs(const DirectoryWalk& walk, const std::vector<std::string>& inputs, FolderListingSink& sink) {
    for (const std::string& input : inputs) {
        if (sink.stopped()) return;
        if (!input.empty() && walk.kind(input) == DirectoryWalk::Kind::Folder) {
            // Each named folder is a tree of its own: a folder named twice is listed twice.
            TreeLister(walk, sink).listFolder(input, input);
        } else {
            sink.found({input, {}});
        }
    }
}

ListedInputs ListInputs(const DirectoryWalk& walk, const std::vector<std::string>& inputs) {
    ListedInputs result;
    Collector collector(result);
    ListInputs(walk, inputs, collector);
    return result;
}

std::vector<std::string> RefusedNamedFiles(const std::vector<FoundInput>& files) {
    std::vector<std::string> refused;
    for (const FoundInput& file : files) {
        if (file.addedFolder.empty() && !IsAcceptedMediaFile(file.path)) refused.push_back(file.path);
    }
    return refused;
}

}  // namespace qorvane
