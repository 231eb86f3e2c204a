#pragma once

#include <cstdarg>
#include <cstdio>

#include "vintrel/core/Manager.h"

#if defined(__GNUC__)
#define VT_PRINTF_FORMAT(fmt_index, args_index) __attribute__((format(printf, fmt_index, args_index)))
#else
#define VT_PRINTF_FORMAT(fmt_index, args_index)
#endif

namespace vt {

/// The engine's single text log. Every line carries the time of day and the
/// game loop's step count. Before start-up and after shut-down lines go to
/// standard error.
class LogManager : public Manager {
  public:
    /// The one log manager, made on first use.
    static LogManager& getInstance();
    ~LogManager() override;

    /// Opens the log file named by VINTREL_LOG or the configuration; 0 or -1.
    int startUp() override;
    /// Closes the log file; later lines go to standard error.
    void shutDown() override;

    /// Writes an unlevelled line. Returns the message's length, or -1 when
    /// any piece failed to be written.
    int writeLog(const char* fmt, ...) VT_PRINTF_FORMAT(2, 3);
    /// Writes the line only when level is not above the log level; returns 0
    /// when it was filtered out.
    int writeLog(int level, const char* fmt, ...) VT_PRINTF_FORMAT(3, 4);

    /// Flush the file after every line when true.
    void setFlush(bool do_flush = true);
    /// True when every line is flushed to the file as soon as it is written.
    bool getFlush() const;
    /// Levelled lines above this level are left out; 0 (the default) keeps only unlevelled ones.
    void setLogLevel(int log_level);
    /// The level set by setLogLevel().
    int getLogLevel() const;
    /// Whether lines begin with the time of day (hh:mm:ss).
    void setLogTimeString(bool log_time_string);
    /// Whether lines carry the game loop's step count after the time.
    void setLogStepCount(bool log_step_count);

  private:
    LogManager();
    int writeLine(int level, const char* fmt, std::va_list args);

    bool m_do_flush;
    int m_log_level;
    bool m_log_time_string;
    bool m_log_step_count;
    std::FILE* m_p_f;
};

} // namespace vt
