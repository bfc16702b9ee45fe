#include "base/natural_order.h"

#include <algorithm>

#include "base/ascii_case.h"

namespace qorvane {

namespace {

// The value of a digit at `i` and its length in bytes: ASCII digits, and the
// full-width ones (U+FF10 to U+FF19) that Japanese names often carry.
struct Digit {
    int value = -1;
    std::size_t length = 0;
};

Digit DigitAt(std::string_view s, std::size_t i) {
    const auto c = static_cast<unsigned char>(s[i]);
    if (c >= '0' && c <= '9') return {c - '0', 1};
    if (c == 0xEF && i + 2 < s.size() && static_cast<unsigned char>(s[i + 1]) == 0xBC) {
        const auto last = static_cast<unsigned char>(s[i + 2]);
        if (last >= 0x90 && last <= 0x99) return {last - 0x90, 3};
    }
    return {};
}

// A run of digits from `i`: its digits' values, and where it ends.
std::string DigitRun(std::string_view s, std::size_t& i) {
    std::string digits;
    for (Digit d = DigitAt(s, i); d.value >= 0; d = i < s.size() ? DigitAt(s, i) : Digit{}) {
        digits += static_cast<char>('0' + d.value);
        i += d.length;
    }
    return digits;
}

}  // namespace

int NaturalCompare(std::string_view a, std::string_view b) {
    std::size_t i = 0;
    std::size_t j = 0;
    int zeros = 0;  // leading zeros decide only when all else is equal
    while (i < a.size() && j < b.size()) {
        if (DigitAt(a, i).value >= 0 && DigitAt(b, j).value >= 0) {
            const std::string x = DigitRun(a, i);
            const std::string y = DigitRun(b, j);
            const std::string_view xs = std::string_view(x).substr(std::min(x.find_first_not_of('0'), x.size()));
            const std::string_view ys = std::string_view(y).substr(std::min(y.find_first_not_of('0'), y.size()));
            if (xs.size() != ys.size()) return xs.size() < ys.size() ? -1 : 1;
            if (const int c = xs.compare(ys); c != 0) return c;
            if (zeros == 0 && x.size() != y.size()) zeros = x.size() < y.size() ? -1 : 1;
            continue;
        }
        // A digit facing anything else counts as its ASCII form, so that
        // every run of digits sorts among the ASCII digits, full-width or not.
        const auto x = static_cast<unsigned char>(LowerAscii(a[i]));
        const auto y = static_cast<unsigned char>(LowerAscii(b[j]));
        const Digit dx = DigitAt(a, i);
        const Digit dy = DigitAt(b, j);
        const int cx = dx.value >= 0 ? '0' + dx.value : x;
        const int cy = dy.value >= 0 ? '0' + dy.value : y;
        if (cx != cy) return cx < cy ? -1 : 1;
        ++i;
        ++j;
    }
    if (i < a.size() || j < b.size()) return i < a.size() ? 1 : -1;
    if (zeros != 0) return zeros;
    // Equal but for letter case: lower case first, as the byte order puts it after.
    const int c = a.compare(b);
    return c == 0 ? 0 : c < 0 ? 1 : -1;
}

void SortNaturally(std::vector<std::string>& names) { std::sort(names.begin(), names.end(), NaturalLess); }

}  // namespace qorvane
