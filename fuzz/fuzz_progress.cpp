// What an encoder prints reaches the front end's live status line by line:
// any text must parse without a crash, never give a share outside 0..100 or
// a time that is not a number, and keep the status's estimates sound.
#include <cmath>
#include <cstddef>
#include <cstdint>
#include <string_view>

#include "encode/live_status.h"
#include "encode/run_progress.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string_view text(reinterpret_cast<const char*>(data), size);
    qorvane::LiveRunStatus live;
    const auto run = live.runStarted("clip.avi", {1, 2}, "cscript.exe");
    std::size_t start = 0;
    while (start <= text.size()) {
        const std::size_t end = std::min(text.find('\n', start), text.size());
        const std::string_view line = text.substr(start, end - start);
        if (const auto progress = qorvane::ParseProgressLine(line)) {
            if (!(progress->percent >= 0 && progress->percent <= 100)) __builtin_trap();
            if (!std::isfinite(progress->position) || !std::isfinite(progress->total)) __builtin_trap();
        }
        live.outputLine(run, line);
        start = end + 1;
    }
    const qorvane::LiveSnapshot snapshot = live.snapshot();
    if (snapshot.remaining && (!std::isfinite(*snapshot.remaining) || *snapshot.remaining < 0)) __builtin_trap();
    if (snapshot.batchPercent && !(*snapshot.batchPercent >= 0 && *snapshot.batchPercent <= 100)) __builtin_trap();
    if (snapshot.remaining && qorvane::FormatClock(*snapshot.remaining).size() > 16) __builtin_trap();
    return 0;
}
