#pragma once
// A small tmpfs mounted over a folder for as long as the object lives, so
// that writes into it meet a full disk. Mounting needs root; without it the
// folder is an ordinary one and mounted() says so.

#include <cstddef>
#include <filesystem>
#include <string>

namespace qorvane::testing {

class SmallDisk {
public:
    SmallDisk(std::filesystem::path dir, const std::string& size);
    ~SmallDisk();
    SmallDisk(const SmallDisk&) = delete;
    SmallDisk& operator=(const SmallDisk&) = delete;

    bool mounted() const { return mounted_; }
    // Fills the disk with one file, "filler", then frees `bytes` of it (in
    // whole pages).
    void leaveFree(std::size_t bytes);

private:
    std::filesystem::path dir_;
    bool mounted_ = false;
};

}  // namespace qorvane::testing
