#pragma once
// Read access to the system registry, where an encoder installation records
// itself (key path with backslashes, e.g. "software\Microsoft\...").

#include <optional>
#include <string>
#include <string_view>

namespace qorvane {

class Registry {
public:
    virtual ~Registry() = default;
    // A string value of a key; nothing when the key or the value is missing
    // or cannot be read.
    virtual std::optional<std::string> readString(std::string_view keyPath,
                                                  std::string_view valueName) const = 0;
};

}  // namespace qorvane
