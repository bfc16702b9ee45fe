#pragma once
// Letter case as the file system and the INI files of the program compare
// it: ASCII letters only, so that multi-byte text is never altered.

#include <filesystem>
#include <string>
#include <string_view>

namespace qorvane {

char LowerAscii(char c);
std::string LowerAscii(std::string_view text);
bool EqualsIgnoringAsciiCase(std::string_view a, std::string_view b);

// The extension of the file name, from its last dot on, in lower case;
// empty when the name has no dot. (Unlike path::extension(), ".mp3" has one.)
std::string LowerExtension(const std::filesystem::path& file);

// The file name without its last extension ("a.b.avi" gives "a.b").
std::string NameWithoutExtension(const std::filesystem::path& file);

}  // namespace qorvane
