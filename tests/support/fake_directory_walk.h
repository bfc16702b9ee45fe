#pragma once
// A file tree in memory: folders with their entries, links as second names
// of a folder, and folders that cannot be read.

#include <map>
#include <set>
#include <string>

#include "platform/directory_walk.h"

namespace qorvane::testing {

class FakeDirectoryWalk final : public DirectoryWalk {
public:
    void file(const std::string& path) { add(path, Kind::File); }
    void folder(const std::string& path) {
        add(path, Kind::Folder);
        folders_.try_emplace(path, ++nextInode_);
    }
    // `path` is a link to the folder `target`.
    void link(const std::string& path, const std::string& target) {
        add(path, Kind::Folder);
        targets_[path] = target;
    }
    void unreadable(const std::string& path) { unreadable_.insert(path); }

    Kind kind(const std::filesystem::path& path) const override {
        const std::string p = resolve(path.string());
        if (folders_.count(p)) return Kind::Folder;
        return files_.count(p) ? Kind::File : Kind::Other;
    }

    std::optional<Listing> list(const std::filesystem::path& folder) const override {
        const std::string p = resolve(folder.string());
        const auto found = folders_.find(p);
        if (found == folders_.end() || unreadable_.count(folder.string())) return std::nullopt;
        Listing listing;
        listing.inode = found->second;
        const std::string prefix = p + "/";
        for (const auto& [path, kind] : entries_) {
            if (path.starts_with(prefix) && path.find('/', prefix.size()) == std::string::npos) {
                listing.entries.push_back({path.substr(prefix.size()), kind});
            }
        }
        return listing;
    }

private:
    void add(const std::string& path, Kind kind) {
        entries_[path] = kind;
        if (kind == Kind::File) files_.insert(path);
    }
    // A path through links, to the folder it names.
    std::string resolve(std::string path) const {
        if (path.size() > 1 && path.ends_with('/')) path.pop_back();
        for (const auto& [link, target] : targets_) {
            if (path == link || path.starts_with(link + "/")) return resolve(target + path.substr(link.size()));
        }
        return path;
    }

    std::map<std::string, Kind> entries_;
    std::set<std::string> files_;
    std::map<std::string, std::uint64_t> folders_;
    std::map<std::string, std::string> targets_;
    std::set<std::string> unreadable_;
    std::uint64_t nextInode_ = 0;
};

}  // namespace qorvane::testing
