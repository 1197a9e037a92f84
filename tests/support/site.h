// End-to-end helpers: the built programs run in a directory, and a site for them (a fresh directory named
// "site", as its name appears in the archive rule, the programs run from it).
#pragma once

#include <algorithm>
#include <gtest/gtest.h>
#include <numeric>
#include <string>
#include <vector>

#include "support/test_support.h"

namespace ts {

// vorn-tovik (argv[0] "vorn-tovik") run in `cwd`.
Run_result run_tovik(const std::string& cwd, std::vector<std::string> args);

// vorn (argv[0] "vorn") run in `cwd`, with `env` (NAME=VALUE entries) added to the environment.
Run_result run_vorn(const std::string& cwd, std::vector<std::string> args, std::vector<std::string> env = {});

// vorn-tovik or vorn (`program`: TOVIK_BIN or VORN_BIN, argv[0] its name) run in `cwd`, killed after
// `seconds` (status 128 + SIGALRM): for inputs that could make it wait for ever.
Run_result run_within(unsigned seconds, const std::string& program, const std::string& cwd,
                      std::vector<std::string> args);

// `args` (NAME=VALUE settings, a program on PATH) run in `cwd` with `path_front` first, out of make's reach.
Run_result run_on_path(std::vector<std::string> args, const std::string& cwd = std::string(),
                       const std::string& path_front = std::string());

// Whether a run can drop root's rights where permission bits count: not root, or setpriv at hand.
bool can_drop_rights();

// The tool's own files at the head of a ".sources" list, for the makefile named `m`.
std::string own_files(const std::string& m = "Makefile");

// Passes when `whole` of some order of `items` is `text`: the directory listing orders the sources.
template <class T, class Whole>
::testing::AssertionResult in_some_order(const std::string& text, const std::vector<T>& items, Whole whole) {
    std::vector<std::size_t> order(items.size());
    std::iota(order.begin(), order.end(), 0);
    do {
        std::vector<T> ordered;
        for (std::size_t i : order)
            ordered.push_back(items[i]);
        if (whole(ordered) == text)
            return ::testing::AssertionSuccess();
    } while (std::next_permutation(order.begin(), order.end()));
    return ::testing::AssertionFailure() << "text:\n" << text << "\nis no order of:\n" << whole(items);
}

// The same for a text made of `groups` one after another.
::testing::AssertionResult in_some_order(const std::string& text, const std::vector<std::string>& groups);

struct Site {
    Temp_dir tmp;
    std::string dir = tmp / "site";

    Site() { make_dirs(dir); }
    std::string path(const std::string& rel) const { return dir + "/" + rel; }
    void write(const std::string& rel, const std::string& text = "x\n") const { write_file(path(rel), text); }
    std::string read(const std::string& rel) const { return read_file(path(rel)); }
    bool has(const std::string& rel) const { return exists(path(rel)); }

    // vorn-tovik (argv[0] "vorn-tovik") run in the site.
    Run_result tovik(std::vector<std::string> args = {}) const { return run_tovik(dir, std::move(args)); }

    // vorn-tovik run by bash after `prelude` (ulimit, umask ...); `as_nobody`: as user 65534 if we are root.
    Run_result tovik_after(const std::string& prelude, std::vector<std::string> args = {},
                           bool as_nobody = false) const;

    // A shell command run in the site.
    Run_result shell(const std::string& command) const { return sh(command, dir); }
};

// A site whose make finds a stand-in `vorn` on its PATH, which writes its arguments into its output file, and
// vorn-tovik itself.
struct Make_site : Site {
    std::string bin = tmp / "bin";

    Make_site();
    // make in the site, out of reach of any make that runs the tests.
    Run_result make(std::vector<std::string> args = {}) const;
};

} // namespace ts
