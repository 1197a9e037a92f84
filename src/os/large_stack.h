// Both programs do their work on a thread with a large stack: the recursions that remain (one level per
// directory of a deep tree, per nested construct of a source up to the parser's limit) must fit however
// deep the input goes, also under the sanitizers, whose frames are larger.
#pragma once

#include <cstddef>

// The stack of the working thread.  Virtual memory: only what is used is ever touched.
constexpr std::size_t large_stack_size = std::size_t{512} << 20;

// Runs body(argc, argv) on a thread with a stack of large_stack_size bytes and returns its result, or the
// status of a run that ended on purpose (Run_end, base/process_end.h), on the calling thread; the body runs
// there itself when no such thread can be had.  The interrupting signals are taken on the working thread
// only, so that it alone decides when they may come (Interrupts_held).  A failed allocation that the body
// lets through ends the run with the fatal error "out of memory" and status 2.
int run_with_large_stack(int (*body)(int, char**), int argc, char** argv);
