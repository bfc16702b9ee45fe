// qorvane-cli: the program's rules without windows.
#include <sys/ioctl.h>
#include <unistd.h>

#include <csignal>
#include <cstdlib>
#include <iostream>
#include <memory>
#include <string>
#include <vector>

#include "app/app_paths.h"
#include "app/watch_files.h"
#include "cli/cli_commands.h"
#include "platform/posix/batch_log.h"
#include "platform/posix/cp932_code_page.h"
#include "platform/posix/ini_registry.h"
#include "platform/posix/job_control_signals.h"
#include "cli/info_command.h"
#include "encode/encoding_profile.h"
#include "platform/posix/media_facts_reader.h"
#include "platform/posix/logind_sleep_inhibitor.h"
#include "platform/posix/inotify_folder_watcher.h"
#include "platform/posix/media_tag_reader.h"
#include "platform/posix/polling_folder_watcher.h"
#include "platform/posix/posix_directory_walk.h"
#include "platform/posix/posix_durable_text_file.h"
#include "platform/posix/statvfs_free_space.h"
#include "platform/posix/posix_output_folders.h"
#include "platform/posix/posix_process_launcher.h"
#include "platform/posix/recovery_store.h"
#include "platform/posix/termination_signals.h"
#include "platform/posix/taglib_metadata_editor.h"
#include "platform/posix/user_directories.h"

int main(int argc, char** argv) {
    std::vector<std::string> args(argv + 1, argv + argc);
    // 8-bit tag text of the files this program meets is CP932 or Latin-1.
    const qorvane::Cp932CodePage cp932;
    const qorvane::FileMediaTagReader tagReader(cp932);
    const qorvane::PosixDirectoryWalk walk;
    const qorvane::FileMediaFactsReader factsReader;
    const qorvane::StatvfsFreeSpace freeSpace;
    // The profiles and the encoder are where the desktop program finds them.
    const auto appPaths = [argv] {
        std::filesystem::path program = qorvane::ThisProgramPath();
        if (program.empty()) program = std::filesystem::absolute(argv[0]);
        return qorvane::ChooseAppPaths(program, qorvane::ConfigHome(), qorvane::IsWritableDirectory);
    };
    // Runs `batch` with the Linux services: `encode` and `watch` alike.
    const auto withServices = [&appPaths, &cp932, &tagReader, &walk, &factsReader, &freeSpace](
                                  qorvane::cli::EncodeOptions& options, const auto& batch) {
        // On a terminal each run keeps one line updating in place; piped or
        // redirected, the output is the plain lines only.
        if (::isatty(STDOUT_FILENO) && !options.quiet) options.progress = true;
        if (winsize size{}; ::ioctl(STDOUT_FILENO, TIOCGWINSZ, &size) == 0 && size.ws_col > 0) {
            options.columns = size.ws_col;
        }
        const qorvane::AppPaths paths = appPaths();
        qorvane::IniRegistry registry(qorvane::IniRegistry::DefaultLocations(paths.installConfigDir));
        qorvane::PosixProcessLauncher launcher;
        const qorvane::PosixOutputFolders outputFolders;
        qorvane::TagLibMetadataEditor editor;
        // A new row takes five texts from its file's tags; its pictures can stay unread.
        const qorvane::FileMediaTagReader rowTags(cp932, qorvane::FileMediaTagReader::Pictures::Skip);
        const char* path = std::getenv("PATH");
        // Ctrl-C, Ctrl-\, a kill, a closed terminal or a closed pipe stop the
        // batch in good order: the encoder is in a process group of its own
        // and hears of it only from us.
        qorvane::TerminationSignals::Catch();
        // A crash gives the lock against sleep back with the process.
        qorvane::LogindSleepInhibitor sleepLock;
        return batch(qorvane::cli::HeadlessServices{registry, launcher, outputFolders, editor, paths.hostDir,
                                                    paths.profileDir, path ? path : "", qorvane::DefaultBatchLogPath(),
                                                    rowTags, tagReader, &qorvane::TerminationSignals::Received,
                                                    SIGPIPE, &sleepLock, &factsReader, &freeSpace, walk, {}, {}, {}});
    };
    const auto encode = [&withServices](qorvane::cli::EncodeOptions options, std::ostream& out, std::ostream& err) {
        // Ctrl-Z suspends the batch, encoders and all; SIGUSR1 stops it after
        // the runs going.
        qorvane::JobControlSignals::Catch();
        return withServices(options, [&](qorvane::cli::HeadlessServices services) {
            services.suspendAsked = &qorvane::JobControlSignals::TakeSuspendRequest;
            services.suspend = &qorvane::JobControlSignals::SuspendSelf;
            services.stopAfterAsked = &qorvane::JobControlSignals::StopAfterRunsGoingAsked;
            return qorvane::cli::RunHeadlessBatch(options, std::move(services), out, err);
        });
    };
    const auto watch = [&withServices, &walk](qorvane::cli::WatchOptions options, std::ostream& out, std::ostream& err) {
        // inotify, unless polling is asked for or inotify cannot be had.
        std::unique_ptr<qorvane::FolderWatcher> watcher;
        if (!options.poll) {
            auto inotify = std::make_unique<qorvane::InotifyFolderWatcher>();
            if (inotify->valid()) {
                watcher = std::move(inotify);
            } else {
                err << "watch: inotify cannot be used; looking every 60 s\n";
                options.poll = std::chrono::seconds(60);
            }
        }
        if (!watcher) {
            watcher = std::make_unique<qorvane::PollingFolderWatcher>(*options.poll, qorvane::WatchListingOf(walk));
        }
        qorvane::PosixDurableTextFile record(qorvane::DefaultRecoveryFolder() / "watched");
        // Ctrl-Z suspends the watch, its encoders with it.
        qorvane::JobControlSignals::Catch();
        return withServices(options.encode, [&](qorvane::cli::HeadlessServices services) {
            services.suspendAsked = &qorvane::JobControlSignals::TakeSuspendRequest;
            services.suspend = &qorvane::JobControlSignals::SuspendSelf;
            return qorvane::cli::RunHeadlessWatch(options, std::move(services),
                                                  {*watcher, record, qorvane::WatchListingOf(walk)}, out, err);
        });
    };
    const auto info = [&appPaths, &factsReader](const std::string& profile, const std::vector<std::string>& files,
                                                std::ostream& out, std::ostream& err) {
        const auto file = qorvane::cli::ProfileFileOf(profile, appPaths().profileDir);
        return qorvane::cli::PrintInfo(files, qorvane::PrepareEncodingProfile(qorvane::LoadProfile(file)), factsReader,
                                       out, err);
    };
    return qorvane::cli::Run(args, std::cout, std::cerr, cp932, tagReader, walk, encode, watch, info);
}
