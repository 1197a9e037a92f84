#include "os/large_stack.h"

#include <csignal>
#include <new>
#include <pthread.h>
#include <stdexcept>

#include "base/process_end.h"
#include "diag/reporter.h"

namespace {

struct Job {
    int (*body)(int, char**);
    int argc;
    char** argv;
    sigset_t mask; // the caller's signal mask, for the worker
    int result;
};

// A run that ends on purpose (end_process) gives its status back.  An allocation that fails anywhere in a
// run ends it like the scanners' own failures: the message "out of memory" and status 2.  Files are written
// only at the end of a run, and a file being written is removed on the way out, so no page or makefile is
// left half made.
int run_guarded(int (*body)(int, char**), int argc, char** argv) {
    try {
        try {
            return body(argc, argv);
        } catch (const std::bad_alloc&) {
        } catch (const std::length_error&) {
            // A size beyond what a container can hold.
        }
        // Only where the body has no reporter of its own yet (each entry reports its own runs' failures,
        // run_reporting_memory in diag/reporter.h).
        Reporter::out_of_memory_unlocated();
    } catch (const Run_end& end) {
        return end.status;
    }
}

void* work(void* data) {
    auto* job = static_cast<Job*>(data);
    pthread_sigmask(SIG_SETMASK, &job->mask, nullptr);
    job->result = run_guarded(job->body, job->argc, job->argv);
    return nullptr;
}

} // namespace

int run_with_large_stack(int (*body)(int, char**), int argc, char** argv) {
    Job job{body, argc, argv, {}, 0};
    pthread_attr_t attr;
    if (pthread_attr_init(&attr) != 0)
        return run_guarded(body, argc, argv);
    // Blocked before the thread starts, so that no signal ever reaches this thread; the worker takes the
    // caller's mask back for itself.
    const sigset_t signals = interrupt_signals();
    pthread_sigmask(SIG_BLOCK, &signals, &job.mask);
    pthread_t thread;
    const bool started = pthread_attr_setstacksize(&attr, large_stack_size) == 0 &&
                         pthread_create(&thread, &attr, work, &job) == 0;
    pthread_attr_destroy(&attr);
    if (!started) {
        pthread_sigmask(SIG_SETMASK, &job.mask, nullptr);
        return run_guarded(body, argc, argv);
    }
    pthread_join(thread, nullptr);
    return job.result;
}
