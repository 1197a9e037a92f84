// The fuzz build's bounds on one input's work.  A Vorn source may legitimately loop forever or build a value
// of gigabytes ("x" * 2000000000); under a fuzzer such an input is not a finding, so the fuzz build (compiled
// with VT_FUZZING) ends it through end_process once it has run too many steps, holds too much memory or has
// run too long.  Everywhere else these calls compile to nothing.
#pragma once

#include <cstddef>

#ifdef VT_FUZZING

// Starts the budget of a new input (nothing is bounded before the first call).
void fuzz_budget_reset();
// One step of work: a node evaluated or a loop iteration.
void fuzz_budget_step();
// A value of about `bytes` bytes is about to be built (or has just been grown to that size).
void fuzz_budget_grow(std::size_t bytes);

#else

inline void fuzz_budget_reset() {}
inline void fuzz_budget_step() {}
inline void fuzz_budget_grow(std::size_t) {}

#endif
