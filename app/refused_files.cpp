#include "app/refused_files.h"

#include <algorithm>

#include "app/add_job.h"
#include "encode/run_outcome.h"
#include "platform/ui_text.h"

namespace qorvane {

namespace {

constexpr const char* kRefusedHeadText =
    QORVANE_UI_TEXT("次のファイルは変換できない種類のため追加しませんでした (%1 件)");

}  // namespace

std::vector<std::string> RefusedFiles(const std::vector<std::string>& paths) {
    std::vector<std::string> refused;
    for (const std::string& path : paths) {
        if (!IsAcceptedMediaFile(path)) refused.push_back(path);
    }
    return refused;
}

std::string FormatRefusedFiles(const std::vector<std::string>& refused, std::size_t maxListed) {
    if (refused.empty()) return {};
    std::string text = UiText(kRefusedHeadText, {std::to_string(refused.size())}) + "\n\n";
    const std::size_t listed = std::min(refused.size(), maxListed);
    for (std::size_t i = 0; i < listed; ++i) text += FileNamePart(refused[i]) + "\n";
    if (listed < refused.size()) text += MoreLine(refused.size() - listed) + "\n";
    text.pop_back();  // no blank line under the list
    return text;
}

}  // namespace qorvane
