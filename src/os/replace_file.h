// Replacing a file's contents safely: readers see the old file or the new one, never a part of it.
#pragma once

#include <functional>
#include <string>
#include <string_view>

class Reporter;

// Replaces `name` with `content` through a temporary file in the same directory, renamed over it only
// once everything was written, flushed and closed.  A failed create (of the temporary file) is the fatal
// error `open_text` + name with the system's text; a failed write, flush, close or rename is the fatal error
// `write_text` + name with the system's text; the previous file is left as it was and the temporary file
// removed.  The new file keeps the permission bits of the file it replaces (a new file gets those of a plain
// fopen).  The fatal errors go to `reporter`.
void replace_file(Reporter& reporter, const std::string& name, const std::string& content,
                  const std::string& open_text, const std::string& write_text);

// The same with the content given piece by piece: `content` calls its argument with each piece in order and
// returns 0, or an error number when it could not give the whole content (the write then fails with it).
using Piece_writer = std::function<void(std::string_view)>;
void replace_file(Reporter& reporter, const std::string& name,
                  const std::function<int(const Piece_writer&)>& content, const std::string& open_text,
                  const std::string& write_text);

// An unlinked scratch file in the directory of `near`, open for reading and writing; -1 when none can be
// made.
int open_scratch_file(const std::string& near);
