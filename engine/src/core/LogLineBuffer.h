#pragma once

#include <cstddef>
#include <streambuf>
#include <string>
#include <thread>

namespace vt {

/// A stream buffer that turns what a library writes to its error stream into
/// log lines, each with the time and step of the moment it was written and a
/// prefix naming its origin. A line is written when it ends; one that grows
/// past a few hundred characters is written as it stands. The log manager
/// runs on one thread: text written on any other thread goes on to
/// `p_elsewhere` (the stream's own buffer before) as it would have.
class LogLineBuffer : public std::streambuf {
  public:
    /// Prefixes lines with `prefix`; `p_elsewhere` may be null (such text is then dropped).
    LogLineBuffer(std::string prefix, std::streambuf* p_elsewhere);
    /// Drops an unended line (call finishLine() first).
    ~LogLineBuffer() override;
    LogLineBuffer(const LogLineBuffer&) = delete;
    LogLineBuffer& operator=(const LogLineBuffer&) = delete;

    /// Writes the unended line, if any, as a line of its own.
    void finishLine();
    /// From now on all text goes to standard error as it comes: for the end
    /// of the process, when the log and the other buffer may be gone.
    void detach();
    /// Where text from other threads goes.
    [[nodiscard]] std::streambuf* getElsewhere() const { return m_p_elsewhere; }

  protected:
    int_type overflow(int_type ch) override;
    std::streamsize xsputn(const char* p_text, std::streamsize count) override;

  private:
    void take(char ch);

    std::string m_prefix;
    std::streambuf* m_p_elsewhere;
    std::thread::id m_owner;
    std::string m_line;
    bool m_detached;
};

} // namespace vt
