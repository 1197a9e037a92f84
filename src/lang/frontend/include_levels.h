// Included files followed without changing the working directory.  During a pass over a site every page
// includes the same few files again and again; entering each inclusion's directory and coming back costs
// five system calls an inclusion.  Instead, each level of inclusion knows its directory as named from the
// working directory and by its identity, and an included file is opened through that directory: the system
// resolves the names exactly as it would after entering it.  With the included files' contents kept for
// the run (lang/frontend/source_text.h), a repeated inclusion asks the system nothing.
#pragma once

#include <cstdio>
#include <string>
#include <vector>

namespace include_levels {

enum class Opened {
    ok,          // the file's text is in `text`, or `file` is open on it (no regular file, or a large one)
    not_opened,  // the file cannot be opened; errno tells why
    not_entered, // the file opens, but its directory is no directory that can be entered; errno tells why
};

// Opens `path`, named in the innermost file being read (the working directory's at the outermost level),
// and on success makes its directory the innermost level.  `text` receives the whole file followed by two
// NUL bytes; `file` is null then.  `key` names the file by its directory's identity and its name, and
// `kept` tells whether its contents came from what the run keeps.
Opened push(const std::string& path, std::vector<char>& text, std::FILE*& file, std::string& key, bool& kept);
// A name for the file `path` names from the working directory that does not depend on how it is named:
// its directory's identity and its own name.  False when its directory cannot be found.
bool file_key(const std::string& path, std::string& key);
// Back to the level of the including file.
void pop();
// Forgets every level (an abandoned parse).
void clear();

} // namespace include_levels

// Whether the file `path` opens for reading (errno tells why not).  While included files are kept, a file
// that opened once is taken to open again without being opened.
bool opens_for_reading(const std::string& path);

// A pass over a site: keeps included files' contents, the records of what reading them made
// (lang/frontend/include_memo.h) and the names of the files that opened, for its life.
class Source_cache_scope {
public:
    Source_cache_scope();
    ~Source_cache_scope();
    Source_cache_scope(const Source_cache_scope&) = delete;
    Source_cache_scope& operator=(const Source_cache_scope&) = delete;
};
