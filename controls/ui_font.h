#pragma once
// The font of the program's windows: "MS UI Gothic", 12 pixels, Japanese.
// Where that face is not installed, Noto Sans CJK JP stands in for it.

#include <QFont>

namespace qorvane {

QFont JapaneseUiFont();

}  // namespace qorvane
