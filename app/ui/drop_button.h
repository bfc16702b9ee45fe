#pragma once
// The narrow "v" button at the right edge of an edit field that opens a
// picker for it.

class QLineEdit;
class QToolButton;
class QWidget;

namespace qorvane {

// A drop button, 15 pixels wide, for a layout to place.
QToolButton* NewDropButton(QWidget* parent);

// A drop button placed beside an edit of a form without layout: same
// parent, overlapping the edit's right border by one pixel, as high as the
// edit. Place the edit first.
QToolButton* AttachDropButton(QLineEdit* edit);

}  // namespace qorvane
