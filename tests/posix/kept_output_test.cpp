#include "platform/posix/kept_output.h"

#include <gtest/gtest.h>

#include <initializer_list>

namespace qorvane {
namespace {

std::string Kept(std::size_t head, std::size_t tail, std::initializer_list<std::string_view> pieces) {
    KeptOutput kept(head, tail);
    for (const auto piece : pieces) kept.add(piece);
    return kept.text();
}

TEST(KeptOutput, OutputWithinTheLimitsIsKeptWhole) {
    EXPECT_EQ(Kept(0, 8, {"one\n", "two\n"}), "one\ntwo\n");
    EXPECT_EQ(Kept(0, 100, {"no line break"}), "no line break\n");
    EXPECT_EQ(Kept(0, 100, {}), "");
    EXPECT_EQ(Kept(4, 5, {"ab", "cdefgh\n"}), "abcdefgh\n");  // head and tail meet
}

TEST(KeptOutput, LongOutputKeepsItsLastWholeLines) {
    // The cut falls on a line start: that line is kept.
    EXPECT_EQ(Kept(0, 10, {"aaaa\nbbbb\ncccc\n"}), "[... 5 bytes of earlier output left out ...]\nbbbb\ncccc\n");
    // The cut falls inside a line: the rest of that line goes too.
    EXPECT_EQ(Kept(0, 8, {"aaaa\nbbbb\ncccc\n"}), "[... 10 bytes of earlier output left out ...]\ncccc\n");
    // One line longer than the limit: its end is kept.
    EXPECT_EQ(Kept(0, 4, {"0123456789"}), "[... 6 bytes of earlier output left out ...]\n6789\n");
    // Progress lines ending in a carriage return are one long line.
    EXPECT_EQ(Kept(0, 9, {"x\n1%\r2%\r3%\r"}), "[... 2 bytes of earlier output left out ...]\n1%\r2%\r3%\r\n");
}

TEST(KeptOutput, TheTailComesOutTheSameHoweverTheBytesArrive) {
    std::string all;
    for (int line = 1; line <= 500; ++line) all += "line " + std::to_string(line) + "\n";
    const std::string whole = Kept(0, 40, {all});
    EXPECT_EQ(whole, "[... " + std::to_string(all.size() - 36) +
                         " bytes of earlier output left out ...]\nline 497\nline 498\nline 499\nline 500\n");
    for (const std::size_t step : {1u, 7u, 100u}) {
        KeptOutput kept(0, 40);
        for (std::size_t at = 0; at < all.size(); at += step) kept.add(std::string_view(all).substr(at, step));
        EXPECT_EQ(kept.text(), whole) << "in pieces of " << step;
    }
}

TEST(KeptOutput, WithAHeadOnlyTheMiddleIsLeftOut) {
    EXPECT_EQ(Kept(5, 5, {"head\nmiddle\ntail\n"}), "head\n[... 7 bytes of output left out ...]\ntail\n");
    // A head cut inside a line still ends its line before the note.
    EXPECT_EQ(Kept(3, 5, {"he", "ad\nmiddle\n", "tail\n"}), "hea\n[... 9 bytes of output left out ...]\ntail\n");
}

}  // namespace
}  // namespace qorvane
