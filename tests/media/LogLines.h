#pragma once

#include <sstream>
#include <string>

namespace vt::test {

/// Number of log lines whose message (after the time and step columns) is exactly message.
inline int countMessages(const std::string& log_text, const std::string& message) {
    std::istringstream lines(log_text);
    std::string line;
    int count = 0;
    while (std::getline(lines, line)) {
        // "hh:mm:ss " then the step count right-aligned in four columns and a blank.
        constexpr std::size_t prefix = 9 + 5;
        if (line.size() >= prefix && line.compare(prefix, std::string::npos, message) == 0)
            count++;
    }
    return count;
}

/// True when some log line's message is exactly message.
inline bool hasMessage(const std::string& log_text, const std::string& message) {
    return countMessages(log_text, message) > 0;
}

} // namespace vt::test
