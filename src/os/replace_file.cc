#include "os/replace_file.h"

#include <cerrno>
#include <cstdio>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>
#include <vector>

#include "base/paths.h"
#include "base/process_end.h"
#include "diag/reporter.h"

namespace {

// The mode of the file being replaced, so that a makefile kept private stays private; for a new file,
// the mode a plain fopen would give it.
mode_t replacement_mode(const std::string& name) {
    struct stat st;
    if (stat(name.c_str(), &st) == 0 && S_ISREG(st.st_mode))
        return st.st_mode & 0777;
    mode_t mask = umask(0);
    umask(mask);
    return 0666 & ~mask;
}

// Closes the stream it holds when it goes, unless closed before.
struct Stream_closer {
    std::FILE* stream;
    int close() {
        const int status = std::fclose(stream);
        stream = nullptr;
        return status;
    }
    ~Stream_closer() {
        if (stream)
            std::fclose(stream);
    }
};

[[noreturn]] void write_failed(Reporter& reporter, int error, const std::string& write_text,
                               const std::string& name) {
    errno = error;
    // Ending the process removes the registered temporary file.
    reporter.fatal_errno(write_text + name, name);
}

} // namespace

void replace_file(Reporter& reporter, const std::string& name, const std::string& content,
                  const std::string& open_text, const std::string& write_text) {
    replace_file(
        reporter, name,
        [&content](const Piece_writer& put) {
            put(content);
            return 0;
        },
        open_text, write_text);
}

void replace_file(Reporter& reporter, const std::string& name,
                  const std::function<int(const Piece_writer&)>& content, const std::string& open_text,
                  const std::string& write_text) {
    const std::string pattern = dir_part(name) + "." + base_name(name) + ".XXXXXX";
    std::vector<char> buf(pattern.begin(), pattern.end());
    buf.push_back('\0');
    int fd;
    int create_error = 0;
    {
        // An interruption between the two would leave the file behind.
        Interrupts_held held;
        fd = mkstemp(buf.data());
        if (fd >= 0)
            register_temp_file(buf.data());
        else
            create_error = errno;
    }
    if (fd < 0) {
        errno = create_error;
        reporter.fatal_errno(open_text + name, name);
    }
    const std::string temp = buf.data();

    if (fchmod(fd, replacement_mode(name)) != 0) {
        int error = errno;
        close(fd);
        write_failed(reporter, error, write_text, name);
    }
    std::FILE* f = fdopen(fd, "w");
    if (!f) {
        int error = errno;
        close(fd);
        write_failed(reporter, error, write_text, name);
    }
    // Small pieces gather in a buffer of 64 KiB; a larger one is written at once.
    std::vector<char> room(std::size_t(64) << 10);
    std::setvbuf(f, room.data(), _IOFBF, room.size());
    int error = 0;
    {
        // A run that ends while the content is given closes the stream before its buffer goes.
        Stream_closer closer{f};
        const int given = content([&](std::string_view piece) {
            if (error == 0 && !piece.empty() && std::fwrite(piece.data(), 1, piece.size(), f) != piece.size())
                error = errno;
        });
        if (error == 0)
            error = given;
        if (std::fflush(f) != 0 && error == 0)
            error = errno;
        if (closer.close() != 0 && error == 0)
            error = errno;
    }
    if (error != 0)
        write_failed(reporter, error, write_text, name);
    // An interruption between the two would remove whatever took the temporary name after the rename.
    Interrupts_held held;
    if (std::rename(temp.c_str(), name.c_str()) != 0)
        write_failed(reporter, errno, write_text, name);
    unregister_temp_file();
}

int open_scratch_file(const std::string& near) {
    const std::string pattern = dir_part(near) + "." + base_name(near) + ".rules.XXXXXX";
    std::vector<char> buf(pattern.begin(), pattern.end());
    buf.push_back('\0');
    // An interruption between the two would leave the file behind.
    Interrupts_held held;
    const int fd = mkstemp(buf.data());
    if (fd >= 0 && unlink(buf.data()) != 0) {
        close(fd);
        return -1;
    }
    if (fd >= 0)
        fcntl(fd, F_SETFD, FD_CLOEXEC);
    return fd;
}
