#pragma once
// The files that exist only while the encoder works, and how the finished
// ASF file gets its name.
//
// ffmpeg writes into an unnamed file in the output's folder (O_TMPFILE),
// which it reaches through an inherited descriptor as /proc/self/fd/3; the
// file system drops it by itself however the run ends. Only a complete file
// is linked to the output name; an earlier file of that name is replaced in
// one step, by a rename from the short name ".qorvane-cscript-PID.part". Where
// the folder takes no unnamed files, ffmpeg writes under that short name
// itself. The two-pass statistics go by name into a private folder
// "qorvane-cscript-PID-XXXXXX" in the temporary folder.
//
// Named things that a killed run could not remove carry its process id, and
// RemoveStaleLeftovers() deletes those whose process is gone.

#include <sys/types.h>

#include <cstdint>
#include <filesystem>
#include <string>
#include <system_error>

namespace qorvane::encoder {

class WorkFiles {
public:
    explicit WorkFiles(const std::filesystem::path& output);
    ~WorkFiles() { Discard(); }
    WorkFiles(const WorkFiles&) = delete;
    WorkFiles& operator=(const WorkFiles&) = delete;

    // Creates the file ffmpeg writes to.
    bool Open(std::error_code& ec);

    // The name ffmpeg writes to, and the descriptor it must inherit as
    // descriptor 3 (-1: none).
    const std::string& ffmpegOutput() const { return ffmpegOutput_; }
    int sharedDescriptor() const { return unnamed_ ? fd_ : -1; }

    // A private directory for ffmpeg's pass statistics; empty on failure.
    std::string PassLogPrefix();

    std::uintmax_t WrittenSize() const;

    // Gives the written file the output's name.
    bool Commit(std::error_code& ec);

    // Drops everything made so far.
    void Discard();

private:
    std::filesystem::path output_;
    std::filesystem::path shortName_;
    std::filesystem::path passDir_;
    std::string ffmpegOutput_;
    int fd_ = -1;
    bool unnamed_ = false;
    bool shortNameExists_ = false;
    mode_t mode_ = 0;
    bool modeLacksOwnerWrite_ = false;
};

// Removes the leftovers of runs whose process is gone: short-named files in
// `outputDir`, pass-statistics folders in `tempDir`.
void RemoveStaleLeftovers(const std::filesystem::path& outputDir, const std::filesystem::path& tempDir);

// The folder the output lands in.
std::filesystem::path OutputDirectory(const std::filesystem::path& output);

}  // namespace qorvane::encoder
