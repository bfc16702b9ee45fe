#pragma once
// The registry on Linux: INI files whose section names are key paths
// ("software\Microsoft\Windows Media\Encoder") and whose keys are the values.
// A value in double quotes is read without them, so that it may begin or end
// with blanks.
//
// Several files make one registry, the first that holds a key answering for
// all of its values: the per-user file overrides a machine-wide one, as a
// whole key (a user's key without "Version" is not completed from the
// machine's).

#include <filesystem>
#include <vector>

#include "platform/registry.h"

namespace qorvane {

class IniRegistry final : public Registry {
public:
    explicit IniRegistry(std::vector<std::filesystem::path> files) : files_(std::move(files)) {}
    explicit IniRegistry(std::filesystem::path file) : IniRegistry(std::vector{std::move(file)}) {}

    // The files, first first: $QORVANE_REGISTRY alone when it is set; else
    // the user's $XDG_CONFIG_HOME/qorvane/registry.ini, then
    // qorvane/registry.ini in each of $XDG_CONFIG_DIRS (/etc/xdg when unset),
    // then the one in installConfigDir (the install's own system
    // configuration folder; empty for a portable program).
    static std::vector<std::filesystem::path> DefaultLocations(const std::filesystem::path& installConfigDir);

    std::optional<std::string> readString(std::string_view keyPath,
                                          std::string_view valueName) const override;

    const std::vector<std::filesystem::path>& files() const { return files_; }

private:
    std::vector<std::filesystem::path> files_;
};

}  // namespace qorvane
