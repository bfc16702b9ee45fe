#pragma once
// What every profile-editor test starts from: a Profile folder with the
// profile "Music" to edit, the main window's drop-down, and the boxes the
// test answers.

#include <gtest/gtest.h>

#include <QComboBox>
#include <filesystem>

#include "gui/fake_input_box.h"
#include "gui/gui_fixture.h"
#include "platform/code_page.h"
#include "profiles/ui/enc_set_dlg.h"
#include "support/temp_dir.h"

namespace qorvane::testing {

class EditorFixture : public ::testing::Test {
protected:
    EditorFixture() : profileDir(dir / "Profile"), path(profileDir / "Music.wpf") {
        std::filesystem::create_directories(profileDir);
    }

    // The services every test gives the editor; a test adds its own.
    ProfileEditorServices services() {
        ProfileEditorServices s;
        s.messages = &messages;
        s.inputBox = &input;
        s.codePage = &utf8;
        s.workArea = {0, 0, 1024, 738};
        s.proList = &proList;
        return s;
    }

    TempDir dir;
    std::filesystem::path profileDir;
    std::filesystem::path path;
    FakeMessageBoxes messages;
    FakeInputBox input;
    Utf8CodePage utf8;
    QComboBox proList;
};

}  // namespace qorvane::testing
