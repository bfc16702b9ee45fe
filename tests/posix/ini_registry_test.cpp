#include "platform/posix/ini_registry.h"

#include <gtest/gtest.h>

#include "support/temp_dir.h"

namespace qorvane {
namespace {

using testing::TempDir;

constexpr const char* kKey = "software\\Microsoft\\Windows Media\\Encoder";

TEST(IniRegistry, ReadsValuesOfAKeyPathSection) {
    TempDir dir;
    const IniRegistry registry(dir.write("registry.ini",
                                         "[Software\\Microsoft\\Windows Media\\Encoder]\r\n"
                                         "InstallDir=/opt/enc/\r\nVersion=\" 9.0\"\r\nEmpty=\r\n"));
    EXPECT_EQ(registry.readString(kKey, "installdir"), "/opt/enc/");
    EXPECT_EQ(registry.readString(kKey, "Version"), " 9.0");  // quotes keep the blank
    EXPECT_EQ(registry.readString(kKey, "Empty"), "");
    EXPECT_EQ(registry.readString(kKey, "Missing"), std::nullopt);
    EXPECT_EQ(registry.readString("software\\Other", "Version"), std::nullopt);
}

TEST(IniRegistry, MissingFileOrNoLocationReadsNothing) {
    TempDir dir;
    EXPECT_EQ(IniRegistry(dir / "none.ini").readString(kKey, "Version"), std::nullopt);
    EXPECT_EQ(IniRegistry("").readString(kKey, "Version"), std::nullopt);
}

}  // namespace
}  // namespace qorvane
