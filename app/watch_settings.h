#pragma once
// The watched folders in the settings file: section "watch", "on" (the
// check box), "count", then per folder N from 1 "folderN", "profileN",
// "outN" and "keeptreeN". Written only once there is something to say, so a
// file without watches stays as other readers know it.

#include <vector>

#include "app/watch_rules.h"
#include "base/ini_file.h"

namespace qorvane {

struct WatchSettings {
    bool on = false;  // "フォルダを監視する"
    std::vector<WatchedFolder> folders;
    bool operator==(const WatchSettings&) const = default;
};

// Folders with an empty path are left out.
WatchSettings LoadWatchSettings(const IniFile& ini);
void SaveWatchSettings(IniFile& ini, const WatchSettings& watch);

}  // namespace qorvane
