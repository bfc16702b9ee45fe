// The start-up decisions: encoder check, debug switch, command-line files,
// where the program's files live and where programs are searched.
#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <map>

#include "app/app_paths.h"
#include "app/encoder_location.h"
#include "app/startup.h"
#include "base/search_path.h"
#include "support/temp_dir.h"

namespace qorvane {
namespace {

namespace fs = std::filesystem;
using testing::TempDir;

class FakeRegistry final : public Registry {
public:
    std::map<std::string, std::string> values;  // value name -> text, under the encoder key
    bool keyPresent = true;

    std::optional<std::string> readString(std::string_view key, std::string_view name) const override {
        if (!keyPresent || key != kEncoderRegistryKey) return std::nullopt;
        const auto it = values.find(std::string(name));
        if (it == values.end()) return std::nullopt;
        return it->second;
    }
};

class FakeDesktop final : public Desktop {
public:
    WorkArea workArea() const override { return {0, 0, 1024, 738}; }
};

bool Check(FakeRegistry& registry, const std::string& version, EncoderLocation* out = nullptr) {
    registry.values["Version"] = version;
    EncoderLocation location;
    const bool found = LocateEncoderScript(registry, location);
    if (out) *out = location;
    return found;
}

TEST(EncoderCheck, VersionMustBeginWithNineDot) {
    FakeRegistry registry;
    registry.values["InstallDir"] = "/opt/enc/";
    EXPECT_TRUE(Check(registry, "9.00.00.2980"));
    EXPECT_TRUE(Check(registry, "9."));
    EXPECT_FALSE(Check(registry, "10.0"));
    EXPECT_FALSE(Check(registry, "8.0"));
    EXPECT_FALSE(Check(registry, " 9.0"));
    EXPECT_FALSE(Check(registry, "9"));
    EXPECT_FALSE(Check(registry, ""));
    registry.values.erase("Version");
    EncoderLocation location;
    EXPECT_FALSE(LocateEncoderScript(registry, location));
}

TEST(EncoderCheck, ScriptNameIsAppendedWithoutSeparator) {
    FakeRegistry registry;
    EncoderLocation location;
    registry.values["InstallDir"] = "/opt/enc/";
    ASSERT_TRUE(Check(registry, "9.0", &location));
    EXPECT_EQ(location.scriptPath, "/opt/enc/wmcmd.vbs");
    registry.values["InstallDir"] = "C:\\Enc";
    ASSERT_TRUE(Check(registry, "9.0", &location));
    EXPECT_EQ(location.scriptPath, "C:\\Encwmcmd.vbs");
    registry.values.erase("InstallDir");
    ASSERT_TRUE(Check(registry, "9.0", &location));  // an empty folder is not refused
    EXPECT_EQ(location.scriptPath, "wmcmd.vbs");
}

TEST(EncoderCheck, MissingKeyFails) {
    FakeRegistry registry;
    registry.values = {{"InstallDir", "/opt/enc/"}, {"Version", "9.0"}};
    registry.keyPresent = false;
    EncoderLocation location;
    EXPECT_FALSE(LocateEncoderScript(registry, location));
}

TEST(StartupLoader, LoadsTheSettingsWhateverTheEncoderCheckGives) {
    TempDir dir;
    AppState state;
    state.paths = AppPathsIn(dir / "qorvane", dir.path());
    dir.write("qorvane.ini", "[env]\nwidth=700\n");
    FakeRegistry registry;  // no Version: the check fails
    EXPECT_FALSE(RunStartupLoader(FakeDesktop(), registry, state));
    EXPECT_EQ(state.workArea, (WorkArea{0, 0, 1024, 738}));
    EXPECT_EQ(state.settings.width, 700);
    EXPECT_EQ(state.settings.top, 169);
}

TEST(StartupLoader, RemovesWhatSavesCutShortLeftBesideTheSettingsAndProfiles) {
    TempDir dir;
    AppState state;
    state.paths = AppPathsIn(dir / "qorvane", dir.path());
    fs::create_directories(state.paths.profileDir);
    dir.write("qorvane.ini", "[env]\nwidth=700\n");
    dir.write(".qorvane.ini.tmp1234567", "[env]\nwid");  // killed while saving
    dir.write(".other.ini.tmp1", "not ours");
    dir.write("Profile/.a.wpf.tmp42", "[audio]");
    dir.write("Profile/.B.WPF.tmp7", "[audio]");
    dir.write("Profile/a.wpf", "[audio]\nmode=2\n");
    dir.write("Profile/.a.wpf.tmpx", "not a save's name");
    FakeRegistry registry;
    RunStartupLoader(FakeDesktop(), registry, state);
    EXPECT_EQ(state.settings.width, 700);
    std::vector<std::string> left;
    for (const auto& entry : fs::recursive_directory_iterator(dir.path())) {
        left.push_back(fs::relative(entry.path(), dir.path()).string());
    }
    std::sort(left.begin(), left.end());
    EXPECT_EQ(left, (std::vector<std::string>{".other.ini.tmp1", "Profile", "Profile/.a.wpf.tmpx", "Profile/a.wpf",
                                              "qorvane.ini"}));
}

TEST(DebugSwitch, OnlyAnExactFirstArgument) {
    EXPECT_TRUE(IsDebugMode({"-debug", "a.WAV", "b.txt"}));
    EXPECT_TRUE(IsDebugMode({"-debug"}));
    EXPECT_FALSE(IsDebugMode({"a.WAV", "-debug"}));
    EXPECT_FALSE(IsDebugMode({"-DEBUG"}));
    EXPECT_FALSE(IsDebugMode({}));
}

TEST(CommandLineFiles, EveryArgumentMadeAbsoluteAndEmptyOnesLeftOut) {
    const fs::path cwd = fs::current_path();
    const auto files = CommandLineFiles({"-debug", "", "sub/../a.WAV", "/abs/b.mp3"});
    ASSERT_EQ(files.size(), 3u);
    EXPECT_EQ(files[0], (cwd / "-debug").string());
    EXPECT_EQ(files[1], (cwd / "a.WAV").string());
    EXPECT_EQ(files[2], "/abs/b.mp3");
}

TEST(AppPaths, PortableBesideTheProgramUnlessItsFolderCannotBeWritten) {
    const auto writable = [](const fs::path&) { return true; };
    const auto readOnly = [](const fs::path&) { return false; };
    const AppPaths beside = ChooseAppPaths("/opt/q/bin/qorvane", "/home/u/.config", writable);
    EXPECT_EQ(beside.hostDir, "/opt/q/bin");
    EXPECT_EQ(beside.settingsFile, "/opt/q/bin/qorvane.ini");
    EXPECT_EQ(beside.profileDir, "/opt/q/bin/Profile");
    EXPECT_EQ(beside.installConfigDir, "");
    const AppPaths config = ChooseAppPaths("/opt/q/bin/qorvane", "/home/u/.config", readOnly);
    EXPECT_EQ(config.hostDir, "/opt/q/bin");
    EXPECT_EQ(config.settingsFile, "/home/u/.config/qorvane/qorvane.ini");
    EXPECT_EQ(config.profileDir, "/home/u/.config/qorvane/Profile");
    EXPECT_EQ(ChooseAppPaths("/opt/q/bin/qorvane", "", readOnly).settingsFile, "/opt/q/bin/qorvane.ini");
}

// An installed program is known by its place: <prefix>/bin beside the
// script host in <prefix>/libexec/qorvane. Its files are the user's however
// writable its folder is, and both front ends get the same Profile folder.
TEST(AppPaths, InstalledInTheConfigFolderWithTheHostInThePrivateFolder) {
    TempDir dir;
    const InstallLayout layout{"bin", "libexec/qorvane"};
    const fs::path prefix = dir / "usr";
    dir.write("usr/libexec/qorvane/qorvane-cscript", "");
    const auto writable = [](const fs::path&) { return true; };

    const AppPaths window = ChooseAppPaths(prefix / "bin" / "qorvane", "/home/u/.config", writable, layout);
    EXPECT_EQ(window.settingsFile, "/home/u/.config/qorvane/qorvane.ini");
    EXPECT_EQ(window.profileDir, "/home/u/.config/qorvane/Profile");
    EXPECT_EQ(window.hostDir, prefix / "libexec/qorvane");
    EXPECT_EQ(window.installConfigDir, prefix / "etc/xdg");
    const AppPaths cli = ChooseAppPaths(prefix / "bin" / "qorvane-cli", "/home/u/.config", writable, layout);
    EXPECT_EQ(cli.profileDir, window.profileDir);
    EXPECT_EQ(cli.hostDir, window.hostDir);

    // Without the host beside it, or outside bin/, the same folder is portable.
    EXPECT_EQ(InstallPrefixOf(prefix / "bin" / "qorvane", layout), prefix);
    EXPECT_EQ(InstallPrefixOf(prefix / "libexec" / "qorvane", layout), fs::path());
    EXPECT_EQ(InstallPrefixOf(dir / "bin" / "qorvane", layout), fs::path());
    EXPECT_EQ(InstallConfigDirOf("/usr"), "/etc/xdg");
    EXPECT_EQ(InstallConfigDirOf("/usr/local"), "/usr/local/etc/xdg");
}

class SearchPathTest : public ::testing::Test {
protected:
    fs::path program(const std::string& name, fs::perms perms = fs::perms::owner_all) {
        const auto file = dir.write(name, "#!/bin/sh\n");
        fs::permissions(file, perms);
        return file;
    }
    TempDir dir;
};

TEST_F(SearchPathTest, FirstDirectoryHoldingAnExecutableFileWins) {
    fs::create_directories(dir / "a");
    fs::create_directories(dir / "b");
    fs::create_directories(dir / "c/host");  // a directory of that name is no program
    program("a/host", fs::perms::owner_read | fs::perms::owner_write);  // not executable
    const auto wanted = program("b/host");
    program("c/other");
    EXPECT_EQ(SearchPath("host", {dir / "c", dir / "a", dir / "b"}), wanted);
    EXPECT_EQ(SearchPath("missing", {dir / "a", dir / "b"}), fs::path());
    EXPECT_EQ(SearchPath("", {dir / "b"}), fs::path());
}

TEST(SearchDirectories, ProgramDirectoryThenCurrentDirectoryThenPath) {
    const fs::path cwd = fs::current_path();
    EXPECT_EQ(SearchDirectories("/p", "/x:/y"), (std::vector<fs::path>{"/p", cwd, "/x", "/y"}));
    // An empty entry means the current directory.
    EXPECT_EQ(SearchDirectories("/p", "/x::"), (std::vector<fs::path>{"/p", cwd, "/x", cwd, cwd}));
    EXPECT_EQ(SearchDirectories("/p", ""), (std::vector<fs::path>{"/p", cwd}));
}

}  // namespace
}  // namespace qorvane
