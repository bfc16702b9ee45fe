#include "cli/headless_console.h"

#include <cstdio>

#include "encode/run_progress.h"

namespace qorvane::cli {

std::string LiveLine(const LiveSnapshot& snapshot, int columns) {
    std::string text = "[" + std::to_string(snapshot.position.run) + "/" + std::to_string(snapshot.position.total) + "] ";
    if (snapshot.runs.size() > 1) {
        // Several runs: how far each has come, in the order they started.
        for (std::size_t i = 0; i < snapshot.runs.size(); ++i) {
            const LiveRun& run = snapshot.runs[i];
            if (i > 0) text += " | ";
            char figure[16];
            if (run.progress) std::snprintf(figure, sizeof figure, "%.1f%% ", run.progress->percent);
            text += run.progress ? figure : FormatClock(run.elapsed) + " ";
            text += run.label;
        }
    } else if (snapshot.progress) {
        char figures[64];
        std::snprintf(figures, sizeof figures, "%5.1f%% %6.1fx ", snapshot.progress->percent, snapshot.progress->speed);
        text += figures;
        text += snapshot.remaining ? FormatClock(*snapshot.remaining) + " left  " : "";
        text += snapshot.label;
    } else {
        text += FormatClock(snapshot.elapsed) + "  ";  // an encoder that tells nothing: time goes on
        text += snapshot.label;
    }
    // Cut to the terminal's width, counting a character outside ASCII as two
    // columns (most are CJK) and never splitting one.
    const std::size_t limit = columns > 1 ? static_cast<std::size_t>(columns - 1) : 79;
    std::size_t width = 0;
    for (std::size_t i = 0; i < text.size();) {
        const auto byte = static_cast<unsigned char>(text[i]);
        const std::size_t length = byte < 0x80 ? 1 : byte >= 0xF0 ? 4 : byte >= 0xE0 ? 3 : byte >= 0xC0 ? 2 : 1;
        const std::size_t cells = byte < 0x80 ? 1 : 2;
        if (width + cells > limit) {
            text.resize(i);
            break;
        }
        width += cells;
        i += length;
    }
    return text;
}

}  // namespace qorvane::cli
