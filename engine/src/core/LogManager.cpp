#include "vintrel/core/LogManager.h"

#include <cinttypes>
#include <cstdarg>
#include <cstdlib>
#include <string>

#include "vintrel/core/Config.h"
#include "vintrel/core/Text.h"

namespace vt {

namespace {

// Room kept below the size limit for the line that says the log was cut.
constexpr std::int64_t CUT_LINE_ROOM = 256;
// Enough of a message to name the cause of a failure in one line.
constexpr std::size_t MAX_LAST_MESSAGE = 300;
constexpr std::int64_t MEBIBYTE = 1 << 20;

// The message as printf would write it.
VT_PRINTF_FORMAT(1, 0) std::string format(const char* fmt, std::va_list args) {
    char small[512];
    std::va_list again;
    va_copy(again, args);
    const int length = std::vsnprintf(small, sizeof(small), fmt, args);
    std::string message;
    if (length < 0) {
        va_end(again);
        return message;
    }
    if (static_cast<std::size_t>(length) < sizeof(small)) {
        message.assign(small, static_cast<std::size_t>(length));
    } else {
        message.resize(static_cast<std::size_t>(length) + 1);
        std::vsnprintf(message.data(), message.size(), fmt, again);
        message.resize(static_cast<std::size_t>(length));
    }
    va_end(again);
    return message;
}

} // namespace

LogManager::LogManager()
    : m_do_flush(false), m_log_level(0), m_log_time_string(true), m_log_step_count(true), m_step_count(0),
      m_p_f(nullptr),
      m_max_file_bytes(static_cast<std::int64_t>(Config::getInstance().getLogfileMaxMb()) * MEBIBYTE),
      m_file_bytes(0), m_file_cut(false), m_message_count(0) {
    setType("LogManager");
}

void LogManager::restoreDefaults() {
    setLogLevel(0);
    setFlush(false);
    setLogTimeString(true);
    setLogStepCount(true);
}

LogManager::~LogManager() {
    if (m_p_f) {
        std::fclose(m_p_f);
        m_p_f = nullptr;
    }
}

LogManager& LogManager::getInstance() {
    static LogManager log_manager;
    return log_manager;
}

int LogManager::startUp() {
    if (refuseSecondStart())
        return -1;

    const char* env_name = std::getenv("VINTREL_LOG");
    const std::string file_name = env_name ? std::string(env_name) : Config::getInstance().getLogFile();

    m_p_f = std::fopen(file_name.c_str(), "w");
    if (!m_p_f) {
        writeLog("LogManager::startup(): Warning! Unable to open file '%s'.", file_name.c_str());
        return -1;
    }

    m_max_file_bytes = static_cast<std::int64_t>(Config::getInstance().getLogfileMaxMb()) * MEBIBYTE;
    m_file_bytes = 0;
    m_file_cut = false;
    Manager::startUp();
    writeLog(5, "LogManager::startUp(): successfully started.");
    return 0;
}

void LogManager::shutDown() {
    Manager::shutDown();
    writeLog(5, "LogManager::shutDown(): successfully stopped.");
    if (m_p_f) {
        std::fclose(m_p_f);
        m_p_f = nullptr;
    }
}

int LogManager::writeLog(const char* fmt, ...) {
    std::va_list args;
    va_start(args, fmt);
    const int result = writeLine(m_log_level, true, fmt, args);
    va_end(args);
    return result;
}

int LogManager::writeLog(int level, const char* fmt, ...) {
    std::va_list args;
    va_start(args, fmt);
    const int result = writeLine(level, false, fmt, args);
    va_end(args);
    return result;
}

int LogManager::writeLogAndStderr(const char* fmt, ...) {
    std::va_list args;
    va_start(args, fmt);
    std::va_list again;
    va_copy(again, args);
    const bool to_file = m_p_f != nullptr;
    const int result = writeLine(m_log_level, true, fmt, args);
    if (to_file)
        std::fprintf(stderr, "%s%s\n", linePrefix().c_str(), format(fmt, again).c_str());
    va_end(again);
    va_end(args);
    return result;
}

int LogManager::writeLine(int level, bool unlevelled, const char* fmt, std::va_list args) {
    if (level > m_log_level)
        return 0;

    // Formatted whole first, so that its size is known before any of it is written.
    const std::string message = format(fmt, args);
    if (unlevelled) {
        m_last_message.assign(message, 0, MAX_LAST_MESSAGE);
        m_message_count++;
    }
    if (m_p_f && m_file_cut)
        return 0;

    const std::string prefix = linePrefix();
    if (m_p_f) {
        const auto line_bytes = static_cast<std::int64_t>(prefix.size() + message.size() + 1);
        if (m_file_bytes + line_bytes > m_max_file_bytes - CUT_LINE_ROOM) {
            cutFile();
            return 0;
        }
        m_file_bytes += line_bytes;
    }

    std::FILE* p_target = m_p_f ? m_p_f : stderr;
    bool failed = false;
    if (std::fwrite(prefix.data(), 1, prefix.size(), p_target) != prefix.size())
        failed = true;
    if (std::fwrite(message.data(), 1, message.size(), p_target) != message.size())
        failed = true;
    if (std::fputc('\n', p_target) == EOF)
        failed = true;
    if (m_do_flush && std::fflush(p_target) != 0)
        failed = true;

    return failed ? -1 : static_cast<int>(message.size());
}

std::string LogManager::linePrefix() const {
    std::string prefix;
    if (m_log_time_string) {
        prefix += getTimeString();
        prefix += ' ';
    }
    if (m_log_step_count) {
        char step[16];
        std::snprintf(step, sizeof(step), "%4d ", m_step_count);
        prefix += step;
    }
    return prefix;
}

std::string LogManager::formatLine(const std::string& message) const { return linePrefix() + message + "\n"; }

int LogManager::getFileDescriptor() const { return m_p_f ? fileno(m_p_f) : -1; }

void LogManager::cutFile() {
    m_file_cut = true;
    std::fprintf(m_p_f,
                 "%sLogManager::writeLog(): Log cut here: the file reached its limit of %" PRId64
                 " bytes (logfile_max_mb); later lines are not written.\n",
                 linePrefix().c_str(), m_max_file_bytes);
    std::fflush(m_p_f);
}

void LogManager::setFlush(bool do_flush) {
    m_do_flush = do_flush;
    if (do_flush && m_p_f)
        std::fflush(m_p_f);
}

bool LogManager::getFlush() const { return m_do_flush; }

void LogManager::setLogLevel(int log_level) { m_log_level = log_level; }

int LogManager::getLogLevel() const { return m_log_level; }

void LogManager::setLogTimeString(bool log_time_string) { m_log_time_string = log_time_string; }

void LogManager::setLogStepCount(bool log_step_count) { m_log_step_count = log_step_count; }

void LogManager::setStepCount(int step_count) { m_step_count = step_count; }

int LogManager::getStepCount() const { return m_step_count; }

void LogManager::setMaxFileBytes(std::int64_t max_file_bytes) { m_max_file_bytes = max_file_bytes; }

std::int64_t LogManager::getMaxFileBytes() const { return m_max_file_bytes; }

const std::string& LogManager::getLastMessage() const { return m_last_message; }

std::uint64_t LogManager::getMessageCount() const { return m_message_count; }

} // namespace vt
