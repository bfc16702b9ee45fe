#pragma once
// What a character filter of an edit field looks at. Only a typed (printable)
// character is filtered; control keys (Tab, Backtab, Enter, Esc, Backspace,
// Delete, the arrows) and shortcuts pass every filtered field untouched.

#include <optional>

class QKeyEvent;

namespace qorvane {

// The character this key press types, or nothing for a control key or a
// shortcut (Ctrl, Alt or Meta held).
std::optional<char32_t> TypedCharacter(const QKeyEvent& key);

}  // namespace qorvane
