// A site for end-to-end runs: a fresh directory named "site" (its name appears in the archive rule), the
// programs run from it.
#pragma once

#include <string>
#include <vector>

#include "support/test_support.h"

namespace ts {

struct Site {
    Temp_dir tmp;
    std::string dir = tmp / "site";

    Site() { make_dirs(dir); }
    std::string path(const std::string& rel) const { return dir + "/" + rel; }
    void write(const std::string& rel, const std::string& text) const { write_file(path(rel), text); }
    std::string read(const std::string& rel) const { return read_file(path(rel)); }
    bool has(const std::string& rel) const { return exists(path(rel)); }

    // vorn-tovik (argv[0] "vorn-tovik") run in the site.
    Run_result tovik(std::vector<std::string> args = {}) const {
        args.insert(args.begin(), TOVIK_BIN);
        Run_options o;
        o.cwd = dir;
        o.argv0 = "vorn-tovik";
        return run(args, o);
    }

    // A shell command run in the site.
    Run_result shell(const std::string& command) const { return sh(command, dir); }
};

} // namespace ts
