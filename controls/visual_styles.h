#pragma once
// Whether the controls draw the "visual styles" look or the classic one. On
// Windows that is the theme library's word; here a widget style other than
// the classic "Windows" style counts as a visual style.

class QStyle;

namespace qorvane {

bool VisualStylesActive(const QStyle* style);

}  // namespace qorvane
