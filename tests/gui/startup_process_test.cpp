// The program started as a process: the sibling check, the encoder check
// and the command line, observed through the scripted-run switches
// (message boxes to stderr, a report of the started window to stdout).
#include <gtest/gtest.h>

#include <QLocalSocket>
#include <QProcess>
#include <QTest>
#include <filesystem>
#include <functional>

#include <signal.h>
#include <string>
#include <vector>

#include "app/job_recovery.h"
#include "platform/posix/lock_file_mutexes.h"
#include "support/small_disk.h"
#include "support/temp_dir.h"

namespace qorvane::testing {
namespace {

namespace fs = std::filesystem;

std::vector<std::string> Split(const std::string& text, char separator) {
    std::vector<std::string> parts;
    std::size_t start = 0;
    for (std::size_t end; (end = text.find(separator, start)) != std::string::npos; start = end + 1)
        parts.push_back(text.substr(start, end - start));
    parts.push_back(text.substr(start));
    return parts;
}

constexpr const char* kEncoderMissing = "qorv: Windows Media 9 Encoding Script がインストールされていません";

struct ProgramRun {
    int exitCode = -1;
    std::string out;
    std::string err;
};

class StartupProcessTest : public ::testing::Test {
protected:
    StartupProcessTest() {
        // The program keeps its files beside itself, so it runs from a copy.
        fs::copy_file(QORVANE_PROGRAM, program_);
        fs::create_directories(dir / "run");
        fs::permissions(dir / "run", fs::perms::owner_all);
    }

    void registry(const std::string& version) {
        dir.write("registry.ini", "[software\\Microsoft\\Windows Media\\Encoder]\nInstallDir=/opt/enc/\n" + version);
    }

    // Runs the program; `whileRunning`, when given, is called once it has
    // started and before it is waited for.
    ProgramRun run(const QStringList& arguments, const std::function<void(QProcess&)>& whileRunning = {}) {
        QProcess process;
        QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
        const auto at = [this](const char* name) { return QString::fromStdString((dir / name).string()); };
        env.insert("QT_QPA_PLATFORM", "offscreen");
        env.insert("LANGUAGE", "ja");  // the texts below are the Japanese ones
        env.insert("QORVANE_REGISTRY", at("registry.ini"));
        env.insert("XDG_RUNTIME_DIR", at("run"));
        env.insert("XDG_CONFIG_HOME", at("config"));
        env.insert("XDG_CACHE_HOME", at("cache"));
        env.insert("HOME", at(""));
        env.insert("XDG_STATE_HOME", at(".local/state"));
        env.insert("QORVANE_LOG", at("encoder.log"));
        env.insert("QORVANE_MESSAGE_BOXES", QString::fromStdString(messageBoxes));
        if (!whileRunning) env.insert("QORVANE_STARTUP_REPORT", "1");
        process.setProcessEnvironment(env);
        process.setWorkingDirectory(QString::fromStdString(dir.path().string()));
        process.start(QString::fromStdString(program_.string()), arguments);
        if (whileRunning) whileRunning(process);
        ProgramRun result;
        if (!process.waitForFinished(120000)) {
            process.kill();
            process.waitForFinished();
            ADD_FAILURE() << "the program did not end";
            return result;
        }
        result.exitCode = process.exitStatus() == QProcess::NormalExit ? process.exitCode() : -1;
        result.out = process.readAllStandardOutput().toStdString();
        result.err = process.readAllStandardError().toStdString();
        return result;
    }

    // The recovery files of the runs, in the state folder under HOME.
    std::vector<fs::path> recoveryFiles() const {
        std::vector<fs::path> files;
        std::error_code ec;
        for (const auto& entry : fs::directory_iterator(dir / ".local/state/qorvane", ec)) {
            if (entry.path().extension() == ".recovery") files.push_back(entry.path());
        }
        return files;
    }

