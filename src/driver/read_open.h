// Opening a file for reading as the scanners need it.
#pragma once

#include <cstdio>
#include <string>

// fopen(path, "r"), except that a directory is refused with EISDIR: it opens, but the first read fails,
// and the scanners would take that for a broken input.  Null, with errno set, on failure.
std::FILE* open_for_reading(const std::string& path);
