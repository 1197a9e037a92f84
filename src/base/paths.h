// Path operations.  Paths are byte strings with "/" as the only separator; a directory used as a prefix is
// either empty or ends with "/".  Only working_dir, the two depths and enter_dir_part ask the system
// anything.
#pragma once

#include <string>

// Lexical clean-up of the directory part of a path; the last component is never touched.
std::string normalize_path(const std::string& path, bool drop_leading_dot);

// The working directory, without a trailing "/" (followed as text, os/work_dir.h); fatal when it
// cannot be had.
std::string working_dir();

// A path beginning with "/" unchanged; otherwise working_dir() + "/" + path (not normalised).
std::string absolute_path(const std::string& path);

std::string with_slash(const std::string& path);
std::string dir_part(const std::string& path);
std::string base_name(const std::string& path);

// The number of "/" in normalize_path(absolute_path(path), true).
int path_depth(const std::string& path);

// The number of "/" in working_dir(), plus one.
int cwd_depth();

// Changes into dir_part(path) when it is non-empty; true when that failed.
bool enter_dir_part(const std::string& path);

// Whether the file can be opened for reading.
bool can_read(const std::string& path);