    TempDir dir;
    std::string messageBoxes = "stderr";

private:
    fs::path program_ = dir / "qorvane";
};

TEST_F(StartupProcessTest, SiblingProgramRunningEndsSilently) {
    registry("Version=9.0.0.2980\n");
    LockFileMutexes mutexes(dir / "run");
    const auto sibling = mutexes.create("Ostrel_drux");
    ASSERT_NE(sibling, nullptr);
    const ProgramRun r = run({"a.wav"});
    EXPECT_EQ(r.exitCode, 0);
    EXPECT_EQ(r.out, "");  // no window was made
    EXPECT_EQ(r.err.find("qorv:"), std::string::npos);
    EXPECT_FALSE(fs::exists(dir / "Profile"));
    EXPECT_FALSE(fs::exists(dir / "qorvane.ini"));
}

TEST_F(StartupProcessTest, EncoderNotRegisteredShowsTheMessageAndEnds) {
    for (const std::string version : {"", "Version=10.0\n", "Version=\" 9.0\"\n", "Version=8.0\n"}) {
        registry(version);
        const ProgramRun r = run({});
        EXPECT_EQ(r.exitCode, 1) << version;
        EXPECT_NE(r.err.find(kEncoderMissing), std::string::npos) << version << r.err;
        EXPECT_EQ(r.out, "") << version;
    }
    fs::remove(dir / "registry.ini");
    const ProgramRun r = run({});
    EXPECT_NE(r.err.find(kEncoderMissing), std::string::npos);
    EXPECT_FALSE(fs::exists(dir / "qorvane.ini"));
}

TEST_F(StartupProcessTest, DebugSwitchAndOneRowFromTheCommandLine) {
    registry("Version=9.00.00.2980\n");
    dir.write("a.WAV", "RIFF");
    dir.write("qorvane-cscript", "#!/bin/sh\n");
    fs::permissions(dir / "qorvane-cscript", fs::perms::owner_all);
    const ProgramRun r = run({"-debug", "a.WAV", "b.txt"});
    EXPECT_EQ(r.exitCode, 0) << r.err;
    EXPECT_NE(r.out.find("caption: Qorvane Ver2.03\n"), std::string::npos) << r.out;
    EXPECT_NE(r.out.find("debug: 1\n"), std::string::npos);
    EXPECT_NE(r.out.find("script: /opt/enc/wmcmd.vbs\n"), std::string::npos);
    EXPECT_NE(r.out.find("cscript: " + (dir / "qorvane-cscript").string() + "\n"), std::string::npos);
    EXPECT_NE(r.out.find("profiles: Temporary\n"), std::string::npos);
    EXPECT_NE(r.out.find("rows: 1\nrow: a.WAV|Temporary||||||" + (dir / "a.WAV").string() + "|\n"),
              std::string::npos);
    // The file of a kind the encoder does not take is named, once.
    EXPECT_EQ(r.err.find("qorv:"), r.err.rfind("qorv:")) << r.err;
    EXPECT_NE(r.err.find("qorv: 次のファイルは変換できない種類のため追加しませんでした (1 件)\n\nb.txt\n"), std::string::npos)
        << r.err;
    EXPECT_TRUE(fs::is_directory(dir / "Profile"));
    EXPECT_TRUE(fs::exists(dir / "qorvane.ini"));  // written when the window closed
}

TEST_F(StartupProcessTest, DebugOnlyAsTheExactFirstArgument) {
    registry("Version=9.0\n");
    dir.write("Profile/Voice.wpf", "");
    const ProgramRun r = run({"a.wav", "-debug"});
    EXPECT_NE(r.out.find("debug: 0\n"), std::string::npos) << r.out;
    EXPECT_NE(r.out.find("profiles: Voice\n"), std::string::npos);
    // a.wav does not exist: its row stays, with the message, and nothing follows.
    EXPECT_NE(r.out.find("rows: 1\n"), std::string::npos);
    EXPECT_NE(r.err.find("qorv: ファイル " + (dir / "a.wav").string() + " は開けません"), std::string::npos);
}

// Opened from the menu or with "Open with…", the files come as the desktop
// entry's Exec line hands them over (%F: each local file an argument of its
// own) and become rows exactly as on the command line.
TEST_F(StartupProcessTest, FilesOpenedThroughTheDesktopEntryBecomeRows) {
    registry("Version=9.0\n");
    const fs::path first = dir.write("two words.wav", "RIFF");
    const fs::path second = dir.write("B.WAV", "RIFF");
    QStringList exec;
    for (const std::string& line : Split(ReadFileBytes(QORVANE_DESKTOP_ENTRY), '\n')) {
        if (line.starts_with("Exec=")) exec = QString::fromStdString(line.substr(5)).split(' ', Qt::SkipEmptyParts);
    }
    ASSERT_EQ(exec.value(0), "qorvane");
    ASSERT_EQ(exec.indexOf("%F"), exec.size() - 1) << "files are handed over as local paths, last";
    QStringList arguments = exec.mid(1, exec.size() - 2);
    arguments << QString::fromStdString(first.string()) << QString::fromStdString(second.string());

    const ProgramRun r = run(arguments);
    EXPECT_EQ(r.exitCode, 0) << r.err;
    EXPECT_NE(r.out.find("rows: 2\nrow: two words.wav|Temporary||||||" + first.string() + "|\nrow: B.WAV|Temporary||||||" +
                         second.string() + "|\n"),
              std::string::npos)
        << r.out;
}

TEST_F(StartupProcessTest, ATerminationSignalEndsTheProgramInGoodOrder) {
    registry("Version=9.0.0.2980\n");
    for (const int signal : {SIGTERM, SIGHUP, SIGQUIT}) {
        SCOPED_TRACE(signal);
        fs::remove(dir / "qorvane.ini");
        fs::remove(dir / "run" / "Ostrel_qorv.lock");
        const ProgramRun r = run({}, [this, signal](QProcess& process) {
            // The program's own lock is taken once its start has come that far.
            ASSERT_TRUE(QTest::qWaitFor([this] { return fs::exists(dir / "run" / "Ostrel_qorv.lock"); }, 60000));
            ::kill(static_cast<pid_t>(process.processId()), signal);
        });
        EXPECT_EQ(r.exitCode, 0) << r.err;
        EXPECT_TRUE(fs::exists(dir / "qorvane.ini"));  // the settings were kept
    }
}

// One copy of the window per user: a later start hands its files to the
// running copy, whose list gains them, and ends at once without a window of
// its own; without files it only brings that window to the front. A socket
// file that a crashed copy left does not keep the first copy from
// listening, and peers that send garbage or nothing do not disturb it.
TEST_F(StartupProcessTest, ALaterStartHandsItsFilesToTheRunningCopy) {
    registry("Version=9.0.0.2980\n");
    const fs::path socket = dir.write("run/qorvane.socket", "");
    const fs::path first = dir.write("a.wav", "RIFF");
    const fs::path second = dir.write("sub/B.WAV", "RIFF");
    const auto rows = [this] {
        std::vector<std::string> paths;
        const std::vector<fs::path> files = recoveryFiles();
        if (files.size() != 1) return paths;
        const auto jobs = ParseRecoveryText(ReadFileBytes(files[0]));
        for (const EncodeJob& job : jobs ? jobs->rows : std::vector<EncodeJob>{}) paths.push_back(job.Path);
        return paths;
    };
    const std::vector<std::string> handed = {first.string(), second.string()};

    const ProgramRun running = run({}, [&](QProcess& process) {
        ASSERT_TRUE(QTest::qWaitFor([&] { return fs::is_socket(socket); }, 60000));
        const QString name = QString::fromStdString(socket.string());
        QLocalSocket garbage;
        QLocalSocket silent;
        garbage.connectToServer(name);
        silent.connectToServer(name);
        ASSERT_TRUE(garbage.waitForConnected(5000) && silent.waitForConnected(5000));
        garbage.write("GET / HTTP/1.0\r\n\r\n");
        ASSERT_TRUE(garbage.waitForBytesWritten(5000));

        // Handed over while the silent peer is still connected; a folder
        // goes over as a folder and is listed by the running copy.
        const ProgramRun later = run({"-debug", "a.wav", "sub"});
        EXPECT_EQ(later.exitCode, 0) << later.err;
        EXPECT_EQ(later.out, "");  // no window of its own to report
        EXPECT_TRUE(QTest::qWaitFor([&] { return rows() == handed; }, 30000)) << ::testing::PrintToString(rows());

        const ProgramRun bare = run({});
        EXPECT_EQ(bare.exitCode, 0) << bare.err;
        EXPECT_EQ(bare.out, "");
        ::kill(static_cast<pid_t>(process.processId()), SIGTERM);
    });
    EXPECT_EQ(running.exitCode, 0) << running.err;
    EXPECT_EQ(rows(), handed);  // the list, kept at the end, gained nothing more
}

// Killed outright with rows in the list: the next start offers them back,
// first, before its own command line's files; a normal end leaves nothing to
// offer; a damaged file is set aside with a note.
TEST_F(StartupProcessTest, TheJobListOfAKilledRunIsOfferedBackAtTheNextStart) {
    registry("Version=9.0.0.2980\n");
    for (const char* name : {"a.wav", "b.wav", "c.wav"}) dir.write(name, "RIFF");
    run({"a.wav", "b.wav"}, [this](QProcess& process) {
        ASSERT_TRUE(QTest::qWaitFor([this] { return !recoveryFiles().empty(); }, 60000));
        process.kill();
    });
    ASSERT_EQ(recoveryFiles().size(), 1u);

    messageBoxes = "stderr-yes";
    const ProgramRun restored = run({"c.wav"});
    EXPECT_NE(restored.err.find("変換リストが 2 件残っています"), std::string::npos) << restored.err;
    const std::string row = "|Temporary||||||";
    EXPECT_NE(restored.out.find("rows: 3\nrow: a.wav" + row + (dir / "a.wav").string() + "|\nrow: b.wav" + row +
                                (dir / "b.wav").string() + "|\nrow: c.wav"),
              std::string::npos)
        << restored.out;
    EXPECT_TRUE(recoveryFiles().empty());  // closed normally

    dir.write(".local/state/qorvane/jobs-1-x.recovery", "Qorvane job list recovery 1\nrows 5 going 0\n");
    const ProgramRun damaged = run({});
    EXPECT_NE(damaged.err.find("復元できませんでした"), std::string::npos) << damaged.err;
    EXPECT_NE(damaged.out.find("rows: 0\n"), std::string::npos);
    EXPECT_TRUE(fs::exists(dir / ".local/state/qorvane/jobs-1-x.recovery.damaged"));
}

// With the state folder full, a restored list cannot be written by the copy
// that restored it: the file it came from stays, and a kill loses nothing.
TEST_F(StartupProcessTest, ARestoredListStaysInItsFileWhileTheStateFolderIsFull) {
    registry("Version=9.0.0.2980\n");
    SmallDisk disk(dir / ".local/state/qorvane", "256k");
    ASSERT_TRUE(disk.mounted()) << "mounting the small state folder needs root";
    for (const char* name : {"a.wav", "b.wav", "c.wav"}) dir.write(name, "RIFF");
    run({"a.wav", "b.wav", "c.wav"}, [this](QProcess& process) {
        ASSERT_TRUE(QTest::qWaitFor([this] { return !recoveryFiles().empty(); }, 60000));
        process.kill();
    });
    ASSERT_EQ(recoveryFiles().size(), 1u);
    const fs::path left = recoveryFiles()[0];
    const std::string rows = ReadFileBytes(left);
    disk.leaveFree(0);

    messageBoxes = "stderr-yes";
    std::string err;
    run({}, [&err](QProcess& process) {
        EXPECT_TRUE(QTest::qWaitFor(
            [&] {
                err += process.readAllStandardError().toStdString();
                return err.find("保存できません") != std::string::npos;
            },
            60000))
            << err;
        process.kill();
    });
    EXPECT_NE(err.find("変換リストが 3 件残っています"), std::string::npos) << err;
    EXPECT_EQ(ReadFileBytes(left), rows);

    const ProgramRun again = run({});
    EXPECT_NE(again.err.find("変換リストが 3 件残っています"), std::string::npos) << again.err;
    EXPECT_NE(again.out.find("rows: 3\n"), std::string::npos) << again.out;
}

}  // namespace
}  // namespace qorvane::testing
