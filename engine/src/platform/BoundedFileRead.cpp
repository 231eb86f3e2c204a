#include "platform/BoundedFileRead.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstring>

namespace vt::platform {

namespace {

class Descriptor {
  public:
    explicit Descriptor(int fd) : m_fd(fd) {}
    ~Descriptor() {
        if (m_fd >= 0)
            close(m_fd);
    }
    Descriptor(const Descriptor&) = delete;
    Descriptor& operator=(const Descriptor&) = delete;
    int get() const { return m_fd; }

  private:
    int m_fd;
};

} // namespace

FileRead readRegularFile(const std::string& path, std::size_t max_bytes, std::string* p_text,
                         std::string* p_reason) {
    p_text->clear();
    // Non-blocking, so that opening a pipe with no writer cannot hang; the
    // kind of file is judged on what was opened, not on the name.
    const Descriptor file(open(path.c_str(), O_RDONLY | O_NONBLOCK | O_CLOEXEC | O_NOCTTY));
    if (file.get() < 0) {
        if (errno == ENOENT || errno == ENOTDIR)
            return FileRead::ABSENT;
        *p_reason = std::strerror(errno);
        return FileRead::UNREADABLE;
    }
    struct stat status {};
    if (fstat(file.get(), &status) != 0) {
        *p_reason = std::strerror(errno);
        return FileRead::UNREADABLE;
    }
    if (!S_ISREG(status.st_mode))
        return FileRead::NOT_REGULAR;

    char buffer[64 * 1024];
    for (;;) {
        const ssize_t got = read(file.get(), buffer, sizeof(buffer));
        if (got < 0) {
            if (errno == EINTR)
                continue;
            *p_reason = std::strerror(errno);
            p_text->clear();
            return FileRead::UNREADABLE;
        }
        if (got == 0)
            return FileRead::OK;
        const std::size_t room = max_bytes + 1 - p_text->size();
        p_text->append(buffer, std::min(static_cast<std::size_t>(got), room));
        if (p_text->size() > max_bytes) {
            p_text->clear();
            return FileRead::TOO_LARGE;
        }
    }
}

} // namespace vt::platform
