#include "core/LogLineBuffer.h"

#include <cstdio>
#include <utility>

#include "vintrel/core/LogManager.h"

namespace vt {

namespace {

// A message this long without a line feed is written as it stands, so that
// a writer that never ends its line cannot grow the buffer without end.
constexpr std::size_t MAX_LINE = 1000;

} // namespace

LogLineBuffer::LogLineBuffer(std::string prefix, std::streambuf* p_elsewhere)
    : m_prefix(std::move(prefix)), m_p_elsewhere(p_elsewhere), m_owner(std::this_thread::get_id()), m_line(),
      m_detached(false) {}

LogLineBuffer::~LogLineBuffer() = default;

void LogLineBuffer::finishLine() {
    if (m_line.empty())
        return;
    LogManager::getInstance().writeLog("%s%s", m_prefix.c_str(), m_line.c_str());
    m_line.clear();
}

void LogLineBuffer::detach() {
    m_detached = true;
    m_line.clear();
}

void LogLineBuffer::take(char ch) {
    if (ch == '\n') {
        finishLine();
        return;
    }
    if (ch == '\r' || ch == '\0')
        return;
    m_line += ch;
    if (m_line.size() >= MAX_LINE)
        finishLine();
}

LogLineBuffer::int_type LogLineBuffer::overflow(int_type ch) {
    if (traits_type::eq_int_type(ch, traits_type::eof()))
        return traits_type::not_eof(ch);
    const char byte = traits_type::to_char_type(ch);
    xsputn(&byte, 1);
    return ch;
}

std::streamsize LogLineBuffer::xsputn(const char* p_text, std::streamsize count) {
    if (m_detached) {
        std::fwrite(p_text, 1, static_cast<std::size_t>(count), stderr);
        return count;
    }
    if (std::this_thread::get_id() != m_owner) {
        if (m_p_elsewhere != nullptr)
            m_p_elsewhere->sputn(p_text, count);
        return count;
    }
    for (std::streamsize i = 0; i < count; i++)
        take(p_text[i]);
    return count;
}

} // namespace vt
