// Opening a file for reading as the programs need it: never waiting on a FIFO that has no writer, and never
// giving a file that is no regular file, whose reading could block or never end (a FIFO, a device such as
// /dev/zero, a symbolic link to one).
#pragma once

#include <cstdio>
#include <string>

#include "diag/reporter.h" // not_regular_file

// Opens `name`, relative to the directory open on `dir_fd` (or AT_FDCWD), for reading.  A regular file
// gives its descriptor; a directory is refused with EISDIR (it opens, but the first read fails, and the
// scanners would take that for a broken input) and any other kind of file with not_regular_file.  -1,
// with errno set, on failure.
int open_regular(int dir_fd, const std::string& name);

// The same as a stream.  Null, with errno set, on failure.
std::FILE* open_for_reading(const std::string& path);

// Whether the file can be opened for reading.
bool can_read(const std::string& path);
