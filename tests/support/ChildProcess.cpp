#include "support/ChildProcess.h"

#include <fcntl.h>
#include <signal.h>
#include <stdlib.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstdio>
#include <thread>

namespace vt::test {

ChildProcess::~ChildProcess() {
    if (m_pid > 0) {
        kill(m_pid, SIGKILL);
        waitpid(m_pid, nullptr, 0);
    }
}

bool ChildProcess::start(const std::string& program, const std::vector<std::string>& arguments,
                         const std::string& directory,
                         const std::vector<std::pair<std::string, std::string>>& environment,
                         const std::string& output) {
    std::vector<std::string> words{program};
    words.insert(words.end(), arguments.begin(), arguments.end());
    m_pid = fork();
    if (m_pid == 0) {
        if (chdir(directory.c_str()) != 0)
            _exit(127);
        for (const auto& [name, value] : environment)
            setenv(name.c_str(), value.c_str(), 1);
        if (!output.empty()) {
            const int fd = open(output.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
            dup2(fd, STDOUT_FILENO);
            dup2(fd, STDERR_FILENO);
        }
        std::vector<char*> argv;
        for (std::string& word : words)
            argv.push_back(word.data());
        argv.push_back(nullptr);
        execv(program.c_str(), argv.data());
        _exit(127);
    }
    return m_pid > 0;
}

int ChildProcess::exitCode(std::chrono::milliseconds limit) {
    int status = 0;
    if (m_pid <= 0 || !waitFor([&] { return waitpid(m_pid, &status, WNOHANG) == m_pid; }, limit))
        return -1;
    m_pid = -1;
    return WIFEXITED(status) ? WEXITSTATUS(status) : 128 + WTERMSIG(status);
}

void ChildProcess::signal(int number) {
    if (m_pid > 0)
        kill(m_pid, number);
}

bool waitFor(const std::function<bool()>& condition, std::chrono::milliseconds limit) {
    const auto end = std::chrono::steady_clock::now() + limit;
    while (std::chrono::steady_clock::now() < end) {
        if (condition())
            return true;
        std::this_thread::sleep_for(std::chrono::milliseconds(20));
    }
    return condition();
}

std::string runCommand(const std::string& command) {
    std::string out;
    FILE* p_pipe = popen(command.c_str(), "r");
    if (p_pipe == nullptr)
        return out;
    char buffer[256];
    while (std::fgets(buffer, sizeof(buffer), p_pipe) != nullptr)
        out += buffer;
    pclose(p_pipe);
    return out;
}

} // namespace vt::test
