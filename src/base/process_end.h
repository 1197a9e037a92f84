// The one place where a run ends on purpose: fatal errors, unignored errors, fatal warnings, usage errors
// and the scanners' own failures all come here.  The run unwinds to its program's entry, which ends the
// process with the status; tests and fuzz targets catch it instead.
#pragma once

#include <csignal>
#include <string>

// What ending a run throws.  No std::exception, so that no handler meant for those takes it; caught by
// run_with_large_stack (os/large_stack.h), which returns the status to main.
struct Run_end {
    int status;
};

// Flushes the standard output, then the standard error stream, removes any temporary file still
// registered, and throws Run_end{status}.
[[noreturn]] void end_process(int status);

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
