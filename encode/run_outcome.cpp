#include "encode/run_outcome.h"

#include <system_error>

namespace qorvane {

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

RunOutcome JudgeEncoderRun(const ProcessEnd& end, const FileStamp& before, const FileStamp& after) {
    const bool exitedWell = end.kind == ProcessEnd::Kind::Exited && end.code == 0;
    if (!exitedWell) return {RunResult::EncoderFailed, end};
    const bool written = after.regularFile && after != before;
    return {written ? RunResult::Good : RunResult::NoOutput, end};
}

std::string OutcomeText(const RunOutcome& outcome) {
    return outcome.result == RunResult::Good ? "完了しました" : FailureReason(outcome);
}

bool IsReportedFailure(RunResult result) { return result != RunResult::Good && result != RunResult::Aborted; }

std::string FailureReason(const RunOutcome& outcome) {
    switch (outcome.result) {
        case RunResult::Good: return {};
        case RunResult::Aborted: return "中断しました";
        case RunResult::InputMissing: return "ファイルが見つかりません";
        case RunResult::UnsupportedInput: return "この種類のファイルは変換できません";
        case RunResult::QuoteInPath: return "名前に \" を含むファイルは変換できません";
        case RunResult::FolderNotCreated: return "フォルダを作成できません";
        case RunResult::EncoderNotStarted: return "エンコーダを起動できません";
        case RunResult::NoOutput: return "出力ファイルが作成されませんでした";
        case RunResult::EncoderFailed:
            switch (outcome.end.kind) {
                case ProcessEnd::Kind::Exited:
                    return "エンコーダがエラーで終了しました (終了コード " + std::to_string(outcome.end.code) + ")";
                case ProcessEnd::Kind::Killed:
                    return "エンコーダが強制終了されました (シグナル " + std::to_string(outcome.end.code) + ")";
                case ProcessEnd::Kind::Running:
                case ProcessEnd::Kind::Unknown: break;
            }
            return "エンコーダがエラーで終了しました";
    }
    return {};
}

std::string FormatFailureReport(const std::vector<RunFailure>& failures, const std::string& logFile,
                                std::size_t maxListed) {
    std::string text = "変換できなかったファイルがあります (" + std::to_string(failures.size()) + " 件)\n\n";
    std::size_t listed = 0;
    for (const RunFailure& failure : failures) {
        if (listed == maxListed) break;
        text += failure.file;
        if (!failure.output.empty()) text += " → " + failure.output;
        text += ": " + FailureReason(failure.outcome) + "\n";
        ++listed;
    }
    if (listed < failures.size()) text += "ほか " + std::to_string(failures.size() - listed) + " 件\n";
    if (!logFile.empty()) text += "\n詳しくはログをご覧ください:\n" + logFile;
    return text;
}

}  // namespace qorvane
