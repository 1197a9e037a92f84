// Collecting the standard output of a command or script started by cmd, evalcmd, exec or evalexec.
#pragma once

#include <cstddef>
#include <string>

class Eval_context;

// Where the output goes: kept as the captured text (the eval forms), or given to the store as page text
// (Eval_context::on_text) chunk by chunk as it is read.
struct Output_sink {
    Eval_context* store = nullptr;
    bool capture = false;
    std::string captured;

    // Takes a chunk up to its first NUL byte: the output is text.
    void take(const char* chunk, std::size_t length);
};

// Reads the descriptor to its end while the program runs, in chunks of 200 bytes (only the last may be
// shorter).  Interrupted reads are retried; a read error ends the output there.
void collect_output(int fd, Output_sink& sink);
