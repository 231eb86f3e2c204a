#pragma once

#include <string>

namespace vt::platform {

/// While one lives, abort() anywhere in the process ends it with a report
/// instead of a core dump and a silent log: the window library aborts when
/// it loses its display, and a game's log must still say why it ended. The
/// handler writes log_line to log_fd (when not -1) and stderr_line to
/// standard error, then ends the process with exit_code. Lines are written
/// as given (end them with a line feed) and cut at a few hundred bytes. One
/// at a time; the handler in place before comes back with the destructor.
class AbortReport {
  public:
    AbortReport(const std::string& log_line, int log_fd, const std::string& stderr_line, int exit_code);
    ~AbortReport();
    AbortReport(const AbortReport&) = delete;
    AbortReport& operator=(const AbortReport&) = delete;

  private:
    bool m_armed;
};

} // namespace vt::platform
