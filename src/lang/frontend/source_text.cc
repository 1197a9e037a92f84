#include "lang/frontend/source_text.h"

#include <cerrno>
#include <cstdio>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>
#include <utility>

bool read_whole_regular(int fd, std::vector<char>& out, std::size_t padding) {
    struct stat st;
    if (fd < 0 || fstat(fd, &st) != 0 || !S_ISREG(st.st_mode) || st.st_size < 0 ||
        static_cast<std::size_t>(st.st_size) > whole_read_limit)
        return false;
    // One byte more than the status says: a short read is the end of the file.
    std::size_t room = static_cast<std::size_t>(st.st_size) + 1;
    std::size_t got = 0;
    out.resize(room + padding);
    for (;;) {
        ssize_t n = pread(fd, out.data() + got, room - got, static_cast<off_t>(got));
        if (n < 0) {
            if (errno == EINTR)
                continue;
            return false;
        }
        got += static_cast<std::size_t>(n);
        if (n == 0 || got < room)
            break;
        // The file grew since its status was taken.
        if (got > whole_read_limit)
            return false;
        room = got * 2;
        out.resize(room + padding);
    }
    out.resize(got);
    out.resize(got + padding, '\0');
    return true;
}

const std::string* Source_cache::find(const std::string& key) {
    auto it = index_.find(key);
    if (it == index_.end())
        return nullptr;
    entries_.splice(entries_.begin(), entries_, it->second);
    return &it->second->text;
}

const std::string* Source_cache::keep(const std::string& key, std::string text) {
    if (text.size() > file_limit || index_.count(key) != 0)
        return nullptr;
    const std::size_t size = key.size() + text.size();
    while (!entries_.empty() && bytes_ + size > limit) {
        Entry& last = entries_.back();
        bytes_ -= last.key.size() + last.text.size();
        index_.erase(last.key);
        entries_.pop_back();
    }
    entries_.push_front(Entry{key, std::move(text)});
    index_.emplace(key, entries_.begin());
    bytes_ += size;
    return &entries_.front().text;
}

void Source_cache::clear() {
    index_.clear();
    entries_.clear();
    bytes_ = 0;
}
