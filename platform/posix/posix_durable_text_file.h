#pragma once
// DurableTextFile on a local file: appends with O_APPEND and fdatasync,
// replacement through a temporary file, fsync and rename. The folder is made
// on the first write.

#include <filesystem>

#include "platform/durable_text_file.h"

namespace qorvane {

class PosixDurableTextFile final : public DurableTextFile {
public:
    explicit PosixDurableTextFile(std::filesystem::path file) : file_(std::move(file)) {}
    std::string load() override;
    bool append(std::string_view lines) override;
    bool replace(std::string_view text) override;
    const std::filesystem::path& path() const { return file_; }

private:
    std::filesystem::path file_;
};

}  // namespace qorvane
