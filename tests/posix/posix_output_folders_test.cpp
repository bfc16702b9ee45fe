#include "platform/posix/posix_output_folders.h"

#include <gtest/gtest.h>
#include <sys/mount.h>
#include <unistd.h>

#include <filesystem>

#include "support/temp_dir.h"

namespace qorvane {
namespace {

namespace fs = std::filesystem;
using testing::TempDir;

// A folder shown under a second name for as long as the object lives.
class BindMount {
public:
    BindMount(const fs::path& folder, fs::path alias) : alias_(std::move(alias)) {
        fs::create_directories(alias_);
        mounted_ = ::mount(folder.c_str(), alias_.c_str(), nullptr, MS_BIND, nullptr) == 0;
    }
    ~BindMount() {
        if (mounted_) ::umount2(alias_.c_str(), MNT_DETACH);
    }
    BindMount(const BindMount&) = delete;
    BindMount& operator=(const BindMount&) = delete;
    bool mounted() const { return mounted_; }

private:
    fs::path alias_;
    bool mounted_ = false;
};

// Two paths of one folder (a bind mount, a link) give one identity; a folder
// not made yet gives none; this disk's folders tell letter case apart.
TEST(PosixOutputFolders, AFolderIsKnownByIdentityWhateverPathNamesIt) {
    if (::geteuid() != 0) GTEST_SKIP() << "a bind mount needs root; the batch's fake covers the rule";
    const TempDir dir;
    fs::create_directories(dir / "media");
    fs::create_directories(dir / "other");
    fs::create_directory_symlink(dir / "media", dir / "link");
    const BindMount alias(dir / "media", dir / "alias");
    ASSERT_TRUE(alias.mounted());

    const PosixOutputFolders folders;
    const auto media = folders.facts(dir / "media");
    ASSERT_TRUE(media);
    EXPECT_FALSE(media->ignoresCase);
    for (const char* name : {"alias", "link"}) {
        const auto same = folders.facts(dir / name);
        ASSERT_TRUE(same) << name;
        EXPECT_EQ(same->device, media->device) << name;
        EXPECT_EQ(same->inode, media->inode) << name;
    }
    const auto other = folders.facts(dir / "other");
    ASSERT_TRUE(other);
    EXPECT_NE(other->inode, media->inode);
    EXPECT_FALSE(folders.facts(dir / "not yet"));
    EXPECT_FALSE(folders.facts(dir.write("file.wma", "x")));
}

}  // namespace
}  // namespace qorvane
