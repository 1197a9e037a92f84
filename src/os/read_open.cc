#include "os/read_open.h"

#include <cerrno>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

// O_NONBLOCK lets a FIFO open at once; it changes nothing for a regular file, the only kind kept.
int open_regular(int dir_fd, const std::string& name) {
    const int fd = openat(dir_fd, name.c_str(), O_RDONLY | O_NONBLOCK | O_CLOEXEC);
    if (fd < 0)
        return -1;
    struct stat st;
    int err = 0;
    if (fstat(fd, &st) != 0)
        err = errno;
    else if (!S_ISREG(st.st_mode))
        err = S_ISDIR(st.st_mode) ? EISDIR : not_regular_file;
    if (err == 0)
        return fd;
    close(fd);
    errno = err;
    return -1;
}

std::FILE* open_for_reading(const std::string& path) {
    const int fd = open_regular(AT_FDCWD, path);
    if (fd < 0)
        return nullptr;
    std::FILE* f = fdopen(fd, "r");
    if (!f) {
        const int err = errno;
        close(fd);
        errno = err;
    }
    return f;
}

// Without waiting: a FIFO with no writer opens at once.
bool can_read(const std::string& path) {
    const int fd = open(path.c_str(), O_RDONLY | O_NONBLOCK | O_CLOEXEC);
    if (fd < 0)
        return false;
    close(fd);
    return true;
}
