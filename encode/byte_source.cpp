#include "encode/byte_source.h"

#include <algorithm>

namespace qorvane {

std::string ByteSource::Read(std::uint64_t offset, std::size_t length) const {
    const std::uint64_t total = size();
    if (offset >= total) return {};
    return ReadInside(offset, static_cast<std::size_t>(std::min<std::uint64_t>(length, total - offset)));
}

std::string MemoryBytes::ReadInside(std::uint64_t offset, std::size_t length) const {
    return std::string(bytes_.substr(static_cast<std::size_t>(offset), length));
}

FileBytes::FileBytes(const std::filesystem::path& path) : file_(path, std::ios::binary) {
    if (!file_.seekg(0, std::ios::end)) return;
    const std::streamoff end = file_.tellg();
    if (end > 0) size_ = static_cast<std::uint64_t>(end);
}

std::string FileBytes::ReadInside(std::uint64_t offset, std::size_t length) const {
    std::string bytes(length, '\0');
    file_.clear();
    if (!file_.seekg(static_cast<std::streamoff>(offset))) return {};
    file_.read(bytes.data(), static_cast<std::streamsize>(length));
    bytes.resize(static_cast<std::size_t>(std::max<std::streamsize>(file_.gcount(), 0)));
    return bytes;
}

}  // namespace qorvane
