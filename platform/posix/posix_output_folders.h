#pragma once
// Output folders as the kernel knows them: the device and inode of stat(),
// and letter case ignored on the file systems of Windows (by statfs) and in
// a folder with the casefold attribute.

#include "platform/output_folders.h"

namespace qorvane {

class PosixOutputFolders final : public OutputFolders {
public:
    std::optional<Facts> facts(const std::filesystem::path& folder) const override;
};

}  // namespace qorvane
