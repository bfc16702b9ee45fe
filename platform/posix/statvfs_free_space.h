#pragma once
// Free space through statvfs, file systems told apart by their device.

#include "platform/free_space.h"

namespace qorvane {

class StatvfsFreeSpace final : public FreeSpace {
public:
    std::optional<Space> space(const std::filesystem::path& folder) const override;
};

}  // namespace qorvane
