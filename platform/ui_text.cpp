#include "platform/ui_text.h"

#include <atomic>

namespace qorvane {

namespace {

std::atomic<UiTextTranslation> gTranslation{nullptr};

}  // namespace

void SetUiTextTranslation(UiTextTranslation translation) { gTranslation.store(translation); }

std::string UiText(std::string_view source, std::initializer_list<std::string_view> arguments) {
    const UiTextTranslation translation = gTranslation.load();
    const std::string text = translation ? translation(std::string(source)) : std::string(source);
    if (arguments.size() == 0) return text;
    std::string filled;
    filled.reserve(text.size());
    for (std::size_t i = 0; i < text.size(); ++i) {
        const char digit = i + 1 < text.size() && text[i] == '%' ? text[i + 1] : '\0';
        const std::size_t n = digit >= '1' && digit <= '9' ? static_cast<std::size_t>(digit - '1') : arguments.size();
        if (n < arguments.size()) {
            filled += arguments.begin()[n];
            ++i;
        } else {
            filled += text[i];
        }
    }
    return filled;
}

}  // namespace qorvane
