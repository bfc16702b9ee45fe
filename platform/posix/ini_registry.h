#pragma once
// The registry on Linux: one INI file whose section names are key paths
// ("software\Microsoft\Windows Media\Encoder") and whose keys are the values.
// Where it lives: $QORVANE_REGISTRY when set, else
// $XDG_CONFIG_HOME/qorvane/registry.ini (~/.config/qorvane/registry.ini).
// A value in double quotes is read without them, so that it may begin or end
// with blanks.

#include <filesystem>

#include "platform/registry.h"

namespace qorvane {

class IniRegistry final : public Registry {
public:
    explicit IniRegistry(std::filesystem::path file) : file_(std::move(file)) {}

    // The file named by the environment as described above; empty when no
    // location is known.
    static std::filesystem::path DefaultLocation();

    std::optional<std::string> readString(std::string_view keyPath,
                                          std::string_view valueName) const override;

    const std::filesystem::path& file() const { return file_; }

private:
    std::filesystem::path file_;
};

}  // namespace qorvane
