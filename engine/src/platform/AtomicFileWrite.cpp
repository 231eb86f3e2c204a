#include "platform/AtomicFileWrite.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <climits>
#include <cstdlib>
#include <cstring>

namespace vt::platform {

namespace {

// A link is written through: the file it names is replaced, the link stays.
std::string resolveLink(const std::string& path) {
    struct stat status {};
    if (lstat(path.c_str(), &status) != 0 || !S_ISLNK(status.st_mode))
        return path;
    char resolved[PATH_MAX];
    return realpath(path.c_str(), resolved) != nullptr ? std::string(resolved) : path;
}

// Creates the new file beside the target, under a name no one else uses;
// its descriptor, or -1 with the reason.
int createBeside(const std::string& target, std::string* p_name, std::string* p_reason) {
    const std::string stem = target + ".partial-" + std::to_string(getpid());
    for (int attempt = 0; attempt < 100; attempt++) {
        *p_name = attempt == 0 ? stem : stem + "-" + std::to_string(attempt);
        const int fd = open(p_name->c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC | O_NOFOLLOW, 0666);
        if (fd >= 0)
            return fd;
        if (errno != EEXIST)
            break;
    }
    *p_reason = std::string("cannot create a file in its folder: ") + std::strerror(errno);
    p_name->clear();
    return -1;
}

int writeAll(int fd, const std::string& bytes) {
    std::size_t written = 0;
    while (written < bytes.size()) {
        const ssize_t done = write(fd, bytes.data() + written, bytes.size() - written);
        if (done < 0 && errno == EINTR)
            continue;
        if (done <= 0) {
            errno = done == 0 ? EIO : errno;
            return -1;
        }
        written += static_cast<std::size_t>(done);
    }
    return 0;
}

} // namespace

int checkWritableAtomically(const std::string& path, std::string* p_reason) {
    const std::string target = resolveLink(path);
    struct stat status {};
    if (stat(target.c_str(), &status) == 0) {
        if (!S_ISREG(status.st_mode)) {
            *p_reason = S_ISDIR(status.st_mode) ? "it is a folder" : "not a regular file";
            return -1;
        }
        if (access(target.c_str(), W_OK) != 0) {
            *p_reason = std::strerror(errno);
            return -1;
        }
    } else if (errno != ENOENT) {
        *p_reason = std::strerror(errno);
        return -1;
    }
    // The folder must take the new file that writing puts beside the target.
    std::string probe;
    const int fd = createBeside(target, &probe, p_reason);
    if (fd < 0)
        return -1;
    close(fd);
    unlink(probe.c_str());
    return 0;
}

int writeFileAtomically(const std::string& path, const std::string& bytes, std::string* p_reason,
                        std::string* p_kept) {
    p_kept->clear();
    const std::string target = resolveLink(path);
    struct stat status {};
    const bool replaces_file = stat(target.c_str(), &status) == 0 && S_ISREG(status.st_mode);
    std::string name;
    const int fd = createBeside(target, &name, p_reason);
    if (fd < 0)
        return -1;
    // Synced before the rename, so that a crash right after it cannot leave
    // the target empty.
    int error = 0;
    if (writeAll(fd, bytes) != 0 || (replaces_file && fchmod(fd, status.st_mode & 07777) != 0) ||
        fsync(fd) != 0)
        error = errno;
    if (close(fd) != 0 && error == 0)
        error = errno;
    if (error != 0) {
        *p_reason = std::strerror(error);
        if (unlink(name.c_str()) != 0)
            *p_kept = name;
        return -1;
    }
    // A target that is now a folder, say, refuses: the whole new file stays.
    if (rename(name.c_str(), target.c_str()) != 0) {
        *p_reason = std::strerror(errno);
        *p_kept = name;
        return -1;
    }
    return 0;
}

} // namespace vt::platform
