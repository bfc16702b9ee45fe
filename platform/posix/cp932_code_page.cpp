#include "platform/posix/cp932_code_page.h"

#include <iconv.h>

#include <cerrno>
#include <stdexcept>
#include <vector>

#include "base/text_codec.h"

namespace qorvane {

namespace {

// One iconv conversion descriptor for the length of one call.
class Converter {
public:
    Converter(const char* to, const char* from) : cd_(iconv_open(to, from)) {
        if (cd_ == reinterpret_cast<iconv_t>(-1)) {
            throw std::runtime_error(std::string("iconv cannot convert ") + from + " to " + to);
        }
    }
    ~Converter() { iconv_close(cd_); }
    Converter(const Converter&) = delete;
    Converter& operator=(const Converter&) = delete;

    // Converts as much as it can. On an invalid or incomplete sequence it
    // stops and reports how many input bytes were consumed.
    bool convert(const char*& in, std::size_t& inLeft, std::string& out) {
        std::vector<char> buffer(inLeft * 4 + 16);
        char* inPtr = const_cast<char*>(in);
        char* outPtr = buffer.data();
        std::size_t outLeft = buffer.size();
        const std::size_t rc = iconv(cd_, &inPtr, &inLeft, &outPtr, &outLeft);
        out.append(buffer.data(), buffer.size() - outLeft);
        in = inPtr;
        return rc != static_cast<std::size_t>(-1);
    }

private:
    iconv_t cd_;
};

std::u16string FromUtf16LeBytes(const std::string& bytes) {
    std::u16string out;
    out.reserve(bytes.size() / 2);
    for (std::size_t i = 0; i + 1 < bytes.size(); i += 2) {
        out += static_cast<char16_t>(static_cast<unsigned char>(bytes[i]) |
                                     (static_cast<unsigned char>(bytes[i + 1]) << 8));
    }
    return out;
}

}  // namespace

bool Cp932CodePage::isLeadByte(unsigned char byte) const {
    return (byte >= 0x81 && byte <= 0x9F) || (byte >= 0xE0 && byte <= 0xFC);
}

std::size_t Cp932CodePage::charLength(std::string_view text, std::size_t pos) const {
    return isLeadByte(static_cast<unsigned char>(text[pos])) ? 2 : 1;
}

bool Cp932CodePage::isValid(std::string_view text) const {
    Converter cd("UTF-16LE", "CP932");
    const char* in = text.data();
    std::size_t left = text.size();
    std::string out;
    return cd.convert(in, left, out) && left == 0;
}

std::u16string Cp932CodePage::toUtf16(std::string_view text) const {
    Converter cd("UTF-16LE", "CP932");
    const char* in = text.data();
    std::size_t left = text.size();
    std::string bytes;
    while (left > 0) {
        if (cd.convert(in, left, bytes)) break;
        // An invalid or cut character: one replacement character, skip a byte.
        bytes += "\xFD\xFF";
        ++in;
        --left;
    }
    return FromUtf16LeBytes(bytes);
}

std::string Cp932CodePage::fromUtf16(std::u16string_view text) const {
    Converter cd("CP932", "UTF-16LE");
    std::string out;
    // Convert one code point at a time so that a character CP932 lacks
    // becomes '?' and the rest still converts.
    for (std::size_t i = 0; i < text.size(); ++i) {
        std::string unit;
        auto put = [&unit](char16_t u) {
            unit += static_cast<char>(u & 0xFF);
            unit += static_cast<char>(u >> 8);
        };
        put(text[i]);
        if (text[i] >= 0xD800 && text[i] <= 0xDBFF && i + 1 < text.size()) put(text[++i]);
        const char* in = unit.data();
        std::size_t left = unit.size();
        std::string piece;
        if (cd.convert(in, left, piece) && left == 0) {
            out += piece;
        } else {
            out += '?';
        }
    }
    return out;
}

}  // namespace qorvane
