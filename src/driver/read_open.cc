#include "driver/read_open.h"

#include <cerrno>
#include <sys/stat.h>

std::FILE* open_for_reading(const std::string& path) {
    std::FILE* f = std::fopen(path.c_str(), "r");
    if (!f)
        return nullptr;
    struct stat st;
    if (fstat(fileno(f), &st) == 0 && S_ISDIR(st.st_mode)) {
        std::fclose(f);
        errno = EISDIR;
        return nullptr;
    }
    return f;
}
