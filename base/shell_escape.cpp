#include "base/shell_escape.h"

#include <cstdio>

#include "base/text_codec.h"

namespace qorvane {

namespace {

// A well-formed sequence that prints as it is: no C0 or C1 control, no DEL,
// and not one of the two Unicode line and paragraph separators.
bool Printable(std::string_view sequence) {
    const auto byte = [&](std::size_t i) { return static_cast<unsigned char>(sequence[i]); };
    if (sequence.size() == 1) return byte(0) >= 0x20 && byte(0) != 0x7F;
    if (sequence.size() == 2) return !(byte(0) == 0xC2 && byte(1) < 0xA0);  // U+0080..U+009F
    return !(sequence.size() == 3 && byte(0) == 0xE2 && byte(1) == 0x80 && (byte(2) == 0xA8 || byte(2) == 0xA9));
}

// The length of the sequence at `pos` and whether it prints as it is (an
// ill-formed byte is a sequence of one that does not).
std::size_t NextSequence(std::string_view text, std::size_t pos, bool& printable) {
    const std::size_t length = Utf8SequenceLength(text, pos);
    const auto lead = static_cast<unsigned char>(text[pos]);
    const bool wellFormed = length > 1 || lead < 0x80;
    printable = wellFormed && Printable(text.substr(pos, length));
    return length;
}

void AppendEscaped(std::string& out, unsigned char byte) {
    switch (byte) {
        case '\a': out += "\\a"; return;
        case '\b': out += "\\b"; return;
        case '\t': out += "\\t"; return;
        case '\n': out += "\\n"; return;
        case '\v': out += "\\v"; return;
        case '\f': out += "\\f"; return;
        case '\r': out += "\\r"; return;
        default: break;
    }
    char octal[5];
    std::snprintf(octal, sizeof octal, "\\%03o", byte);
    out += octal;
}

}  // namespace

std::string ShellEscapeIfUnsafe(std::string_view text) {
    bool safe = true;
    for (std::size_t pos = 0; pos < text.size() && safe;) pos += NextSequence(text, pos, safe);
    if (safe) return std::string(text);

    std::string out = "'";
    bool quoted = true;  // inside '...'
    for (std::size_t pos = 0; pos < text.size();) {
        bool printable = false;
        const std::size_t length = NextSequence(text, pos, printable);
        if (printable) {
            if (!quoted) out += '\'';
            quoted = true;
            if (text[pos] == '\'') {
                out += "'\\''";
            } else {
                out.append(text.substr(pos, length));
            }
        } else {
            // A run of such bytes shares one $'...'.
            if (quoted) out += "'$'";
            else out.pop_back();  // reopen the $'...' just closed
            for (std::size_t i = 0; i < length; ++i) AppendEscaped(out, static_cast<unsigned char>(text[pos + i]));
            out += '\'';
            quoted = false;
        }
        pos += length;
    }
    if (quoted) out += '\'';
    return out;
}

}  // namespace qorvane
