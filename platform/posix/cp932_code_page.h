#pragma once
// CP932 (Japanese Windows, Shift-JIS with Microsoft's extensions) over iconv.

#include "platform/code_page.h"

namespace qorvane {

class Cp932CodePage final : public CodePage {
public:
    bool isLeadByte(unsigned char byte) const override;
    std::size_t charLength(std::string_view text, std::size_t pos) const override;
    bool isValid(std::string_view text) const override;
    std::u16string toUtf16(std::string_view text) const override;
    std::string fromUtf16(std::u16string_view text) const override;
};

}  // namespace qorvane
