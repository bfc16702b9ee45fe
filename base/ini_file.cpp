#include "base/ini_file.h"

#include <charconv>
#include <cstdio>
#include <fstream>
#include <functional>
#include <random>
#include <sstream>
#include <system_error>

#include "base/ascii_case.h"

namespace qorvane {

namespace {

std::string_view Trim(std::string_view text) {
    const auto blank = [](char c) { return c == ' ' || c == '\t' || c == '\r'; };
    while (!text.empty() && blank(text.front())) text.remove_prefix(1);
    while (!text.empty() && blank(text.back())) text.remove_suffix(1);
    return text;
}


}  // namespace

std::optional<int> ParseWholeNumber(std::string_view text) {
    text = Trim(text);
    if (!text.empty() && text.front() == '+') text.remove_prefix(1);
    if (text.empty()) return std::nullopt;
    int value = 0;
    const auto [end, ec] = std::from_chars(text.data(), text.data() + text.size(), value);
    if (ec != std::errc() || end != text.data() + text.size()) return std::nullopt;
    return value;
}

IniFile::Line IniFile::MakeLine(std::string text) {
    Line line;
    line.text = std::move(text);
    const std::string_view t = Trim(line.text);
    if (!t.empty() && t.front() == '[') {
        const auto close = t.find(']');
        line.isSection = true;
        line.section = std::string(Trim(t.substr(1, close == std::string_view::npos ? t.size() - 1 : close - 1)));
    } else if (!t.empty() && t.front() != ';') {
        const auto eq = t.find('=');
        if (eq != std::string_view::npos) {
            line.isKey = true;
            line.key = std::string(Trim(t.substr(0, eq)));
        }
    }
    return line;
}

IniFile IniFile::Parse(std::string_view text) {
    IniFile ini;
    std::size_t start = 0;
    while (start < text.size()) {
        auto end = text.find('\n', start);
        if (end == std::string_view::npos) end = text.size();
        std::string_view raw = text.substr(start, end - start);
        if (!raw.empty() && raw.back() == '\r') raw.remove_suffix(1);
        ini.lines_.push_back(MakeLine(std::string(raw)));
        start = end + 1;
    }
    return ini;
}

IniFile IniFile::Load(const std::filesystem::path& path) {
    std::ifstream in(path, std::ios::binary);
    if (!in) return IniFile();
    std::ostringstream text;
    text << in.rdbuf();
    return Parse(text.str());
}

std::optional<std::size_t> IniFile::findSection(std::string_view section) const {
    for (std::size_t i = 0; i < lines_.size(); ++i) {
        if (lines_[i].isSection && EqualsIgnoringAsciiCase(lines_[i].section, section)) return i;
    }
    return std::nullopt;
}

std::optional<std::size_t> IniFile::findKey(std::size_t sectionLine, std::string_view key) const {
    for (std::size_t i = sectionLine + 1; i < lines_.size() && !lines_[i].isSection; ++i) {
        if (lines_[i].isKey && EqualsIgnoringAsciiCase(lines_[i].key, key)) return i;
    }
    return std::nullopt;
}

std::optional<std::string> IniFile::get(std::string_view section, std::string_view key) const {
    const auto s = findSection(section);
    if (!s) return std::nullopt;
    const auto k = findKey(*s, key);
    if (!k) return std::nullopt;
    const std::string& text = lines_[*k].text;
    return std::string(Trim(std::string_view(text).substr(text.find('=') + 1)));
}

std::string IniFile::getString(std::string_view section, std::string_view key,
                               std::string_view fallback) const {
    auto value = get(section, key);
    return value ? *value : std::string(fallback);
}

int IniFile::getInt(std::string_view section, std::string_view key, int fallback) const {
    const auto value = get(section, key);
    if (!value) return fallback;
    return ParseWholeNumber(*value).value_or(fallback);
}

void IniFile::set(std::string_view section, std::string_view key, std::string_view value) {
    std::string text = std::string(key) + "=" + std::string(value);
    const auto s = findSection(section);
    if (!s) {
        lines_.push_back(MakeLine("[" + std::string(section) + "]"));
        lines_.push_back(MakeLine(std::move(text)));
        return;
    }
    if (const auto k = findKey(*s, key)) {
        lines_[*k] = MakeLine(std::move(text));
        return;
    }
    // Append after the last line of the section that is not blank, so that
    // blank lines separating sections stay where they are.
    std::size_t insertAt = *s + 1;
    for (std::size_t i = *s + 1; i < lines_.size() && !lines_[i].isSection; ++i) {
        if (!Trim(lines_[i].text).empty()) insertAt = i + 1;
    }
    lines_.insert(lines_.begin() + static_cast<std::ptrdiff_t>(insertAt), MakeLine(std::move(text)));
}

std::string IniFile::serialize() const {
    std::string out;
    for (const Line& line : lines_) {
        out += line.text;
        out += "\r\n";
    }
    return out;
}

bool IniFile::save(const std::filesystem::path& path) const {
    return WriteFileAtomically(path, serialize());
}

namespace {

constexpr std::string_view kTempMark = ".tmp";

std::string TempNamePrefix(const std::filesystem::path& file) { return "." + file.filename().string() + std::string(kTempMark); }

// NAME of ".NAME.tmp<digits>", the name of a save's temporary file; empty
// for any other name.
std::string_view SavedNameOf(std::string_view name) {
    const auto mark = name.rfind(kTempMark);
    if (name.size() < 2 || name.front() != '.' || mark == std::string_view::npos) return {};
    const std::string_view digits = name.substr(mark + kTempMark.size());
    if (digits.empty() || digits.find_first_not_of("0123456789") != std::string_view::npos) return {};
    return name.substr(1, mark - 1);
}

void RemoveMatching(const std::filesystem::path& dir, const std::function<bool(std::string_view)>& matches) {
    std::error_code ec;
    std::vector<std::filesystem::path> found;
    for (std::filesystem::directory_iterator it(dir, ec), end; !ec && it != end; it.increment(ec)) {
        if (it->is_regular_file(ec) && matches(it->path().filename().string())) found.push_back(it->path());
    }
    for (const auto& path : found) std::filesystem::remove(path, ec);
}

}  // namespace

void RemoveInterruptedSaves(const std::filesystem::path& file) {
    const std::string fileName = file.filename().string();
    RemoveMatching(file.has_parent_path() ? file.parent_path() : ".",
                   [&](std::string_view name) { return SavedNameOf(name) == fileName; });
}

void RemoveInterruptedSavesIn(const std::filesystem::path& dir, std::string_view extension) {
    RemoveMatching(dir, [&](std::string_view name) {
        const std::string_view saved = SavedNameOf(name);
        return saved.size() > extension.size() &&
               EqualsIgnoringAsciiCase(saved.substr(saved.size() - extension.size()), extension);
    });
}

bool WriteFileAtomically(const std::filesystem::path& path, std::string_view bytes) {
    namespace fs = std::filesystem;
    std::error_code ec;
    const fs::file_status old = fs::status(path, ec);
    const bool existed = fs::exists(old);
    if (existed) {
        if (!fs::is_regular_file(old)) return false;
        if ((old.permissions() & fs::perms::owner_write) == fs::perms::none) return false;
    }
    const fs::path dir = path.has_parent_path() ? path.parent_path() : fs::path(".");
    if (!fs::is_directory(dir, ec)) return false;

    // A fresh name, created exclusively ("x"), so that no other writer's
    // temporary file is ever taken over.
    std::random_device random;
    fs::path temp;
    std::FILE* out = nullptr;
    for (int attempt = 0; attempt < 16 && !out; ++attempt) {
        temp = dir / (TempNamePrefix(path) + std::to_string(random()));
        out = std::fopen(temp.c_str(), "wbx");
    }
    if (!out) return false;
    const bool written = std::fwrite(bytes.data(), 1, bytes.size(), out) == bytes.size();
    if (std::fclose(out) != 0 || !written) {
        fs::remove(temp, ec);
        return false;
    }
    if (existed) fs::permissions(temp, old.permissions(), ec);
    fs::rename(temp, path, ec);
    if (ec) {
        fs::remove(temp, ec);
        return false;
    }
    return true;
}

}  // namespace qorvane
