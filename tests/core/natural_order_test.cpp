#include "base/natural_order.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <random>

namespace qorvane {
namespace {

// Every pair of the expected order compares as it should, both ways, so
// the order is one a sort can rely on.
void ExpectOrder(const std::vector<std::string>& expected) {
    for (std::size_t i = 0; i < expected.size(); ++i) {
        EXPECT_EQ(NaturalCompare(expected[i], expected[i]), 0) << expected[i];
        for (std::size_t j = i + 1; j < expected.size(); ++j) {
            EXPECT_LT(NaturalCompare(expected[i], expected[j]), 0) << expected[i] << " / " << expected[j];
            EXPECT_GT(NaturalCompare(expected[j], expected[i]), 0) << expected[j] << " / " << expected[i];
        }
    }
    std::vector<std::string> shuffled = expected;
    std::shuffle(shuffled.begin(), shuffled.end(), std::mt19937(7));
    SortNaturally(shuffled);
    EXPECT_EQ(shuffled, expected);
}

TEST(NaturalOrder, RunsOfDigitsCompareAsNumbers) {
    ExpectOrder({"Track 1.mp3", "Track 2.mp3", "Track 9.mp3", "Track 10.mp3", "Track 10b.mp3", "Track 100.mp3"});
    ExpectOrder({"a1b2", "a1b10", "a2b1", "a10"});
    // Numbers longer than any integer type still compare by value.
    ExpectOrder({"99999999999999999999999", "100000000000000000000000"});
}

TEST(NaturalOrder, LettersWithoutCaseThenLeadingZerosAndCaseDecideTies) {
    ExpectOrder({"alpha", "Beta", "gamma"});
    ExpectOrder({"disc", "Disc", "DISC"});
    ExpectOrder({"2.flac", "02.flac", "002.flac", "3.flac"});
}

TEST(NaturalOrder, JapaneseNamesByCodePointWithTheirNumbers) {
    // Hiragana before katakana before kanji, by code point; full-width
    // digits count as numbers like ASCII ones, and among them.
    ExpectOrder({"あ", "ア", "亜"});
    ExpectOrder({"第2話.mp4", "第１０話.mp4", "第11話.mp4"});
    ExpectOrder({"１", "1", "2", "10", "A", "a0"});
    ExpectOrder({"トラック 9.flac", "トラック 10.flac", "トラック１１.flac"});
}

}  // namespace
}  // namespace qorvane
