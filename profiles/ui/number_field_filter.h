#pragma once
// The character filters of the profile editor's number fields, attached to
// Qt edit fields: a typed character outside the field's set never reaches
// the field; editing keys (backspace, arrows, Enter, Esc, Tab) and shortcuts
// pass, and pasted text is held to the same set.

#include "profiles/editor_key_filters.h"

class QLineEdit;

namespace qorvane {

// Also switches the input method off, as a number field wants.
void InstallNumberFilter(QLineEdit* edit, EditorKeyFilter filter);

}  // namespace qorvane
