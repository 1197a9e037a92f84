#include "fuzz_support.h"

#include <cstdio>
#include <cstdlib>
#include <unistd.h>

#include "base/fuzz_budget.h"
#include "diag/reporter.h"

namespace fz {

namespace {

std::string scratch;
std::string home; // the directory the fuzzer was started in: its own relative paths are taken from there

void remove_scratch() {
    if (!scratch.empty())
        rmdir(scratch.c_str());
}

std::string current_dir() {
    char buf[4096];
    return getcwd(buf, sizeof buf) ? std::string(buf) : std::string();
}

void change_to(const std::string& dir) {
    if (chdir(dir.c_str()) != 0) {
        std::perror(("fuzz: can't change to " + dir).c_str());
        std::abort();
    }
}

void make_scratch() {
    char templ[] = "/tmp/vt-fuzz-XXXXXX";
    if (!mkdtemp(templ)) {
        std::perror("fuzz: scratch directory");
        std::abort();
    }
    home = current_dir();
    change_to(templ);
    scratch = current_dir();
    change_to(home);
    std::atexit(remove_scratch);
}

} // namespace

const std::string& scratch_dir() {
    return scratch;
}

void start_input() {
    static bool started = false;
    if (!started) {
        started = true;
        make_scratch();
    }
    change_to(scratch);
    fuzz_budget_reset();
}

void quiet(Reporter& reporter) {
    reporter.set_program_name("vorn-tovik");
    reporter.set_verbosity(Verbosity::quiet);
    reporter.set_policy(Policy::normal);
}

void finish_input() {
    if (current_dir() != scratch) {
        std::fprintf(stderr, "fuzz: the input left the working directory at %s\n", current_dir().c_str());
        std::abort();
    }
    change_to(home);
}

} // namespace fz
