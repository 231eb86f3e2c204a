#include "platform/AbortReport.h"

#include <signal.h>
#include <unistd.h>

#include <algorithm>
#include <cstddef>
#include <cstring>

namespace vt::platform {

namespace {

// The handler may only touch what is ready beforehand: fixed buffers.
constexpr std::size_t MAX_LINE = 512;

struct Report {
    char log_line[MAX_LINE];
    std::size_t log_length;
    int log_fd;
    char stderr_line[MAX_LINE];
    std::size_t stderr_length;
    int exit_code;
};

Report g_report{};
struct sigaction g_previous {};
bool g_armed = false;

std::size_t copyLine(const std::string& line, char* p_buffer) {
    const std::size_t length = std::min(line.size(), MAX_LINE);
    std::memcpy(p_buffer, line.data(), length);
    return length;
}

void writeAll(int fd, const char* p_bytes, std::size_t length) {
    while (length > 0) {
        const ssize_t written = ::write(fd, p_bytes, length);
        if (written <= 0)
            return;
        p_bytes += written;
        length -= static_cast<std::size_t>(written);
    }
}

void onAbort(int) {
    if (g_report.log_fd != -1)
        writeAll(g_report.log_fd, g_report.log_line, g_report.log_length);
    writeAll(STDERR_FILENO, g_report.stderr_line, g_report.stderr_length);
    _exit(g_report.exit_code);
}

} // namespace

AbortReport::AbortReport(const std::string& log_line, int log_fd, const std::string& stderr_line,
                         int exit_code)
    : m_armed(false) {
    if (g_armed)
        return;
    g_report.log_length = copyLine(log_line, g_report.log_line);
    g_report.log_fd = log_fd;
    g_report.stderr_length = copyLine(stderr_line, g_report.stderr_line);
    g_report.exit_code = exit_code;
    struct sigaction action {};
    action.sa_handler = onAbort;
    sigemptyset(&action.sa_mask);
    if (sigaction(SIGABRT, &action, &g_previous) != 0)
        return;
    g_armed = true;
    m_armed = true;
}

AbortReport::~AbortReport() {
    if (!m_armed)
        return;
    sigaction(SIGABRT, &g_previous, nullptr);
    g_armed = false;
}

} // namespace vt::platform
