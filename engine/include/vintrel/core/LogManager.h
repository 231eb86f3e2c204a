#pragma once

#include <cstdarg>
#include <cstdint>
#include <cstdio>
#include <string>

#include "vintrel/core/Manager.h"

#if defined(__GNUC__)
#define VT_PRINTF_FORMAT(fmt_index, args_index) __attribute__((format(printf, fmt_index, args_index)))
#else
#define VT_PRINTF_FORMAT(fmt_index, args_index)
#endif

namespace vt {

/// The engine's single text log. Every line carries the time of day and the
/// game loop's step count. Before start-up and after shut-down lines go to
/// standard error. The file never grows past its size limit: the line that
/// would pass it is replaced by one saying the log was cut there, and later
/// lines are dropped.
class LogManager : public Manager {
  public:
    /// The one log manager, made on first use.
    static LogManager& getInstance();
    ~LogManager() override;

    /// Opens the log file named by VINTREL_LOG or the configuration, with the
    /// configured size limit; 0 or -1.
    int startUp() override;
    /// Closes the log file; later lines go to standard error.
    void shutDown() override;

    /// Writes an unlevelled line. Returns the message's length, -1 when any
    /// piece failed to be written, 0 when the log was already cut.
    int writeLog(const char* fmt, ...) VT_PRINTF_FORMAT(2, 3);
    /// Writes the line only when level is not above the log level; returns 0
    /// when it was filtered out.
    int writeLog(int level, const char* fmt, ...) VT_PRINTF_FORMAT(3, 4);

    /// Writes an unlevelled line that a person must see: when it goes to the
    /// log file, the same line goes to standard error too, since the file
    /// may be buffered or unread. Returns as writeLog.
    int writeLogAndStderr(const char* fmt, ...) VT_PRINTF_FORMAT(2, 3);

    /// Flush the file after every line when true; turning it on also flushes
    /// the lines written so far.
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
    /// Puts back the level, flushing and line format a fresh process starts
    /// with (level 0, no flushing, time and step shown).
    void restoreDefaults();
    /// The game loop's step count that lines show; the game manager sets it
    /// as the loop advances, so the log needs nothing above it.
    void setStepCount(int step_count);
    /// The step count that lines show now.
    int getStepCount() const;
    /// Size limit of the open log file in bytes, the cut line included; the
    /// configuration sets it at each start-up.
    void setMaxFileBytes(std::int64_t max_file_bytes);
    /// Size limit of the open log file in bytes.
    std::int64_t getMaxFileBytes() const;
    /// The message of the latest unlevelled line (without the time and step),
    /// at most a few hundred characters; start-up failures name their cause
    /// on standard error with it.
    const std::string& getLastMessage() const;
    /// Number of unlevelled lines written so far in this process.
    std::uint64_t getMessageCount() const;
    /// The message as writeLog would write it as a line now: time, step
    /// count, message and line feed. For code that must write the line where
    /// the log manager cannot run, such as a signal handler.
    std::string formatLine(const std::string& message) const;
    /// The descriptor of the open log file, for writing formatLine() lines
    /// from a signal handler (flush first); -1 when lines go to standard error.
    int getFileDescriptor() const;

  private:
    LogManager();
    int writeLine(int level, bool unlevelled, const char* fmt, std::va_list args) VT_PRINTF_FORMAT(4, 0);
    std::string linePrefix() const;
    /// Writes the line that says the file reached its limit; nothing follows it.
    void cutFile();

    bool m_do_flush;
    int m_log_level;
    bool m_log_time_string;
    bool m_log_step_count;
    int m_step_count;
    std::FILE* m_p_f;
    std::int64_t m_max_file_bytes;
    std::int64_t m_file_bytes; // written to the open file so far
    bool m_file_cut;
    std::string m_last_message;
    std::uint64_t m_message_count;
};

} // namespace vt
