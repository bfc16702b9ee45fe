#pragma once
// A main window with a real batch behind it: the progress dialog, the batch
// controller, the real process launcher and tag writer, and encoders that
// are the stand-in or a few shell lines.

#include <QPushButton>
#include <QTest>
#include <QToolButton>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "app/job_list_queue.h"
#include "encode/ui/batch_controller.h"
#include "encode/ui/progress_dialog.h"
#include "gui/gui_fixture.h"
#include "platform/posix/posix_output_folders.h"
#include "platform/posix/posix_process_launcher.h"
#include "platform/posix/taglib_metadata_editor.h"
#include "support/fake_power_control.h"
#include "tags/job_tag_writer.h"
#include "platform/posix/media_tag_reader.h"

namespace qorvane::testing {

// One second of 16-bit stereo silence at 44.1 kHz, written by hand so the
// test needs nothing to make its input.
inline std::string SilentWave() {
    const std::uint32_t dataBytes = 44100 * 4;
    std::string out = "RIFF";
    auto u32 = [&out](std::uint32_t v) {
        for (int i = 0; i < 4; ++i) out += static_cast<char>((v >> (8 * i)) & 0xFF);
    };
    auto u16 = [&out](std::uint16_t v) {
        out += static_cast<char>(v & 0xFF);
        out += static_cast<char>(v >> 8);
    };
    u32(36 + dataBytes);
    out += "WAVEfmt ";
    u32(16);
    u16(1);
    u16(2);
    u32(44100);
    u32(44100 * 4);
    u16(4);
    u16(16);
    out += "data";
    u32(dataBytes);
    out.append(dataBytes, '\0');
    return out;
}

struct RecordingSounds final : SoundPlayer {
    std::vector<std::string> played;
    void play(const std::string& sound) override { played.push_back(sound); }
};

class BatchWindowTest : public MainWindowTest {
protected:
    void start(std::optional<EncoderLocation> location = std::nullopt) {
        TQorvbyOstrel& w = open();
        progress = std::make_unique<TProDlg>(&w);
        w.setProgressDialog(progress.get());
        queue = std::make_unique<JobListQueue>(w.jobs());
        const EncoderLocation encoder = location.value_or(EncoderLocation{
            std::string(QORVANE_ENCODER_DIR) + "/wmcmd.vbs", std::string(QORVANE_ENCODER_DIR) + "/qorvane-cscript", false});
        controller = std::make_unique<BatchController>(
            w, *progress,
            BatchController::Services{*queue, [this] { return CompletionSettingsOf(state.settings); }, state.workArea, *batchBoxes, tagWriter, sounds, power,
                                      launcher, outputFolders, dir / "encoder.log", [this] { ++settingsSaved; },
                                      [this] { return state.settings.parallel; }},
            encoder, state.paths.profileDir);
        QObject::connect(w.tbConv, &QToolButton::clicked, controller.get(), &BatchController::tbConvClick);
        batchRunning = [this] { return controller->converting(); };
        abortBatch = [this] { controller->abortBatch(); };
    }

    // A script host made of these shell lines, in the temporary directory.
    EncoderLocation host(const std::string& lines) {
        const std::string path = file("host.sh", "#!/bin/sh\n" + lines);
        std::filesystem::permissions(path, std::filesystem::perms::owner_all);
        return EncoderLocation{(dir / "wmcmd.vbs").string(), path, false};
    }
    // Shell lines that wait until the test makes the file `name`.
    std::string waitFor(const std::string& name) const {
        return "while [ ! -e \"" + (dir / name).string() + "\" ]; do sleep 0.02; done\n";
    }

    bool waitForIdle() {
        return QTest::qWaitFor([this] { return !controller->converting() && !progress->isVisible(); }, 120000);
    }

    // The boxes the batch raises; a test may show them on the screen.
    MessageBoxes* batchBoxes = &messages;
    PosixProcessLauncher launcher;
    PosixOutputFolders outputFolders;
    TagLibMetadataEditor editor;
    FileMediaTagReader sourceTags{cp932};
    MetadataJobTagWriter tagWriter{editor, sourceTags, [] { return true; }};
    RecordingSounds sounds;
    FakePowerControl power;
    int settingsSaved = 0;
    std::unique_ptr<TProDlg> progress;
    std::unique_ptr<JobListQueue> queue;
    std::unique_ptr<BatchController> controller;
};

}  // namespace qorvane::testing
