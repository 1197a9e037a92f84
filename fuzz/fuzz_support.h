// What every fuzz target shares: the end of the process turned into an exception, a scratch working
// directory, and the process-wide state put back before each input.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>

namespace fz {

// Thrown by the end handler where the program would have ended the process.
struct Input_ended {
    int status;
};

// Called at the start of each input.  The first call installs the end handler and makes a new empty
// directory under /tmp; every call changes into it, so that file names in a fuzzed source (include,
// verbatim, fsize...) touch nothing of the project, and puts the reporter (quiet, normal error policy) and
// the fuzz budget back to the state of a fresh process.  The scanners and the parser are each input's own.
void start_input();

// Called after each input: the working directory must be the scratch directory again, whatever way the
// input ended (a leftover change of directory is reported as a crash).  Then back to the directory the
// fuzzer started in, where its own relative paths (corpus, artifacts, inputs) are.
void finish_input();

// The scratch directory's absolute path.
const std::string& scratch_dir();

inline std::string text_of(const std::uint8_t* data, std::size_t size) {
    return std::string(reinterpret_cast<const char*>(data), size);
}

} // namespace fz
