#include "support/small_disk.h"

#include <sys/mount.h>
#include <unistd.h>

#include <cstdio>
#include <vector>

namespace qorvane::testing {

namespace fs = std::filesystem;

SmallDisk::SmallDisk(fs::path dir, const std::string& size) : dir_(std::move(dir)) {
    fs::create_directories(dir_);
    const std::string options = "size=" + size;
    mounted_ = ::geteuid() == 0 && ::mount("tmpfs", dir_.c_str(), "tmpfs", 0, options.c_str()) == 0;
}

SmallDisk::~SmallDisk() {
    if (mounted_) ::umount2(dir_.c_str(), MNT_DETACH);
}

void SmallDisk::leaveFree(std::size_t bytes) {
    const fs::path filler = dir_ / "filler";
    std::error_code ec;
    fs::remove(filler, ec);
    if (std::FILE* out = std::fopen(filler.c_str(), "wb")) {
        static const std::vector<char> block(4096, 'f');
        while (std::fwrite(block.data(), 1, block.size(), out) == block.size() && std::fflush(out) == 0) {
        }
        std::fclose(out);
    }
    const auto size = fs::file_size(filler, ec);
    if (!ec) fs::resize_file(filler, size > bytes ? size - bytes : 0, ec);
}

}  // namespace qorvane::testing
