#include "app/job_recovery.h"

#include <algorithm>
#include <charconv>
#include <cstring>

#include "platform/ui_text.h"

namespace qorvane {

namespace {

constexpr std::string_view kFirstLine = "Qorvane job list recovery 1";
constexpr std::string_view kLastLine = "end";
constexpr JobField kFields[] = {JobField::File,  JobField::Profile, JobField::Title,
                                JobField::Author, JobField::Album,  JobField::Year,
                                JobField::Copy,  JobField::Path,    JobField::OutDir};
constexpr std::size_t kFieldCount = std::size(kFields);

constexpr const char* kRestoreQuestionText =
    QORVANE_UI_TEXT("前回は正常に終了しなかったため、変換リストが %1 件残っています。\n復元しますか?");
constexpr const char* kDamagedRecoveryText =
    QORVANE_UI_TEXT("前回の変換リストを復元できませんでした (ファイルが壊れています)。\n%1 に移しました。");
constexpr const char* kCannotKeepText = QORVANE_UI_TEXT(
    "変換リストを %1 に保存できません (空き容量がないか、書き込みできません)。\n正常に終了しなかった場合、変換リストの変更は失われます。");

// A field on one line: tabs separate the fields, so a backslash, a tab and
// the line ends inside one are written as escapes.
bool NeedsEscapes(std::string_view field) {
    // memchr looks at many bytes at a time: most fields need no escape at all.
    for (const char c : {'\\', '\t', '\n', '\r'}) {
        if (std::memchr(field.data(), c, field.size()) != nullptr) return true;
    }
    return false;
}

void AppendField(std::string& out, std::string_view field) {
    if (!NeedsEscapes(field)) {
        out.append(field);
        return;
    }
    for (const char c : field) {
        switch (c) {
            case '\\': out += "\\\\"; break;
            case '\t': out += "\\t"; break;
            case '\n': out += "\\n"; break;
            case '\r': out += "\\r"; break;
            default: out += c;
        }
    }
}

void AppendRow(std::string& out, const EncodeJob& job) {
    for (std::size_t i = 0; i < kFieldCount; ++i) {
        if (i > 0) out += '\t';
        AppendField(out, FieldOf(job, kFields[i]));
    }
    out += '\n';
}

// One line, cut off from the front of `text`; nothing without a line end.
std::optional<std::string_view> TakeLine(std::string_view& text) {
    const std::size_t end = text.find('\n');
    if (end == std::string_view::npos) return std::nullopt;
    const std::string_view line = text.substr(0, end);
    text.remove_prefix(end + 1);
    return line;
}

std::optional<std::size_t> Number(std::string_view text) {
    std::size_t value = 0;
    const auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), value);
    if (error != std::errc() || end != text.data() + text.size() || text.empty()) return std::nullopt;
    return value;
}

std::optional<EncodeJob> ParseRow(std::string_view line) {
    EncodeJob job;
    std::size_t field = 0;
    std::string* target = &FieldOf(job, kFields[0]);
    for (std::size_t i = 0; i < line.size(); ++i) {
        const char c = line[i];
        if (c == '\t') {
            if (++field == kFieldCount) return std::nullopt;
            target = &FieldOf(job, kFields[field]);
        } else if (c == '\\') {
            if (++i == line.size()) return std::nullopt;
            switch (line[i]) {
                case '\\': *target += '\\'; break;
                case 't': *target += '\t'; break;
                case 'n': *target += '\n'; break;
                case 'r': *target += '\r'; break;
                default: return std::nullopt;
            }
        } else if (c == '\r' || c == '\0') {
            // No field of ours holds a NUL: a path would be cut short at it.
            return std::nullopt;
        } else {
            *target += c;
        }
    }
    if (field + 1 != kFieldCount) return std::nullopt;
    return job;
}

}  // namespace

