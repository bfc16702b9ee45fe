// Program entry: the sibling check, the start-up loader, the main window and
// the progress dialog, then the message loop.

#include <QApplication>
#include <QLocale>
#include <QIcon>
#include <QSessionManager>
#include <QSocketNotifier>
#include <QTimer>
#include <QToolButton>
#include <filesystem>
#include <functional>
#include <iostream>
#include <memory>
#include <string>
#include <vector>

#include "app/app_state.h"
#include "app/hand_over.h"
#include "app/job_recovery.h"
#include "app/space_check.h"
#include "app/startup.h"
#include "app/ui/job_list_facts.h"
#include "app/ui/dbus_notifier.h"
#include "app/ui/launcher_entry.h"
#include "app/ui/main_window.h"
#include "app/ui/pickers.h"
#include "app/ui/qt_desktop.h"
#include "app/ui/qt_input_box.h"
#include "app/ui/qt_message_boxes.h"
#include "app/ui/scripted_run.h"
#include "app/ui/single_instance.h"
#include "app/ui/translation.h"
#include "app/ui/window_folder_watch.h"
#include "app/job_list_queue.h"
#include "encode/batch_desktop.h"
#include "encode/ui/batch_controller.h"
#include "encode/ui/progress_dialog.h"
#include "platform/code_page.h"
#include "platform/posix/batch_log.h"
#include "platform/posix/canberra_sound_player.h"
#include "platform/posix/cp932_code_page.h"
#include "platform/posix/ini_registry.h"
#include "platform/posix/lock_file_mutexes.h"
#include "platform/posix/logind_power_control.h"
#include "platform/posix/media_facts_reader.h"
#include "platform/posix/logind_sleep_inhibitor.h"
#include "platform/posix/media_tag_reader.h"
#include "platform/posix/posix_directory_walk.h"
#include "platform/posix/posix_durable_text_file.h"
#include "platform/posix/posix_output_folders.h"
#include "platform/posix/posix_process_launcher.h"
#include "platform/posix/recovery_store.h"
#include "platform/posix/statvfs_free_space.h"
#include "platform/posix/termination_signals.h"
#include "platform/posix/taglib_metadata_editor.h"
#include "tags/job_tag_writer.h"
#include "platform/posix/user_directories.h"

namespace {

using namespace qorvane;

struct OfferedJobs {
    std::vector<EncodeJob> rows;                    // to restore
    std::vector<RecoveryStore::Leftover> restored;  // their files
};

// The job lists that copies of the program which ended uncleanly left
// behind: a damaged one is set aside with a note; the rest, together, are
// offered back once. Declined, the files go at once; restored, once this
// copy's own file holds the rows.
OfferedJobs OfferLeftoverJobs(RecoveryStore& store, MessageBoxes& messages) {
    std::vector<EncodeJob> going;
    std::vector<EncodeJob> waiting;
    std::vector<RecoveryStore::Leftover> readable;
    for (const RecoveryStore::Leftover& leftover : store.claimLeftovers()) {
        const std::optional<RecoveredJobs> jobs = ParseRecoveryText(leftover.text);
        if (!jobs) {
            messages.warning(kMessageCaption, DamagedRecoveryMessage(store.setAside(leftover).string()));
            continue;
        }
        // The jobs that were being encoded go back to the top.
        going.insert(going.end(), jobs->rows.begin(), jobs->rows.begin() + static_cast<std::ptrdiff_t>(jobs->going));
        waiting.insert(waiting.end(), jobs->rows.begin() + static_cast<std::ptrdiff_t>(jobs->going), jobs->rows.end());
        readable.push_back(leftover);
    }
    going.insert(going.end(), waiting.begin(), waiting.end());
    if (!going.empty() && messages.question(kMessageCaption, RestoreQuestion(going.size()))) {
        return {std::move(going), std::move(readable)};
    }
    for (const RecoveryStore::Leftover& leftover : readable) store.discard(leftover);
    return {};
}

}  // namespace

