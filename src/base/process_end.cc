#include "base/process_end.h"

#include <csignal>
#include <cstdio>
#include <cstring>
#include <pthread.h>
#include <unistd.h>

namespace {

// The temporary file's name lives in a fixed buffer so that the signal handler can unlink it without
// allocating.
char temp_path[4096];
volatile sig_atomic_t temp_registered = 0;

void on_signal(int sig) {
    if (temp_registered)
        unlink(temp_path);
    signal(sig, SIG_DFL);
    raise(sig);
}

const int interrupts[] = {SIGINT, SIGTERM, SIGHUP};

void install_signal_handlers() {
    static bool installed = false;
    if (installed)
        return;
    installed = true;
    for (int sig : interrupts) {
        struct sigaction sa;
        std::memset(&sa, 0, sizeof sa);
        sa.sa_handler = on_signal;
        sigemptyset(&sa.sa_mask);
        sigaction(sig, &sa, nullptr);
    }
}

} // namespace

void end_process(int status) {
    std::fflush(stdout);
    std::fflush(stderr);
    if (temp_registered) {
        unlink(temp_path);
        temp_registered = 0;
    }
    throw Run_end{status};
}

void register_temp_file(const std::string& path) {
    install_signal_handlers();
    temp_registered = 0;
    size_t n = path.size() < sizeof temp_path - 1 ? path.size() : sizeof temp_path - 1;
    std::memcpy(temp_path, path.data(), n);
    temp_path[n] = '\0';
    temp_registered = 1;
}

void unregister_temp_file() {
    temp_registered = 0;
}

sigset_t interrupt_signals() {
    sigset_t set;
    sigemptyset(&set);
    for (int sig : interrupts)
        sigaddset(&set, sig);
    return set;
}

Interrupts_held::Interrupts_held() {
    const sigset_t set = interrupt_signals();
    pthread_sigmask(SIG_BLOCK, &set, &saved_);
}

Interrupts_held::~Interrupts_held() {
    pthread_sigmask(SIG_SETMASK, &saved_, nullptr);
}