std::string RecoveryText(const std::vector<EncodeJob>& going, const JobList& waiting) {
    std::string out;
    out.reserve(64 + (going.size() + waiting.size()) * 256);
    out += kFirstLine;
    out += "\nrows ";
    out += std::to_string(going.size() + waiting.size());
    out += " going ";
    out += std::to_string(going.size());
    out += '\n';
    for (const EncodeJob& job : going) AppendRow(out, job);
    for (std::size_t row = 0; row < waiting.size(); ++row) AppendRow(out, waiting[row]);
    out += kLastLine;
    out += '\n';
    return out;
}

std::optional<RecoveredJobs> ParseRecoveryText(std::string_view text) {
    const auto first = TakeLine(text);
    const auto counts = TakeLine(text);
    if (!first || *first != kFirstLine || !counts) return std::nullopt;
    // "rows N going K"
    const std::size_t goingAt = counts->find(" going ");
    if (!counts->starts_with("rows ") || goingAt == std::string_view::npos) return std::nullopt;
    const auto rows = Number(counts->substr(5, goingAt - 5));
    const auto going = Number(counts->substr(goingAt + 7));
    if (!rows || !going || *going > *rows) return std::nullopt;

    RecoveredJobs recovered;
    recovered.going = *going;
    // Each row takes at least its eight tabs and a line end.
    if (*rows > text.size() / kFieldCount) return std::nullopt;
    recovered.rows.reserve(*rows);
    for (std::size_t i = 0; i < *rows; ++i) {
        const auto line = TakeLine(text);
        if (!line) return std::nullopt;
        auto job = ParseRow(*line);
        if (!job) return std::nullopt;
        recovered.rows.push_back(std::move(*job));
    }
    const auto last = TakeLine(text);
    if (!last || *last != kLastLine || !text.empty()) return std::nullopt;
    return recovered;
}

RecoveryKeeper::RecoveryKeeper(const JobList& list, std::function<std::vector<EncodeJob>()> going,
                               std::function<void(std::string)> save, std::function<std::uint64_t()> failedSaves,
                               std::function<void()> cannotKeep, int quietFactor)
    : list_(list),
      going_(std::move(going)),
      save_(std::move(save)),
      failedSaves_(std::move(failedSaves)),
      cannotKeep_(std::move(cannotKeep)),
      quietFactor_(quietFactor) {}

bool RecoveryKeeper::tick(bool force) {
    // A save that failed since the last tick is tried again with the list as
    // it stands now.
    const std::uint64_t failed = failedSaves_ ? failedSaves_() : 0;
    if (failed != seenFailures_) {
        seenFailures_ = failed;
        savedRevision_.reset();
    }
    // The user hears of it once, not at every failure, and not at the
    // program's end, where nobody may be there to answer.
    if (failed > 0 && !force && !toldCannotKeep_) {
        toldCannotKeep_ = true;  // before the box: ticks go on while it is up
        if (cannotKeep_) cannotKeep_();
    }
    const auto now = std::chrono::steady_clock::now();
    if (now < quietUntil_ && !force) return false;
    std::vector<EncodeJob> going = going_ ? going_() : std::vector<EncodeJob>{};
    if (savedRevision_ == list_.revision() && going == savedGoing_) return false;
    savedRevision_ = list_.revision();
    savedGoing_ = std::move(going);
    save_(list_.empty() && savedGoing_.empty() ? std::string() : RecoveryText(savedGoing_, list_));
    // However long the list and slow the machine, the ticks keep to about a
    // hundredth of the thread's time; but never more than half a second
    // quiet, so that the file stays within a second of the list (a tick
    // that was only held up by a busy machine must not stop the writes).
    const auto quiet = (std::chrono::steady_clock::now() - now) * quietFactor_;
    quietUntil_ = now + std::min<std::chrono::steady_clock::duration>(quiet, std::chrono::milliseconds(500));
    return true;
}

std::string RestoreQuestion(std::size_t rows) { return UiText(kRestoreQuestionText, {std::to_string(rows)}); }

std::string DamagedRecoveryMessage(const std::string& setAside) { return UiText(kDamagedRecoveryText, {setAside}); }

std::string CannotKeepRecoveryMessage(const std::string& folder) { return UiText(kCannotKeepText, {folder}); }

}  // namespace qorvane
