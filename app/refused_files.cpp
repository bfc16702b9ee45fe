#include "app/refused_files.h"

#include <algorithm>

#include "app/add_job.h"
#include "encode/run_outcome.h"
#include "platform/ui_text.h"

namespace qorvane {

namespace {

constexpr const char* kRefusedHeadText =
    QORVANE_UI_TEXT("次のファイルは変換できない種類のため追加しませんでした (%1 件)");
constexpr const char* kUnreadableFoldersHeadText =
    QORVANE_UI_TEXT("次のフォルダは読めないため、その中のファイルを追加しませんでした (%1 件)");

constexpr const char* kFolderNotReadableText = QORVANE_UI_TEXT("フォルダを読めません");

// A head, then a name a line, at most maxListed of them and how many more.
std::string ListedMessage(const char* head, const std::vector<std::string>& names, std::size_t maxListed,
                          std::string (*shown)(std::string_view)) {
    if (names.empty()) return {};
    std::string text = UiText(head, {std::to_string(names.size())}) + "\n\n";
    const std::size_t listed = std::min(names.size(), maxListed);
    for (std::size_t i = 0; i < listed; ++i) text += shown(names[i]) + "\n";
    if (listed < names.size()) text += MoreLine(names.size() - listed) + "\n";
    text.pop_back();  // no blank line under the list
    return text;
}

std::string WholePath(std::string_view path) { return std::string(path); }

}  // namespace

std::vector<std::string> RefusedFiles(const std::vector<std::string>& paths) {
    std::vector<std::string> refused;
    for (const std::string& path : paths) {
        if (!IsAcceptedMediaFile(path)) refused.push_back(path);
    }
    return refused;
}

std::string FolderNotReadableText() { return UiText(kFolderNotReadableText); }

std::string FormatRefusedFiles(const std::vector<std::string>& refused, std::size_t maxListed) {
    return ListedMessage(kRefusedHeadText, refused, maxListed, FileNamePart);
}

std::string FormatRefusedInputs(const std::vector<std::string>& refused,
                                const std::vector<std::string>& unreadableFolders, std::size_t maxListed) {
    std::string text = FormatRefusedFiles(refused, maxListed);
    const std::string folders = ListedMessage(kUnreadableFoldersHeadText, unreadableFolders, maxListed, WholePath);
    if (!text.empty() && !folders.empty()) text += "\n\n";
    return text + folders;
}

}  // namespace qorvane
