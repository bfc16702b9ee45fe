#include "app/watch_record.h"

#include <charconv>

namespace qorvane {

namespace {

constexpr std::string_view kHeader = "# qorvane watch record 1\n";

constexpr std::string_view OutcomeName(WatchOutcome outcome) {
    switch (outcome) {
        case WatchOutcome::Encoded: return "encoded";
        case WatchOutcome::Failed: return "failed";
        case WatchOutcome::Written: return "written";
    }
    return "failed";
}

std::optional<WatchOutcome> OutcomeOf(std::string_view name) {
    for (const WatchOutcome o : {WatchOutcome::Encoded, WatchOutcome::Failed, WatchOutcome::Written}) {
        if (name == OutcomeName(o)) return o;
    }
    return std::nullopt;
}

std::string Escaped(std::string_view path) {
    std::string text;
    for (const char c : path) {
        if (c == '\\') text += "\\\\";
        else if (c == '\n') text += "\\n";
        else text += c;
    }
    return text;
}

std::optional<std::string> Unescaped(std::string_view text) {
    std::string path;
    for (std::size_t i = 0; i < text.size(); ++i) {
        if (text[i] != '\\') {
            path += text[i];
            continue;
        }
        if (++i == text.size()) return std::nullopt;
        if (text[i] == '\\') path += '\\';
        else if (text[i] == 'n') path += '\n';
        else return std::nullopt;
    }
    return path;
}

// The next blank-separated field of a line.
std::string_view Field(std::string_view& line) {
    const std::size_t blank = line.find(' ');
    if (blank == std::string_view::npos) return {};
    const std::string_view field = line.substr(0, blank);
    line.remove_prefix(blank + 1);
    return field;
}

template <typename Number>
bool ParseNumber(std::string_view text, Number& value) {
    const auto [end, ec] = std::from_chars(text.data(), text.data() + text.size(), value);
    return ec == std::errc() && end == text.data() + text.size() && !text.empty();
}

}  // namespace

WatchRecord::WatchRecord(DurableTextFile& store) : store_(store) {
    std::size_t lines = 0;
    entries_ = Parse(store_.load(), &lines);
    // Mostly replaced lines: the record is rewritten without them.
    if (lines > 2 * entries_.size() + 1000) {
        std::string text(kHeader);
        for (const auto& [path, entry] : entries_) text += Line(path, entry);
        store_.replace(text);
    }
}

const WatchRecordEntry* WatchRecord::find(const std::string& path) const {
    const auto it = entries_.find(path);
    return it == entries_.end() ? nullptr : &it->second;
}

bool WatchRecord::holds(const std::string& path, const WatchStamp& stamp) const {
    const WatchRecordEntry* entry = find(path);
    return entry && entry->stamp == stamp;
}

bool WatchRecord::note(const std::string& path, const WatchStamp& stamp, WatchOutcome outcome) {
    const WatchRecordEntry entry{stamp, outcome};
    entries_[path] = entry;
    return store_.append(Line(path, entry));
}

std::string WatchRecord::Line(const std::string& path, const WatchRecordEntry& entry) {
    return std::string(OutcomeName(entry.outcome)) + ' ' + std::to_string(entry.stamp.size) + ' ' +
           std::to_string(entry.stamp.modifiedNs) + ' ' + Escaped(path) + '\n';
}

WatchRecord::Entries WatchRecord::Parse(std::string_view text, std::size_t* lines) {
    Entries entries;
    std::size_t count = 0;
    for (std::size_t newline; (newline = text.find('\n')) != std::string_view::npos;) {
        std::string_view line = text.substr(0, newline);
        text.remove_prefix(newline + 1);
        ++count;
        const std::optional<WatchOutcome> outcome = OutcomeOf(Field(line));
        WatchRecordEntry entry;
        if (!outcome || !ParseNumber(Field(line), entry.stamp.size) ||
            !ParseNumber(Field(line), entry.stamp.modifiedNs)) {
            continue;
        }
        std::optional<std::string> path = Unescaped(line);
        if (!path || path->empty()) continue;
        entry.outcome = *outcome;
        entries[std::move(*path)] = entry;
    }
    // What follows the last line break is a line a crash cut short.
    if (lines) *lines = count;
    return entries;
}

}  // namespace qorvane
