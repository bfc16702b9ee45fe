#pragma once
// A main window over a temporary directory, with message boxes and pickers
// that the test answers.

#include <gtest/gtest.h>

#include <QString>
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "app/app_state.h"
#include "app/ui/main_window.h"
#include "app/ui/pickers.h"
#include "gui/fake_input_box.h"
#include "platform/code_page.h"
#include "platform/message_box.h"
#include "platform/posix/cp932_code_page.h"
#include "platform/posix/posix_directory_walk.h"
#include "support/temp_dir.h"

namespace qorvane::testing {

class FakeMessageBoxes final : public MessageBoxes {
public:
    std::vector<std::string> shown;      // "caption: text"
    std::vector<std::string> questions;  // "caption: text"
    bool answerYes = false;
    // The further action of the last warning that offered one.
    std::function<void()> details;
    void warning(const std::string& caption, const std::string& text) override {
        shown.push_back(caption + ": " + text);
    }
    void warningWithDetails(const std::string& caption, const std::string& text, const std::string&,
                            const std::function<void()>& showDetails) override {
        shown.push_back(caption + ": " + text);
        details = showDetails;
    }
    bool question(const std::string& caption, const std::string& text) override {
        questions.push_back(caption + ": " + text);
        return answerYes;
    }
};

class FakePickers final : public Pickers {
public:
    std::optional<QString> folderAnswer;
    std::optional<QString> soundAnswer;
    std::vector<QString> folderStarts;
    std::vector<QString> soundDirs;

    std::optional<QString> chooseFolder(QWidget*, const QString& start) override {
        folderStarts.push_back(start);
        return folderAnswer;
    }
    std::optional<QString> chooseSoundFile(QWidget*, const QString& dir) override {
        soundDirs.push_back(dir);
        return soundAnswer;
    }
};

class MainWindowTest : public ::testing::Test {
protected:
    MainWindowTest();
    ~MainWindowTest() override;

    TQorvbyOstrel& open(const std::vector<std::string>& arguments = {});
    // A file in the temporary directory; its full path.
    std::string file(const std::string& name, const std::string& bytes = "") const;
    // Selects exactly these rows.
    void select(const std::vector<int>& rows);
    std::vector<std::string> column(JobField field) const;

    static constexpr WorkArea kArea{0, 0, 1024, 738};

    TempDir dir;
    AppState state;
    FakeMessageBoxes messages;
    FakePickers pickers;
    bool converting = false;
    // A test with a real batch answers these from its controller.
    std::function<bool()> batchRunning;
    std::function<void()> abortBatch;
    // Reads the tags of new rows; the ID3 reader unless a test sets it.
    TagReader readTags;
    FakeInputBox input;
    // Reads the sources' facts for the length, format and size columns; none: they stay empty.
    const MediaFactsReader* factsReader = nullptr;
    Utf8CodePage utf8;
    Cp932CodePage cp932;
    PosixDirectoryWalk walk;
    std::unique_ptr<TQorvbyOstrel> window;
};

}  // namespace qorvane::testing
