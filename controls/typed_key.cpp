#include "controls/typed_key.h"

#include <QKeyEvent>

namespace qorvane {

std::optional<char32_t> TypedCharacter(const QKeyEvent& key) {
    if (key.modifiers() & (Qt::ControlModifier | Qt::AltModifier | Qt::MetaModifier)) return std::nullopt;
    const QString text = key.text();
    if (text.isEmpty()) return std::nullopt;
    const char32_t typed = text.toUcs4().value(0);
    const bool control = typed < 0x20 || (typed >= 0x7F && typed < 0xA0);
    if (control) return std::nullopt;
    return typed;
}

}  // namespace qorvane
