// The one place where the process ends on purpose: fatal errors, unignored errors, fatal warnings, usage
// errors and the scanners' own failures all come here.  Tests and fuzz targets replace the handler so that
// "ending the process" unwinds back to them instead.
#pragma once

#include <string>

using End_handler = void (*)(int status);

// Removes any temporary file still registered, then calls the handler (std::exit by default).
[[noreturn]] void end_process(int status);

// Installs a handler; returns the previous one.  A handler that returns is followed by std::exit.
End_handler set_end_handler(End_handler handler);

// A file being written to a temporary name: removed if the process ends (or is interrupted) before it is
// renamed into place.  Only one such file exists at a time.
void register_temp_file(const std::string& path);
void unregister_temp_file();
