#include "vintrel/core/LogManager.h"

#include <cstdarg>
#include <cstdlib>
#include <string>

#include "vintrel/core/Config.h"
#include "vintrel/core/GameManager.h"
#include "vintrel/core/Utility.h"

namespace vt {

LogManager::LogManager()
    : m_do_flush(false), m_log_level(0), m_log_time_string(true), m_log_step_count(true), m_p_f(nullptr) {
    setType("LogManager");
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
    if (isStarted()) {
        writeLog("%s::startup(): Warning! %s already started.", getType().c_str(), getType().c_str());
        return -1;
    }

    const char* env_name = std::getenv("VINTREL_LOG");
    const std::string file_name = env_name ? std::string(env_name) : Config::getInstance().getLogFile();

    m_p_f = std::fopen(file_name.c_str(), "w");
    if (!m_p_f) {
        writeLog("LogManager::startup(): Warning! Unable to open file '%s'.", file_name.c_str());
        return -1;
    }

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
    const int result = writeLine(m_log_level, fmt, args);
    va_end(args);
    return result;
}

int LogManager::writeLog(int level, const char* fmt, ...) {
    std::va_list args;
    va_start(args, fmt);
    const int result = writeLine(level, fmt, args);
    va_end(args);
    return result;
}

int LogManager::writeLine(int level, const char* fmt, std::va_list args) {
    if (level > m_log_level)
        return 0;

    std::FILE* p_target = m_p_f ? m_p_f : stderr;
    bool failed = false;

    if (m_log_time_string && std::fprintf(p_target, "%s ", getTimeString()) < 0)
        failed = true;
    if (m_log_step_count && std::fprintf(p_target, "%4d ", GameManager::getInstance().getStepCount()) < 0)
        failed = true;
    const int length = std::vfprintf(p_target, fmt, args);
    if (length < 0)
        failed = true;
    if (std::fputc('\n', p_target) == EOF)
        failed = true;
    if (m_do_flush && std::fflush(p_target) != 0)
        failed = true;

    return failed ? -1 : length;
}

void LogManager::setFlush(bool do_flush) { m_do_flush = do_flush; }

bool LogManager::getFlush() const { return m_do_flush; }

void LogManager::setLogLevel(int log_level) { m_log_level = log_level; }

int LogManager::getLogLevel() const { return m_log_level; }

void LogManager::setLogTimeString(bool log_time_string) { m_log_time_string = log_time_string; }

void LogManager::setLogStepCount(bool log_step_count) { m_log_step_count = log_step_count; }

} // namespace vt
