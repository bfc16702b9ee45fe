#include "base/ascii_case.h"

#include <algorithm>

namespace qorvane {

char LowerAscii(char c) { return (c >= 'A' && c <= 'Z') ? static_cast<char>(c - 'A' + 'a') : c; }

std::string LowerAscii(std::string_view text) {
    std::string out(text);
    for (char& c : out) c = LowerAscii(c);
    return out;
}

bool EqualsIgnoringAsciiCase(std::string_view a, std::string_view b) {
    return a.size() == b.size() &&
           std::equal(a.begin(), a.end(), b.begin(), [](char x, char y) { return LowerAscii(x) == LowerAscii(y); });
}

std::string LowerExtension(const std::filesystem::path& file) {
    const std::string name = file.filename().string();
    const auto dot = name.rfind('.');
    return dot == std::string::npos ? std::string() : LowerAscii(std::string_view(name).substr(dot));
}

std::string NameWithoutExtension(const std::filesystem::path& file) {
    const std::string name = file.filename().string();
    return name.substr(0, name.rfind('.'));
}

}  // namespace qorvane
