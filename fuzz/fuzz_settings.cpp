// Any settings file loads, and what was loaded survives a save and a load
// unchanged: LoadSettings -> SaveSettings -> LoadSettings gives the same
// AppSettings, a second save writes the same bytes, and every line of the
// file that is none of the program's keys is kept.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>
#include <string_view>
#include <vector>
#include <cctype>

#include <unistd.h>

#include "app/settings.h"
#include "base/ini_file.h"

#include "fuzz/fuzz_folder.h"

namespace {

namespace fs = std::filesystem;
using namespace qorvane;

fs::path OwnDirectory(const fs::path& base) { return fuzzing::OwnDirectory(base, "qorvane-fuzz-settings-"); }

fs::path MakeDir() {
    std::error_code ec;
    const fs::path base = fs::is_directory("/dev/shm", ec) ? fs::path("/dev/shm") : fs::temp_directory_path();
    return OwnDirectory(base);
}

const fs::path& File() {
    static const fs::path file = MakeDir() / "qorvane.ini";
    return file;
}

std::string Read(const fs::path& file) {
    std::ifstream in(file, std::ios::binary);
    std::ostringstream text;
    text << in.rdbuf();
    return text.str();
}

void Write(const fs::path& file, std::string_view bytes) {
    std::ofstream out(file, std::ios::binary | std::ios::trunc);
    out.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
}

// What the main window hands over at close, taken from the settings
// themselves, so that a round trip changes nothing.
MainWindowState StateOf(const AppSettings& s) {
    MainWindowState state;
    state.bounds = {s.left, s.top, s.width, s.height};
    state.columnWidths = s.columnWidths;
    state.profileName = s.prof;
    return state;
}

[[noreturn]] void Fail() { __builtin_trap(); }

std::vector<std::string> Lines(const std::string& serialized) {
    std::vector<std::string> lines;
    std::size_t start = 0;
    for (std::size_t end; (end = serialized.find("\r\n", start)) != std::string::npos; start = end + 2) {
        lines.push_back(serialized.substr(start, end - start));
    }
    return lines;
}

// A key line whose name is one the program writes (in any section: which
// of them a save replaces is the INI file's business).
bool IsProgramKey(std::string_view line) {
    const auto trim = [](std::string_view t) {
        while (!t.empty() && (t.front() == ' ' || t.front() == '\t' || t.front() == '\r')) t.remove_prefix(1);
        while (!t.empty() && (t.back() == ' ' || t.back() == '\t' || t.back() == '\r')) t.remove_suffix(1);
        return t;
    };
    const std::string_view t = trim(line);
    const auto eq = t.find('=');
    if (t.empty() || t.front() == '[' || t.front() == ';' || eq == std::string_view::npos) return false;
    std::string key(trim(t.substr(0, eq)));
    for (char& c : key) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    for (const char* name : {"dir", "left", "top", "width", "height", "prof", "shutdn", "bone", "ball", "sone",
                             "sall", "parallel", "file", "profile", "title", "author", "album", "year", "copy"}) {
        if (key == name) return true;
    }
    return false;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string_view text(reinterpret_cast<const char*>(data), size);
    const fs::path& file = File();
    const WorkArea area{0, 0, 1024, 738};
    Write(file, text);
    const AppSettings loaded = LoadSettings(file, area);
    if (!SaveSettings(file, loaded, StateOf(loaded))) Fail();
    const std::string first = Read(file);
    const AppSettings again = LoadSettings(file, area);
    if (!(again == loaded)) Fail();
    if (!SaveSettings(file, again, StateOf(again))) Fail();
    if (Read(file) != first) Fail();

    // Unknown sections and keys, comments and blank lines stay, in order.
    const std::vector<std::string> before = Lines(IniFile::Parse(text).serialize());
    const std::vector<std::string> after = Lines(first);
    std::size_t at = 0;
    for (const std::string& line : before) {
        if (IsProgramKey(line)) continue;
        while (at < after.size() && after[at] != line) ++at;
        if (at == after.size()) Fail();
        ++at;
    }
    return 0;
}
