#include "app/watch_settings.h"

#include <string>

namespace qorvane {

namespace {

constexpr const char* kWatch = "watch";

std::string Key(const char* name, std::size_t number) { return name + std::to_string(number); }

}  // namespace

WatchSettings LoadWatchSettings(const IniFile& ini) {
    WatchSettings watch;
    watch.on = ini.getInt(kWatch, "on", 0) != 0;
    const int count = ini.getInt(kWatch, "count", 0);
    for (int i = 1; i <= count && i <= 1000; ++i) {
        const auto n = static_cast<std::size_t>(i);
        WatchedFolder folder;
        folder.folder = ini.getString(kWatch, Key("folder", n), "");
        if (folder.folder.empty()) continue;
        folder.profile = ini.getString(kWatch, Key("profile", n), "");
        folder.outDir = ini.getString(kWatch, Key("out", n), "");
        folder.keepTree = ini.getInt(kWatch, Key("keeptree", n), 0) != 0;
        watch.folders.push_back(std::move(folder));
    }
    return watch;
}

void SaveWatchSettings(IniFile& ini, const WatchSettings& watch) {
    if (watch == WatchSettings{} && !ini.hasSection(kWatch)) return;
    ini.set(kWatch, "on", watch.on ? "1" : "0");
    ini.set(kWatch, "count", std::to_string(watch.folders.size()));
    for (std::size_t i = 0; i < watch.folders.size(); ++i) {
        const WatchedFolder& folder = watch.folders[i];
        ini.set(kWatch, Key("folder", i + 1), folder.folder);
        ini.set(kWatch, Key("profile", i + 1), folder.profile);
        ini.set(kWatch, Key("out", i + 1), folder.outDir);
        ini.set(kWatch, Key("keeptree", i + 1), folder.keepTree ? "1" : "0");
    }
}

}  // namespace qorvane
