#include "platform/posix/ini_registry.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <string>
#include <vector>

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

// The per-user file overrides the machine's as a whole key: a user's key
// without "Version" is not completed from the machine's file.
TEST(IniRegistry, TheFirstFileHoldingTheKeyAnswersForAllItsValues) {
    TempDir dir;
    const auto user = dir.write("user.ini", "[software\\Other]\nVersion=1\n");
    const auto machine = dir.write("machine.ini", "[software\\Microsoft\\Windows Media\\Encoder]\n"
                                                  "InstallDir=/usr/libexec/qorvane/\nVersion=9.0\n");
    const IniRegistry registry({dir / "missing.ini", user, machine});
    EXPECT_EQ(registry.readString(kKey, "InstallDir"), "/usr/libexec/qorvane/");
    EXPECT_EQ(registry.readString("software\\Other", "Version"), "1");

    dir.write("user.ini", "[software\\Microsoft\\Windows Media\\Encoder]\nInstallDir=/home/u/enc/\n");
    EXPECT_EQ(registry.readString(kKey, "InstallDir"), "/home/u/enc/");
    EXPECT_EQ(registry.readString(kKey, "Version"), std::nullopt);
}

TEST(IniRegistry, LooksInTheUsersFolderThenTheSystemFoldersThenTheInstallsOwn) {
    const auto keep = [](const char* name) -> std::optional<std::string> {
        const char* value = std::getenv(name);
        return value ? std::optional<std::string>(value) : std::nullopt;
    };
    const auto registry = keep("QORVANE_REGISTRY"), home = keep("XDG_CONFIG_HOME"), dirs = keep("XDG_CONFIG_DIRS");
    ::unsetenv("QORVANE_REGISTRY");
    ::setenv("XDG_CONFIG_HOME", "/home/u/.config", 1);
    ::setenv("XDG_CONFIG_DIRS", "/etc/xdg/extra:relative:/etc/xdg", 1);
    EXPECT_EQ(IniRegistry::DefaultLocations("/etc/xdg"),
              (std::vector<std::filesystem::path>{"/home/u/.config/qorvane/registry.ini",
                                                  "/etc/xdg/extra/qorvane/registry.ini",
                                                  "/etc/xdg/qorvane/registry.ini"}));
    ::unsetenv("XDG_CONFIG_DIRS");
    EXPECT_EQ(IniRegistry::DefaultLocations("/opt/q/etc/xdg").back(), "/opt/q/etc/xdg/qorvane/registry.ini");
    ::setenv("QORVANE_REGISTRY", "/tmp/only.ini", 1);
    EXPECT_EQ(IniRegistry::DefaultLocations("/etc/xdg"), std::vector<std::filesystem::path>{"/tmp/only.ini"});

    const auto restore = [](const char* name, const std::optional<std::string>& value) {
        if (value) ::setenv(name, value->c_str(), 1); else ::unsetenv(name);
    };
    restore("QORVANE_REGISTRY", registry);
    restore("XDG_CONFIG_HOME", home);
    restore("XDG_CONFIG_DIRS", dirs);
}

}  // namespace
}  // namespace qorvane
