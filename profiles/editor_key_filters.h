#pragma once
// The characters the profile editor's number fields accept as they are
// typed. Backspace always passes; every other character outside a field's
// set, control characters included, is discarded.

namespace qorvane {

enum class EditorKeyFilter {
    Digits,      // peaks, key-frame distance, custom width and height
    BitRates,    // video bit rates: digits and the comma between several
    FrameRate,   // digits and the full stop ("29.97")
};

bool IsKeyAccepted(EditorKeyFilter filter, char32_t typed);

}  // namespace qorvane
