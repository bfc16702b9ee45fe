#include "encode/parallel_runs.h"

#include <algorithm>
#include <charconv>
#include <thread>

namespace qorvane {

int ProcessorCount() { return static_cast<int>(std::max(1u, std::thread::hardware_concurrency())); }

int ClampParallelRuns(long long wish) {
    return static_cast<int>(std::clamp<long long>(wish, 1, ProcessorCount()));
}

std::optional<int> ParseParallelRuns(std::string_view text) {
    if (text.empty() || text.find_first_not_of("0123456789") != std::string_view::npos) return std::nullopt;
    long long value = 0;
    const auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), value);
    if (error == std::errc::result_out_of_range) return ProcessorCount();
    if (error != std::errc() || end != text.data() + text.size()) return std::nullopt;
    return value == 0 ? ProcessorCount() : ClampParallelRuns(value);
}

}  // namespace qorvane
