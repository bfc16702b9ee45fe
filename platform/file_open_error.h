#pragma once
// The error a file that cannot be opened for reading surfaces as. Its text is
// the one the user sees: "ファイル <path> は開けません" (in the user's language).

#include <stdexcept>
#include <string>
#include <utility>

#include "platform/ui_text.h"

namespace qorvane {

inline constexpr const char* kFileOpenErrorText = QORVANE_UI_TEXT("ファイル %1 は開けません");

class FileOpenError : public std::runtime_error {
public:
    explicit FileOpenError(std::string path)
        : std::runtime_error(UiText(kFileOpenErrorText, {path})),
          path_(std::move(path)) {}

    const std::string& path() const noexcept { return path_; }

private:
    std::string path_;
};

}  // namespace qorvane
