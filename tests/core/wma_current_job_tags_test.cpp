#include <gtest/gtest.h>

#include <array>
#include <string>

#include "tags/current_job_tags.h"

namespace qorvane {
namespace {

std::u16string Text(std::span<const char16_t> buffer) {
    return std::u16string(buffer.data(), WideLength(buffer));
}

TEST(TextToWide, ConvertsSystemTextIncludingJapanese) {
    std::array<char16_t, kTagTextCapacity> buffer{};
    TextToWide("夜明けの歌 (Live)", buffer);
    EXPECT_EQ(Text(buffer), u"夜明けの歌 (Live)");

    TextToWide("", buffer);
    EXPECT_EQ(buffer[0], u'\0');

    // Ill-formed bytes must not end up as half a character.
    TextToWide("a\xff" "b", buffer);
    EXPECT_EQ(Text(buffer), u"a\uFFFDb");
}

TEST(TextToWide, KeepsAtMostCapacityLessOneUnitsAndTerminates) {
    std::array<char16_t, kTagTextCapacity> buffer;
    buffer.fill(u'x');
    TextToWide(std::string(300, 'a'), buffer);
    EXPECT_EQ(WideLength(buffer), 250u);
    EXPECT_EQ(buffer[250], u'\0');

    std::array<char16_t, kTagYearCapacity> year{};
    TextToWide("20231", year);
    EXPECT_EQ(Text(year), u"2023");

    // Japanese text counts in UTF-16 units, not in bytes.
    std::string kana;
    for (int i = 0; i < 200; ++i) kana += "あ";
    TextToWide(std::string(100, 'a') + kana, buffer);
    EXPECT_EQ(WideLength(buffer), 250u);
    EXPECT_EQ(buffer[249], u'あ');
}

TEST(TextToWide, NeverSplitsASurrogatePair) {
    const std::string emoji = "\xF0\x9F\x98\x80";  // U+1F600, two UTF-16 units
    std::array<char16_t, kTagTextCapacity> buffer{};

    TextToWide(std::string(249, 'a') + emoji, buffer);
    EXPECT_EQ(WideLength(buffer), 249u) << "the pair would need units 250 and 251";

    TextToWide(std::string(248, 'a') + emoji, buffer);
    ASSERT_EQ(WideLength(buffer), 250u);
    EXPECT_EQ(buffer[248], 0xD83D);
    EXPECT_EQ(buffer[249], 0xDE00);

    std::array<char16_t, kTagYearCapacity> year{};
    TextToWide("199" + emoji, year);
    EXPECT_EQ(Text(year), u"199");
}

TEST(WideLength, StopsAtTheFirstNulOrTheEndOfTheBuffer) {
    const std::array<char16_t, 4> terminated{u'a', u'\0', u'b', u'\0'};
    EXPECT_EQ(WideLength(terminated), 1u);
    const std::array<char16_t, 3> unterminated{u'a', u'b', u'c'};
    EXPECT_EQ(WideLength(unterminated), 3u);
}

TEST(MakeCurrentJobTags, FillsEachBufferFromItsOwnText) {
    const CurrentJobTags tags =
        MakeCurrentJobTags("題名", "歌手", "アルバム", "(C) 2024", "2024-05-01");
    EXPECT_EQ(Text(tags.Title), u"題名");
    EXPECT_EQ(Text(tags.Artist), u"歌手");
    EXPECT_EQ(Text(tags.Album), u"アルバム");
    EXPECT_EQ(Text(tags.Copyright), u"(C) 2024");
    EXPECT_EQ(Text(tags.Year), u"2024");

    const CurrentJobTags empty = MakeCurrentJobTags("", "", "", "", "");
    EXPECT_EQ(empty.Title[0], u'\0');
    EXPECT_EQ(empty.Year[0], u'\0');
}

}  // namespace
}  // namespace qorvane
