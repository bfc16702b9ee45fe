#include "encode/run_outcome.h"

#include <system_error>

#include "platform/ui_text.h"

namespace qorvane {

namespace {

// How runs end, and the report of those that gave no file.
constexpr const char* kDoneText = QORVANE_UI_TEXT("完了しました");
constexpr const char* kAbortedText = QORVANE_UI_TEXT("中断しました");
constexpr const char* kInputMissingText = QORVANE_UI_TEXT("ファイルが見つかりません");
constexpr const char* kUnsupportedInputText = QORVANE_UI_TEXT("この種類のファイルは変換できません");
constexpr const char* kQuoteInPathText = QORVANE_UI_TEXT("名前に \" を含むファイルは変換できません");
constexpr const char* kOutputIsInputText = QORVANE_UI_TEXT("入力ファイルと同じ名前には出力できません");
constexpr const char* kCannotCreateFolderText = QORVANE_UI_TEXT("フォルダを作成できません");
constexpr const char* kEncoderNotStartedText = QORVANE_UI_TEXT("エンコーダを起動できません");
constexpr const char* kNoOutputText = QORVANE_UI_TEXT("出力ファイルが作成されませんでした");
constexpr const char* kEncoderExitedText = QORVANE_UI_TEXT("エンコーダがエラーで終了しました (終了コード %1)");
constexpr const char* kEncoderKilledText = QORVANE_UI_TEXT("エンコーダが強制終了されました (シグナル %1)");
constexpr const char* kEncoderFailedText = QORVANE_UI_TEXT("エンコーダがエラーで終了しました");
constexpr const char* kTagsNotWrittenText = QORVANE_UI_TEXT("タグを書き込めませんでした (%1)");
constexpr const char* kReportHeadText = QORVANE_UI_TEXT("変換できなかったファイルがあります (%1 件)");
constexpr const char* kReportMoreText = QORVANE_UI_TEXT("ほか %1 件");
constexpr const char* kReportLogText = QORVANE_UI_TEXT("詳しくはログをご覧ください:");

}  // namespace

RunResult RefusalResult(CommandLineRefusal refusal) {
    switch (refusal) {
        case CommandLineRefusal::InputMissing: return RunResult::InputMissing;
        case CommandLineRefusal::UnsupportedInput: return RunResult::UnsupportedInput;
        case CommandLineRefusal::QuoteInPath: return RunResult::QuoteInPath;
    }
    return RunResult::InputMissing;
}

FileStamp StampOf(const std::filesystem::path& file) {
    std::error_code ec;
    FileStamp stamp;
    stamp.regularFile = std::filesystem::is_regular_file(file, ec);
    if (!stamp.regularFile) return stamp;
    stamp.size = std::filesystem::file_size(file, ec);
    stamp.modified = std::filesystem::last_write_time(file, ec);
    return stamp;
}

bool WritesOverInput(const std::filesystem::path& input, const std::filesystem::path& output) {
    // An output that does not exist yet replaces nothing.
    std::error_code ec;
    return std::filesystem::equivalent(input, output, ec) && !ec;
}

RunOutcome JudgeEncoderRun(const ProcessEnd& end, const FileStamp& before, const FileStamp& after) {
    const bool exitedWell = end.kind == ProcessEnd::Kind::Exited && end.code == 0;
    if (!exitedWell) return {RunResult::EncoderFailed, end};
    const bool written = after.regularFile && after != before;
    return {written ? RunResult::Good : RunResult::NoOutput, end};
}

std::string OutcomeText(const RunOutcome& outcome) {
    return outcome.result == RunResult::Good ? UiText(kDoneText) : FailureReason(outcome);
}

bool IsReportedFailure(const RunOutcome& outcome) {
    if (outcome.result == RunResult::Good) return !outcome.tagsNotWritten.empty();
    return outcome.result != RunResult::Aborted;
}

std::string FailureReason(const RunOutcome& outcome) {
    switch (outcome.result) {
        case RunResult::Good:
            if (outcome.tagsNotWritten.empty()) return {};
            return UiText(kTagsNotWrittenText, {outcome.tagsNotWritten});
        case RunResult::Aborted: return UiText(kAbortedText);
        case RunResult::InputMissing: return UiText(kInputMissingText);
        case RunResult::UnsupportedInput: return UiText(kUnsupportedInputText);
        case RunResult::QuoteInPath: return UiText(kQuoteInPathText);
        case RunResult::OutputIsInput: return UiText(kOutputIsInputText);
        case RunResult::FolderNotCreated: return UiText(kCannotCreateFolderText);
        case RunResult::EncoderNotStarted: return UiText(kEncoderNotStartedText);
        case RunResult::NoOutput: return UiText(kNoOutputText);
        case RunResult::EncoderFailed:
            switch (outcome.end.kind) {
                case ProcessEnd::Kind::Exited: return UiText(kEncoderExitedText, {std::to_string(outcome.end.code)});
                case ProcessEnd::Kind::Killed: return UiText(kEncoderKilledText, {std::to_string(outcome.end.code)});
                case ProcessEnd::Kind::Running:
                case ProcessEnd::Kind::Unknown: break;
            }
            return UiText(kEncoderFailedText);
    }
    return {};
}

std::string MoreLine(std::size_t more) { return UiText(kReportMoreText, {std::to_string(more)}); }

std::string FormatFailureReport(const std::vector<RunFailure>& failures, const std::string& logFile,
                                std::size_t maxListed) {
    std::string text = UiText(kReportHeadText, {std::to_string(failures.size())}) + "\n\n";
    std::size_t listed = 0;
    for (const RunFailure& failure : failures) {
        if (listed == maxListed) break;
        text += failure.file;
        if (!failure.output.empty()) text += " → " + failure.output;
        text += ": " + FailureReason(failure.outcome) + "\n";
        ++listed;
    }
    if (listed < failures.size()) text += MoreLine(failures.size() - listed) + "\n";
    if (!logFile.empty()) text += "\n" + UiText(kReportLogText) + "\n" + logFile;
    return text;
}

}  // namespace qorvane
