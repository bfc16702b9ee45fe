#include "support/private_bus.h"

#include <signal.h>
#include <sys/wait.h>

#include <chrono>
#include <stdexcept>
#include <thread>

#include "support/run_program.h"

namespace qorvane::testing {

PrivateBus::PrivateBus() {
    // Everyone may own any name and talk to anyone; no service is started
    // on demand.
    const auto config = dir_.write("bus.conf", R"(<!DOCTYPE busconfig PUBLIC "-//freedesktop//DTD D-Bus Bus Configuration 1.0//EN"
 "http://www.freedesktop.org/standards/dbus/1.0/busconfig.dtd">
<busconfig>
  <type>session</type>
  <listen>unix:path=)" + (dir_ / "bus").string() + R"(</listen>
  <auth>EXTERNAL</auth>
  <policy context="default">
    <allow send_destination="*" eavesdrop="true"/>
    <allow eavesdrop="true"/>
    <allow own="*"/>
  </policy>
</busconfig>
)");
    ProgramRun run;
    run.program = "dbus-daemon";
    run.argv = {"dbus-daemon", "--config-file=" + config.string(), "--nofork", "--print-address"};
    run.workingDirectory = dir_.path();
    run.outputFile = dir_ / "address";
    run.errorFile = dir_ / "errors";
    pid_ = StartProgram(run);
    // The address is printed once the bus listens.
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(10);
    while (std::chrono::steady_clock::now() < deadline) {
        const std::string printed = ReadFileBytes(run.outputFile);
        if (const auto end = printed.find('\n'); end != std::string::npos) {
            address_ = printed.substr(0, end);
            return;
        }
        std::this_thread::sleep_for(std::chrono::milliseconds(10));
    }
    ::kill(pid_, SIGKILL);
    ::waitpid(pid_, nullptr, 0);
    throw std::runtime_error("dbus-daemon did not start: " + ReadFileBytes(run.errorFile));
}

PrivateBus::~PrivateBus() {
    ::kill(pid_, SIGTERM);
    ::waitpid(pid_, nullptr, 0);
}

}  // namespace qorvane::testing
