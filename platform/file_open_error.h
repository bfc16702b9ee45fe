#pragma once
// The error a file that cannot be opened for reading surfaces as. Its text is
// the one the user sees: "ファイル <path> は開けません".

#include <stdexcept>
#include <string>
#include <utility>

namespace qorvane {

class FileOpenError : public std::runtime_error {
public:
    explicit FileOpenError(std::string path)
        : std::runtime_error("ファイル " + path + " は開けません"),
          path_(std::move(path)) {}

    const std::string& path() const noexcept { return path_; }

private:
    std::string path_;
};

}  // namespace qorvane
