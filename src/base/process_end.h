// The one place where the process ends on purpose: fatal errors, unignored errors, fatal warnings, usage
// errors and the scanners' own failures all come here.  Tests and fuzz targets replace the handler so that
// "ending the process" unwinds back to them instead.
#pragma once

#include <csignal>
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

// The signals that remove the temporary file on their way: SIGINT, SIGTERM and SIGHUP.
sigset_t interrupt_signals();

// While alive, those signals wait (on the calling thread): a file and its registration are created, and
// renamed and forgotten, as one step, so that an interruption never leaves a file behind nor removes a
// name that has been taken over.
class Interrupts_held {
public:
    Interrupts_held();
    ~Interrupts_held();
    Interrupts_held(const Interrupts_held&) = delete;
    Interrupts_held& operator=(const Interrupts_held&) = delete;

private:
    sigset_t saved_;
};
