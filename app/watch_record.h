#pragma once
// The record of what the watch has taken: per file its size, modification
// time and how its conversion ended, plus the files this program wrote. A
// file is taken again only when it differs from what the record holds (a
// new version), so a restart takes nothing twice and a failed file waits
// until it changes.
//
// On disk it is a text of lines, appended as outcomes come ("OUTCOME SIZE
// MTIME-NS PATH", the path with "\\" and "\n" escaped; the last line about a
// path wins) and now and then rewritten whole without the lines that later
// ones replaced. A line cut short by a crash is ignored.

#include <cstdint>
#include <map>
#include <optional>
#include <string>
#include <string_view>

#include "platform/durable_text_file.h"

namespace qorvane {

// A file as the watch compares versions of it.
struct WatchStamp {
    std::uintmax_t size = 0;
    std::int64_t modifiedNs = 0;  // since the Unix epoch
    bool operator==(const WatchStamp&) const = default;
};

enum class WatchOutcome {
    Encoded,  // converted
    Failed,   // not converted; waits until the file changes
    Written,  // an output of this program: never taken
};

struct WatchRecordEntry {
    WatchStamp stamp;
    WatchOutcome outcome = WatchOutcome::Encoded;
    bool operator==(const WatchRecordEntry&) const = default;
};

class WatchRecord {
public:
    using Entries = std::map<std::string, WatchRecordEntry>;

    // Reads the store; rewrites it when replaced lines make up most of it.
    explicit WatchRecord(DurableTextFile& store);

    const WatchRecordEntry* find(const std::string& path) const;
    // True when the record holds the file in this very version.
    bool holds(const std::string& path, const WatchStamp& stamp) const;
    // Notes an outcome and appends its line; false when the store failed
    // (the entry is kept in memory all the same).
    bool note(const std::string& path, const WatchStamp& stamp, WatchOutcome outcome);
    const Entries& entries() const { return entries_; }

    static std::string Line(const std::string& path, const WatchRecordEntry& entry);
    // The entries of a text; malformed and unfinished lines are skipped.
    // `lines` is set to the number of lines read.
    static Entries Parse(std::string_view text, std::size_t* lines = nullptr);

private:
    DurableTextFile& store_;
    Entries entries_;
};

}  // namespace qorvane
