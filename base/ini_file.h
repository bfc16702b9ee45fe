#pragma once
// INI files with the private-profile semantics the program's files were
// always written with: section and key names match without regard to case,
// a written key replaces its value in place or is appended to its section,
// a missing section is appended, and everything else in the file (comments,
// unknown keys, other sections) is kept as it was. Files are written with
// CR LF line ends and replaced atomically.

#include <filesystem>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace qorvane {

class IniFile {
public:
    IniFile() = default;

    // Reads a file; a missing or unreadable file gives an empty one.
    static IniFile Load(const std::filesystem::path& path);
    static IniFile Parse(std::string_view text);

    // The value of the first matching key of the first matching section,
    // trimmed of blanks; nothing when the section or key is absent.
    std::optional<std::string> get(std::string_view section, std::string_view key) const;
    bool hasSection(std::string_view section) const { return findSection(section).has_value(); }
    std::string getString(std::string_view section, std::string_view key,
                          std::string_view fallback) const;
    // A whole decimal number (blanks around it allowed); anything else,
    // an absent key or a number out of range gives the fallback.
    int getInt(std::string_view section, std::string_view key, int fallback) const;

    void set(std::string_view section, std::string_view key, std::string_view value);

    std::string serialize() const;

    // Replaces the file as a whole: the text goes to a temporary file in the
    // same directory, which is then renamed over the old one. False when it
    // cannot be done (missing directory, read-only file, full disk); the old
    // file is then untouched.
    bool save(const std::filesystem::path& path) const;

private:
    struct Line {
        std::string text;     // as read, without its line end
        std::string section;  // for a section header: its name
        std::string key;      // for a key line: its name
        bool isSection = false;
        bool isKey = false;
    };
    static Line MakeLine(std::string text);
    std::optional<std::size_t> findSection(std::string_view section) const;
    std::optional<std::size_t> findKey(std::size_t sectionLine, std::string_view key) const;

    std::vector<Line> lines_;
};

// Parses a whole decimal integer with optional sign; nothing on any other text.
std::optional<int> ParseWholeNumber(std::string_view text);

// Writes bytes to a file through a temporary file and a rename, so that the
// file is either the old one or the new one, never half of either. A file
// whose owner may not write it counts as read-only and is refused.
bool WriteFileAtomically(const std::filesystem::path& path, std::string_view bytes);

// A save killed between creating its temporary file (".NAME.tmp<digits>"
// beside NAME) and the rename leaves that file behind; the file itself is
// whole, old or new. These remove such leftovers: of one file, and of every
// file with the extension (in any letter case) in a folder. Called at start, when no save of
// this program can be under way; should another instance be saving at that
// moment, its rename fails and its save reports failure, with the old file
// intact.
void RemoveInterruptedSaves(const std::filesystem::path& file);
void RemoveInterruptedSavesIn(const std::filesystem::path& dir, std::string_view extension);

}  // namespace qorvane
