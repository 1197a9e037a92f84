#include "driver/large_stack.h"

#include <csignal>
#include <pthread.h>

#include "diag/process_end.h"

namespace {

struct Job {
    int (*body)(int, char**);
    int argc;
    char** argv;
    sigset_t mask; // the caller's signal mask, for the worker
    int result;
};

void* work(void* data) {
    auto* job = static_cast<Job*>(data);
    pthread_sigmask(SIG_SETMASK, &job->mask, nullptr);
    job->result = job->body(job->argc, job->argv);
    return nullptr;
}

} // namespace

int run_with_large_stack(int (*body)(int, char**), int argc, char** argv) {
    Job job{body, argc, argv, {}, 0};
    pthread_attr_t attr;
    if (pthread_attr_init(&attr) != 0)
        return body(argc, argv);
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
        return body(argc, argv);
    }
    pthread_join(thread, nullptr);
    return job.result;
}
