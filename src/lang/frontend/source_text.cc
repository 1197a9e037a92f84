#include "lang/frontend/source_text.h"

#include <cerrno>
#include <cstdio>
#include <fcntl.h>
#include <list>
#include <sys/stat.h>
#include <unistd.h>
#include <unordered_map>
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

namespace source_cache {

namespace {

struct Entry {
    std::string key;
    std::string text;
};

struct Cache {
    int scopes = 0;
    std::size_t bytes = 0;
    std::list<Entry> entries; // most recently used first
    std::unordered_map<std::string, std::list<Entry>::iterator> index;
};

Cache& cache() {
    static auto* c = new Cache();
    return *c;
}

} // namespace

bool enabled() {
    return cache().scopes > 0;
}

const std::string* find(const std::string& key) {
    Cache& c = cache();
    auto it = c.index.find(key);
    if (it == c.index.end())
        return nullptr;
    c.entries.splice(c.entries.begin(), c.entries, it->second);
    return &it->second->text;
}

const std::string* keep(const std::string& key, std::string text) {
    Cache& c = cache();
    if (c.scopes == 0 || text.size() > file_limit || c.index.count(key) != 0)
        return nullptr;
    const std::size_t size = key.size() + text.size();
    while (!c.entries.empty() && c.bytes + size > cache_limit) {
        Entry& last = c.entries.back();
        c.bytes -= last.key.size() + last.text.size();
        c.index.erase(last.key);
        c.entries.pop_back();
    }
    c.entries.push_front(Entry{key, std::move(text)});
    c.index.emplace(key, c.entries.begin());
    c.bytes += size;
    return &c.entries.front().text;
}

void clear() {
    Cache& c = cache();
    c.index.clear();
    c.entries.clear();
    c.bytes = 0;
}

void hold() {
    ++cache().scopes;
}

bool release() {
    if (--cache().scopes != 0)
        return false;
    clear();
    return true;
}

} // namespace source_cache
