#pragma once
// Named mutexes as locks on files of one directory (the user's runtime
// directory): a holder keeps a shared flock on "<dir>/<name>.lock"; a name
// exists while anyone holds that lock. The kernel drops the lock when the
// holder's process ends, however it ends.

#include <filesystem>

#include "platform/named_mutex.h"

namespace qorvane {

class LockFileMutexes final : public NamedMutexes {
public:
    explicit LockFileMutexes(std::filesystem::path directory) : directory_(std::move(directory)) {}

    bool exists(std::string_view name) const override;
    std::unique_ptr<NamedMutexHandle> create(std::string_view name) override;

    // The lock file of a name ('/' and '\' become '_').
    std::filesystem::path lockFile(std::string_view name) const;

private:
    std::filesystem::path directory_;
};

}  // namespace qorvane
