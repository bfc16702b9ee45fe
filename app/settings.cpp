#include "app/settings.h"

#include <system_error>

#include "base/ascii_case.h"
#include "base/ini_file.h"
#include "encode/encoding_profile.h"
#include "encode/parallel_runs.h"

namespace qorvane {

namespace {

constexpr const char* kEnv = "env";
constexpr const char* kSnd = "snd";
constexpr const char* kColumn = "Column";
constexpr std::array<const char*, kListColumnCount> kColumnKeys{
    "File", "Profile", "Title", "Author", "Album", "Year", "Copy", "Length", "Format", "Size"};
constexpr const char* kHiddenKey = "Hidden";

// "Title,Size": the keys of the hidden columns; the first column cannot be hidden.
std::array<bool, kListColumnCount> ShownColumns(const std::string& hidden) {
    std::array<bool, kListColumnCount> shown;
    shown.fill(true);
    for (const std::string& key : SplitCommaText(hidden)) {
        for (int i = 1; i < kListColumnCount; ++i) {
            if (EqualsIgnoringAsciiCase(key, kColumnKeys[i])) shown[i] = false;
        }
    }
    return shown;
}

std::string HiddenColumns(const std::array<bool, kListColumnCount>& shown) {
    std::string hidden;
    for (int i = 1; i < kListColumnCount; ++i) {
        if (shown[i]) continue;
        if (!hidden.empty()) hidden += ',';
        hidden += kColumnKeys[i];
    }
    return hidden;
}

bool GetBool(const IniFile& ini, const char* section, const char* key) {
    return ini.getInt(section, key, 0) != 0;
}

const char* BoolText(bool value) { return value ? "1" : "0"; }

}  // namespace

AppSettings DefaultSettings(const WorkArea& area) {
    AppSettings s;
    s.left = (area.right - s.width) / 2;
    s.top = (area.bottom - s.height) / 2;
    return s;
}

AppSettings LoadSettings(const std::filesystem::path& file, const WorkArea& area) {
    const AppSettings d = DefaultSettings(area);
    const IniFile ini = IniFile::Load(file);
    AppSettings s;
    s.dir = ini.getString(kEnv, "dir", d.dir);
    s.left = ini.getInt(kEnv, "left", d.left);
    s.top = ini.getInt(kEnv, "top", d.top);
    s.width = ini.getInt(kEnv, "width", d.width);
    s.height = ini.getInt(kEnv, "height", d.height);
    s.prof = ini.getString(kEnv, "prof", d.prof);
    s.shutdn = GetBool(ini, kEnv, "shutdn");
    s.bone = GetBool(ini, kSnd, "bone");
    s.ball = GetBool(ini, kSnd, "ball");
    s.sone = ini.getString(kSnd, "sone", d.sone);
    s.sall = ini.getString(kSnd, "sall", d.sall);
    for (int i = 0; i < kJobColumnCount; ++i) {
        s.columnWidths[i] = ini.getInt(kColumn, kColumnKeys[i], d.columnWidths[i]);
    }
    for (int i = 0; i < kFactsColumnCount; ++i) {
        s.factsColumnWidths[i] = ini.getInt(kColumn, kColumnKeys[kJobColumnCount + i], d.factsColumnWidths[i]);
    }
    s.columnShown = ShownColumns(ini.getString(kColumn, kHiddenKey, ""));
    // A missing or unreadable count, or none at all, runs one at a time.
    const std::optional<std::string> parallel = ini.get(kEnv, "parallel");
    const std::optional<int> runs = parallel ? ParseParallelRuns(*parallel) : std::nullopt;
    const bool zero = parallel && !parallel->empty() && parallel->find_first_not_of('0') == std::string::npos;
    s.parallel = runs && !zero ? *runs : 1;
    s.cover = ini.getInt(kEnv, "cover", 1) != 0;
    s.notify = ini.getInt(kEnv, "notify", 1) != 0;
    s.watch = LoadWatchSettings(ini);
    s.keeptree = GetBool(ini, kEnv, "keeptree");
    std::error_code ec;
    if (!s.dir.empty() && !std::filesystem::is_directory(s.dir, ec)) s.dir.clear();
    return s;
}

bool SaveSettings(const std::filesystem::path& file, const AppSettings& s,
                  const MainWindowState& window) {
    // Keys are set in the order a file written from scratch should hold them.
    IniFile ini = IniFile::Load(file);
    ini.set(kEnv, "dir", s.dir);
    if (!window.maximised) {
        ini.set(kEnv, "left", std::to_string(window.bounds.left));
        ini.set(kEnv, "top", std::to_string(window.bounds.top));
        ini.set(kEnv, "width", std::to_string(window.bounds.width));
        ini.set(kEnv, "height", std::to_string(window.bounds.height));
        for (int i = 0; i < kJobColumnCount; ++i) {
            ini.set(kColumn, kColumnKeys[i], std::to_string(window.columnWidths[i]));
        }
        for (int i = 0; i < kFactsColumnCount; ++i) {
            ini.set(kColumn, kColumnKeys[kJobColumnCount + i], std::to_string(window.factsColumnWidths[i]));
        }
    }
    // Written once a column has been hidden, so that a file that never had
    // one keeps only the keys it knows.
    if (const std::string hidden = HiddenColumns(window.columnShown); !hidden.empty() || ini.get(kColumn, kHiddenKey)) {
        ini.set(kColumn, kHiddenKey, hidden);
    }
    ini.set(kEnv, "prof", window.profileName);
    ini.set(kEnv, "shutdn", BoolText(s.shutdn));
    ini.set(kSnd, "bone", BoolText(s.bone));
    ini.set(kSnd, "ball", BoolText(s.ball));
    ini.set(kSnd, "sone", s.sone);
    ini.set(kSnd, "sall", s.sall);
    if (s.parallel != 1 || ini.get(kEnv, "parallel")) ini.set(kEnv, "parallel", std::to_string(s.parallel));
    if (!s.cover || ini.get(kEnv, "cover")) ini.set(kEnv, "cover", BoolText(s.cover));
    if (!s.notify || ini.get(kEnv, "notify")) ini.set(kEnv, "notify", BoolText(s.notify));
    SaveWatchSettings(ini, s.watch);
    if (s.keeptree || ini.get(kEnv, "keeptree")) ini.set(kEnv, "keeptree", BoolText(s.keeptree));
    return ini.save(file);
}

CompletionSettings CompletionSettingsOf(const AppSettings& settings) {
    return {settings.shutdn, settings.bone, settings.ball, settings.sone, settings.sall};
}

}  // namespace qorvane
