// Whole sources in memory: a regular file is read with one read into a buffer the scanner works on in
// place, and the contents of included files are kept for a pass over a site.
#pragma once

#include <cstddef>
#include <list>
#include <string>
#include <unordered_map>
#include <vector>

// A regular file at most this large is read whole; a larger one, or any other kind of file, is read by
// the scanner piece by piece.
constexpr std::size_t whole_read_limit = std::size_t(64) << 20;

// Reads the whole regular file open on `fd` (from its start, whatever its offset) into `out`, followed by
// `padding` NUL bytes.  False when it is no regular file, is larger than whole_read_limit or a read fails
// (errno then tells why; `out` is left unspecified).
bool read_whole_regular(int fd, std::vector<char>& out, std::size_t padding);

// The contents of included files read during a pass over a site, by the file's path (the directory it lies
// in, as the working directory names it, and its name), so that a file included by thousands of pages is
// read from the disk once.  Outside of a pass (no cache given to the scan), every inclusion reads its file
// again (tests rewrite files between parses).  The cache holds at most `limit` bytes of contents; the file
// used least recently goes first.
class Source_cache {
public:
    static constexpr std::size_t limit = std::size_t(8) << 20;
    // A file larger than this is never kept.
    static constexpr std::size_t file_limit = std::size_t(256) << 10;

    // The contents kept for `key`, or null.
    const std::string* find(const std::string& key);
    // Keeps `text` for `key` (unless it is too large); returns the kept copy, or null.
    const std::string* keep(const std::string& key, std::string text);
    void clear();

private:
    struct Entry {
        std::string key;
        std::string text;
    };
    std::size_t bytes_ = 0;
    std::list<Entry> entries_; // most recently used first
    std::unordered_map<std::string, std::list<Entry>::iterator> index_;
};
