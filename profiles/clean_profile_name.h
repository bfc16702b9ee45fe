#pragma once
// Turning a name typed for "save as" into a profile file name.

#include <cstddef>
#include <string>
#include <string_view>

#include "platform/code_page.h"

namespace qorvane {

// Longest profile name, in bytes of the code page.
inline constexpr std::size_t kMaxProfileNameBytes = 120;

// Walks the typed text from its start: leading blanks (the half-width space
// and the full-width space U+3000), leading dots (a hidden file would not be
// listed again) and leading control or forbidden characters vanish; a control character or one of  " * , / : ; < > ? \ |
// inside the name becomes one space; trailing spaces stay. The result is cut
// at kMaxProfileNameBytes without splitting a multi-byte character, and a
// character cut off by the end of the text ends the walk. Comma and
// semicolon are refused besides what file names cannot hold. Empty when
// nothing is left.
std::string CleanProfileName(std::string_view typed, const CodePage& codePage);

}  // namespace qorvane
