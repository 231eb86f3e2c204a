#pragma once

#include <sys/types.h>

#include <chrono>
#include <functional>
#include <string>
#include <utility>
#include <vector>

namespace vt::test {

/// A program run by a test: started in a directory with extra environment
/// settings and its standard output and error sent to files; killed when
/// the test is done with it.
class ChildProcess {
  public:
    ChildProcess() = default;
    ~ChildProcess();
    ChildProcess(const ChildProcess&) = delete;
    ChildProcess& operator=(const ChildProcess&) = delete;

    /// Starts the program; false when it could not be started. Output goes
    /// to `output` (both streams) unless it is empty.
    bool start(const std::string& program, const std::vector<std::string>& arguments,
               const std::string& directory,
               const std::vector<std::pair<std::string, std::string>>& environment,
               const std::string& output = "");
    /// The exit code (128 + signal when killed), or -1 when still running
    /// after the limit.
    int exitCode(std::chrono::milliseconds limit);
    /// Sends a signal; the exit code then comes from exitCode().
    void signal(int number);
    bool running() const { return m_pid > 0; }

  private:
    pid_t m_pid = -1;
};

/// Checks the condition every 20 ms until it holds or the limit passes; its last value.
bool waitFor(const std::function<bool()>& condition, std::chrono::milliseconds limit);
/// Runs a shell command; its standard output.
std::string runCommand(const std::string& command);

} // namespace vt::test
