// Path operations.  Paths are byte strings with "/" as the only separator; a directory used as a prefix is
// either empty or ends with "/".  Nothing here asks the system anything: the paths that start at the working
// directory are os/work_dir.h's.
#pragma once

#include <string>

// Lexical clean-up of the directory part of a path; the last component is never touched.
std::string normalize_path(const std::string& path, bool drop_leading_dot);

std::string with_slash(const std::string& path);
std::string dir_part(const std::string& path);
std::string base_name(const std::string& path);
