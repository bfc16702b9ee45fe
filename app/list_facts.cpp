#include "app/list_facts.h"

#include "app/facts_text.h"
#include "platform/ui_text.h"

namespace qorvane {

namespace {

constexpr const char* kTotalsText = QORVANE_UI_TEXT("%1 件　推定サイズ 約 %2　長さ %3");
constexpr const char* kUnknownSizesText = QORVANE_UI_TEXT("（サイズ不明 %1 件）");
constexpr const char* kReadingText = QORVANE_UI_TEXT("（読み込み中 %1 件）");

}  // namespace

std::string ListTotalsText(const ListTotals& totals) {
    std::string text = UiText(kTotalsText, {std::to_string(totals.rows), FormatByteSize(totals.knownBytes),
                                            FormatDuration(totals.seconds)});
    if (totals.unknown > totals.reading) text += UiText(kUnknownSizesText, {std::to_string(totals.unknown - totals.reading)});
    if (totals.reading > 0) text += UiText(kReadingText, {std::to_string(totals.reading)});
    return text;
}

ListFacts::ListFacts(ProfileLoader loadProfile) : loadProfile_(std::move(loadProfile)) {}

std::vector<std::string> ListFacts::takeUnread(const JobList& list, std::size_t first, std::size_t last) {
    std::vector<std::string> paths;
    for (std::size_t row = first; row <= last && row < list.size(); ++row) {
        const std::string& path = list[row].Path;
        if (entries_.try_emplace(path).second) paths.push_back(path);
    }
    return paths;
}

void ListFacts::store(const std::string& path, std::optional<MediaFacts> facts) {
    Entry& entry = entries_[path];
    entry.read = true;
    entry.facts = std::move(facts);
}

const MediaFacts* ListFacts::facts(const std::string& path) const {
    const auto found = entries_.find(path);
    return found != entries_.end() && found->second.facts ? &*found->second.facts : nullptr;
}

bool ListFacts::reading(const std::string& path) const {
    const auto found = entries_.find(path);
    return found != entries_.end() && !found->second.read;
}

const EncodingProfile& ListFacts::profile(const std::string& name) {
    auto found = profiles_.find(name);
    if (found == profiles_.end()) found = profiles_.emplace(name, loadProfile_(name)).first;
    return found->second;
}

std::optional<JobSize> ListFacts::size(const EncodeJob& job) {
    const MediaFacts* known = facts(job.Path);
    if (known == nullptr) return std::nullopt;
    return EstimateJobSize(profile(job.Profile), *known);
}

ListTotals ListFacts::totals(const JobList& list) {
    ListTotals totals;
    totals.rows = list.size();
    for (std::size_t row = 0; row < list.size(); ++row) {
        const EncodeJob& job = list[row];
        if (reading(job.Path)) ++totals.reading;
        const MediaFacts* known = facts(job.Path);
        if (known != nullptr && known->duration) totals.seconds += *known->duration;
        const std::optional<JobSize> estimate = size(job);
        if (estimate && estimate->bytes) {
            totals.knownBytes += *estimate->bytes;
        } else {
            ++totals.unknown;
        }
    }
    return totals;
}

}  // namespace qorvane
