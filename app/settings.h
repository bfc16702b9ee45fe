#pragma once
// The environment settings: default output folder, completion actions,
// window bounds, column widths, the last profile, runs at the same time and
// cover art. Kept in an INI file between runs; every field is named after
// its key.

#include <array>
#include <filesystem>
#include <string>

#include "app/watch_settings.h"
#include "base/window_placement.h"
#include "encode/batch_services.h"
#include "platform/desktop.h"

namespace qorvane {

inline constexpr int kJobColumnCount = 7;
// After those, the columns of what each source is and will make (length,
// format, estimated size): see app/job_columns.h.
inline constexpr int kFactsColumnCount = 3;
inline constexpr int kListColumnCount = kJobColumnCount + kFactsColumnCount;

struct AppSettings {
    std::string dir;  // default output folder of new jobs
    int left = 0;
    int top = 0;
    int width = 600;
    int height = 400;
    std::string prof;  // profile shown at the last close
    bool shutdn = false;
    bool bone = false;  // play sone after each job
    bool ball = false;  // play sall after the batch
    std::string sone;
    std::string sall;
    std::array<int, kJobColumnCount> columnWidths{100, 100, 100, 80, 80, 40, 80};
    // The widths of the length, format and size columns ("Column" "Length",
    // "Format", "Size"), and which columns of all ten are shown ("Column"
    // "Hidden" names the hidden ones; the first is always shown). Keys of
    // this program's own beside the seven widths.
    std::array<int, kFactsColumnCount> factsColumnWidths{60, 170, 80};
    std::array<bool, kListColumnCount> columnShown{true, true, true, true, true, true, true, true, true, true};
    // Encoder runs at the same time, 1 up to the processors ("env"
    // "parallel"; a key of this program's own, written only once it is set
    // to more than 1, so other readers of the file see what they know).
    int parallel = 1;
    // Outputs carry the source's cover art ("env" "cover", this program's own
    // too: written only once turned off).
    bool cover = true;
    // A desktop notice when a batch has ended ("env" "notify", this
    // program's own: written only once turned off).
    bool notify = true;
    // Folders whose new files are converted without a click (section "watch").
    WatchSettings watch;
    // A file added through a folder goes into its subfolder below the
    // output folder ("env" "keeptree", written only once turned on).
    bool keeptree = false;

    bool operator==(const AppSettings&) const = default;
};

// The defaults: a 600 x 400 window centred in the work area by its right and
// bottom edges, as the program always placed it.
AppSettings DefaultSettings(const WorkArea& area);

// Reads the file; every absent or unreadable entry keeps its default. A
// remembered output folder that no longer exists is cleared.
AppSettings LoadSettings(const std::filesystem::path& file, const WorkArea& area);

// What the main window contributes to the file when it closes.
struct MainWindowState {
    bool maximised = false;
    WindowBounds bounds;
    std::array<int, kJobColumnCount> columnWidths{};
    std::string profileName;  // the profile drop-down's current text
    std::array<int, kFactsColumnCount> factsColumnWidths{60, 170, 80};
    std::array<bool, kListColumnCount> columnShown{true, true, true, true, true, true, true, true, true, true};
};

// Writes the settings and the window's state. Bounds and column widths are
// left as they are in the file while the window is maximised, so that the
// next start restores the normal window. Other content of the file is kept.
// False when the file cannot be written; it is then unchanged.
bool SaveSettings(const std::filesystem::path& file, const AppSettings& settings,
                  const MainWindowState& window);

// The completion actions of the settings, as the batch runner reads them.
CompletionSettings CompletionSettingsOf(const AppSettings& settings);

}  // namespace qorvane