int main(int argc, char** argv) {

    // From here on SIGTERM, SIGHUP, SIGINT and SIGQUIT are noted and answered
    // once the window runs (see below), never by dying with an encoder left
    // behind; SIGPIPE is ignored.
    TerminationSignals::Catch();

    // While the sibling program runs, this one ends at once, silently.
    LockFileMutexes mutexes(RuntimeDirectory());
    if (mutexes.exists(kSiblingMutexName)) return 0;

    QApplication app(argc, argv);  // takes out the options Qt itself understands
    // The windows in the user's language: Japanese, else English.
    const ProgramTranslation translation(QLocale::system().uiLanguages());
    // The icon of the desktop entry (dist/icons), built in at every size.
    QIcon icon;
    for (const int size : {16, 22, 24, 32, 48, 64, 128, 256}) {
        icon.addFile(QStringLiteral(":/icons/hicolor/%1x%1/qorvane.png").arg(size), QSize(size, size));
    }
    QApplication::setWindowIcon(icon);
    QGuiApplication::setDesktopFileName(QStringLiteral("qorvane"));
    const std::vector<std::string> arguments(argv + 1, argv + argc);

    // A termination signal: until the window runs, the program just ends
    // (a message box of the start-up included); then it ends in good order.
    bool signalledEarly = false;
    std::function<void()> onTerminationSignal = [&signalledEarly] {
        signalledEarly = true;
        QCoreApplication::exit(128 + TerminationSignals::Received());
    };
    std::unique_ptr<QSocketNotifier> signalNotifier;
    if (TerminationSignals::NotifyFd() >= 0) {
        signalNotifier = std::make_unique<QSocketNotifier>(TerminationSignals::NotifyFd(), QSocketNotifier::Read);
        QObject::connect(signalNotifier.get(), &QSocketNotifier::activated, &app, [&signalNotifier, &onTerminationSignal] {
            signalNotifier->setEnabled(false);  // once is enough
            onTerminationSignal();
        });
    }

    QtMessageBoxes screenBoxes;
    StreamMessageBoxes stderrBoxes(std::cerr, QuestionsAnsweredYes());
    MessageBoxes& messages = MessageBoxesToStderr() ? static_cast<MessageBoxes&>(stderrBoxes) : screenBoxes;

    AppState state;
    const std::filesystem::path program = QCoreApplication::applicationFilePath().toStdString();
    state.paths = ChooseAppPaths(program, ConfigHome(), IsWritableDirectory);

    const QtDesktop desktop;
    const IniRegistry registry(IniRegistry::DefaultLocations(state.paths.installConfigDir));
    if (!RunStartupLoader(desktop, registry, state)) {
        messages.warning(kMessageCaption, UiText(kEncoderMissingMessage));
        return 1;
    }

    // One copy of the window per user: while one runs, this start hands it
    // its files and ends; else this copy holds the mutex until the end.
    const SingleInstance single = TakeOrHandOver(mutexes, HandOverSocketPath(RuntimeDirectory()), arguments);
    if (single.endWith) return *single.endWith;
    QApplication::setApplicationName(QString::fromUtf8(kApplicationTitle));

    // The job list survives a crash: what an earlier copy left is offered
    // back before the command line's files join the list.
    RecoveryStore recovery(DefaultRecoveryFolder());
    OfferedJobs offered = OfferLeftoverJobs(recovery, messages);
    state.restoredJobs = std::move(offered.rows);
    // Their files go only once this copy's own file holds the rows.
    recovery.adopt(std::move(offered.restored));

    const Cp932CodePage cp932;
    // A new row takes five texts from its file's tags; its pictures can stay unread.
    const FileMediaTagReader rowTags(cp932, FileMediaTagReader::Pictures::Skip);
    QtPickers pickers;
    MainWindowServices services;
    services.messages = &messages;
    services.pickers = &pickers;
    services.readTags = TagReaderOf(rowTags);
    const PosixDirectoryWalk walk;
    services.walk = &walk;
    const FileMediaFactsReader factsReader;
    services.factsReader = &factsReader;
    const Utf8CodePage systemCodePage;  // names typed for profiles are UTF-8 here
    QtInputBox inputBox;
    services.inputBox = &inputBox;
    services.codePage = &systemCodePage;
    BatchController* batch = nullptr;
    services.isConverting = [&batch] { return batch && batch->converting(); };
    services.abortBatch = [&batch] {
        if (batch) batch->abortBatch();
    };
    services.jobsGoing = [&batch] { return batch ? batch->runner().jobsGoing() : 1; };
    WindowFolderWatch* folderWatch = nullptr;
    services.settingsChanged = [&folderWatch, &state] {
        if (folderWatch) folderWatch->apply(state.settings.watch);
    };
    QTimer recoveryTimer;
    services.closing = [&recoveryTimer, &recovery] {
        recoveryTimer.stop();
        recovery.finish();  // a normal end: the next start begins with an empty list
    };
    RecoveryKeeper* keeping = nullptr;

    TQorvbyOstrel window(state, services, arguments);
    TProDlg progress(&window);
    window.setProgressDialog(&progress);
    if (single.server) {
        single.server->setReceiver([&window](const std::vector<std::string>& files) {
            BringToFront(window);
            window.AddFiles(files);  // as a drop: during a batch, the rows join it
        });
    }

    // The batch: its thread starts with the window and ends before it.
    JobListQueue queue(window.jobs());
    TagLibMetadataEditor editor;
    const FileMediaTagReader sourceTags(cp932);
    MetadataJobTagWriter tagWriter(editor, sourceTags, [&state] { return state.settings.cover; });
    CanberraSoundPlayer sounds;
    LogindPowerControl power;
    PosixProcessLauncher launcher;
    const PosixOutputFolders outputFolders;
    // Around a batch: the computer kept awake, the progress on the launcher
    // icon, a notice at the end. Each is silent where its service is missing.
    LogindSleepInhibitor sleepLock;
    LauncherEntryProgress launcherEntry(QGuiApplication::desktopFileName());
    DBusNotifier notifier;
    BatchDesktop::Services around;
    around.sleep = &sleepLock;
    around.launcher = &launcherEntry;
    around.notifier = &notifier;
    around.notifyAtEnd = [&state] { return state.settings.notify; };
    BatchDesktop batchDesktop(std::move(around));
    BatchController controller(window, progress,
                               {queue, [&state] { return CompletionSettingsOf(state.settings); }, state.workArea, messages, tagWriter, sounds, power,
                                launcher, outputFolders, DefaultBatchLogPath(),
                                [&window, &keeping, &recovery] {
                                    // The list is on disk as it is (empty, after a
                                    // whole batch); should the power-off be refused,
                                    // it goes on being kept.
                                    window.saveSettings();
                                    if (keeping) keeping->tick(true);
                                    recovery.flush();
                                },
                                [&state] { return state.settings.parallel; }},
                               state.encoder, state.paths.profileDir);
    batch = &controller;
    // Before a batch starts: do the outputs fit where they go?
    const StatvfsFreeSpace freeSpace;
    controller.setStartCheck([&window, &freeSpace, &messages] {
        return ConfirmSpaceForBatch(window.jobs(), window.listFacts().facts(), freeSpace, messages);
    });
    controller.setBatchListener(&batchDesktop);

    // Watched folders: what lands in them becomes rows, converted without a
    // click; whatever the watch has to say goes to the batch log.
    const auto watchLog = [](const std::string& line) {
        AppendToBatchLog(DefaultBatchLogPath(), LogTimestampLine() + "-- " + line + "\n");
    };
    PosixDurableTextFile watchRecord(DefaultRecoveryFolder() / "watched");
    WindowFolderWatch watching(window, WatchIntoWindow(window, controller, watchRecord, walk, watchLog));
    // The scripted runs of the tests put an observer of their own in its place.
    controller.setRunObserver(&watching);
    folderWatch = &watching;
    watching.apply(state.settings.watch);

    // A few times a second, the list as it stands goes to the recovery file
    // (written on a thread of its own) when it has changed or could not be
    // written last time.
    RecoveryKeeper keeper(
        window.jobs(), [&controller] { return controller.runner().jobsGoingRows(); },
        [&recovery](std::string text) { recovery.save(std::move(text)); },
        [&recovery] { return recovery.failedWrites(); },
        [&messages, &recovery] {
            messages.warning(kMessageCaption, CannotKeepRecoveryMessage(recovery.ownFile().parent_path().string()));
        });
    recoveryTimer.setInterval(500);
    QObject::connect(&recoveryTimer, &QTimer::timeout, [&keeper] { keeper.tick(); });
    keeping = &keeper;
    keeper.tick();
    recoveryTimer.start();
    QObject::connect(window.tbConv, &QToolButton::clicked, &controller, &BatchController::tbConvClick);

    // The session ending, or SIGTERM, SIGHUP, SIGINT or SIGQUIT: stop the
    // batch (its encoder is ended when the controller goes), keep the
    // settings, quit.
    // exit() sends the windows no close event, so nobody is asked whether
    // to stop the batch: nobody may be there to answer.
    // The list is kept as it was, the jobs being encoded included, for the
    // next start to offer.
    const auto endInGoodOrder = [&controller, &window, &keeper, &recoveryTimer] {
        keeper.tick(true);
        recoveryTimer.stop();
        controller.abortBatch();
        window.saveSettings();
        QTimer::singleShot(0, qApp, [] { QCoreApplication::exit(0); });
    };
    QObject::connect(&app, &QGuiApplication::commitDataRequest, &window,
                     [endInGoodOrder](QSessionManager&) { endInGoodOrder(); });
    onTerminationSignal = endInGoodOrder;
    if (signalledEarly) endInGoodOrder();  // heard while a start-up message was up

    window.show();
    ScheduleScriptedRun(window, state, pickers, controller, progress);
    const int status = QApplication::exec();
    controller.setRunObserver(nullptr);  // the watch goes first
    recoveryTimer.stop();  // the keeper goes before the controller, which still handles events
    return status;
}
