#include "profiles/clean_profile_name.h"

namespace qorvane {

namespace {

bool IsRefusedByte(unsigned char byte) {
    if (byte < 0x20) return true;
    switch (byte) {
        case '"': case '*': case ',': case '/': case ':': case ';':
        case '<': case '>': case '?': case '\\': case '|':
            return true;
        default:
            return false;
    }
}

bool IsFullWidthSpace(std::string_view character, const CodePage& codePage) {
    return codePage.toUtf16(character) == u"\u3000";
}

}  // namespace

std::string CleanProfileName(std::string_view typed, const CodePage& codePage) {
    std::string name;
    std::size_t pos = 0;
    while (pos < typed.size()) {
        const auto byte = static_cast<unsigned char>(typed[pos]);
        const std::size_t length = codePage.charLength(typed, pos);
        if (length > 1) {
            if (pos + length > typed.size()) break;  // cut inside the character
            if (name.size() + length > kMaxProfileNameBytes) break;
            const std::string_view character = typed.substr(pos, length);
            if (!(name.empty() && IsFullWidthSpace(character, codePage))) name.append(character);
        } else if (IsRefusedByte(byte)) {
            if (!name.empty()) {
                if (name.size() >= kMaxProfileNameBytes) break;
                name.push_back(' ');
            }
        } else {
            if (name.size() >= kMaxProfileNameBytes) break;
            // A name that began with a dot would be a hidden file, never
            // listed again.
            if (!(name.empty() && (byte == ' ' || byte == '.'))) name.push_back(static_cast<char>(byte));
        }
        pos += length;
    }
    return name;
}

}  // namespace qorvane
