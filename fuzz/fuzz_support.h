// What every fuzz target shares: the end of a run caught as an exception, a scratch working directory and the
// budget of an input.  Each input makes its own run-state objects (reporter, context, scanner), gone with it.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>

#include "base/process_end.h"

class Reporter;

namespace fz {

// Thrown where the program would have ended its run (base/process_end.h).
using Input_ended = ::Run_end;

// Called at the start of each input.  The first call makes a new empty directory under /tmp; every call
// changes into it, so that file names in a fuzzed source (include, verbatim, fsize...) touch nothing of the
// project, and starts the input's fuzz budget.
void start_input();

// Sets up an input's fresh reporter as the targets run it: program name "vorn-tovik", quiet, normal error
// policy.
void quiet(Reporter& reporter);

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
