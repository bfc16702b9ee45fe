#include "profiles/editor_key_filters.h"

namespace qorvane {

bool IsKeyAccepted(EditorKeyFilter filter, char32_t typed) {
    constexpr char32_t kBackspace = 8;
    if (typed == kBackspace || (typed >= U'0' && typed <= U'9')) return true;
    switch (filter) {
        case EditorKeyFilter::Digits: return false;
        case EditorKeyFilter::BitRates: return typed == U',';
        case EditorKeyFilter::FrameRate: return typed == U'.';
    }
    return false;
}

}  // namespace qorvane
