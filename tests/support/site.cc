#include "support/site.h"

#include <cstdlib>
#include <sys/stat.h>
#include <unistd.h>

namespace ts {

namespace {

Run_result run_named(const std::string& program, const std::string& name, const std::string& cwd,
                     std::vector<std::string> args, std::vector<std::string> env = {}, unsigned seconds = 0) {
    args.insert(args.begin(), program);
    Run_options o;
    o.cwd = cwd;
    o.argv0 = name;
    o.env = std::move(env);
    o.time_limit = seconds;
    return run(args, o);
}

// Stands in for the page processor: the last argument is the output file.
const char stub_vorn[] = "#!/bin/sh\n"
                         "for out; do :; done\n"
                         "mkdir -p \"$(dirname \"$out\")\"\n"
                         "printf '%s\\n' \"$*\" > \"$out\"\n";

} // namespace

Run_result run_tovik(const std::string& cwd, std::vector<std::string> args) {
    return run_named(TOVIK_BIN, "vorn-tovik", cwd, std::move(args));
}

#ifdef VORN_BIN
Run_result run_vorn(const std::string& cwd, std::vector<std::string> args, std::vector<std::string> env) {
    return run_named(VORN_BIN, "vorn", cwd, std::move(args), std::move(env));
}
#endif

Run_result run_within(unsigned seconds, const std::string& program, const std::string& cwd,
                      std::vector<std::string> args) {
    const std::string name = program.substr(program.rfind('/') + 1);
    return run_named(program, name, cwd, std::move(args), {}, seconds);
}

Run_result run_on_path(std::vector<std::string> args, const std::string& cwd, const std::string& path_front) {
    const char* path = std::getenv("PATH");
    std::string search = path ? path : "/usr/bin:/bin";
    if (!path_front.empty())
        search = path_front + ":" + search;
    args.insert(args.begin(),
                {"/usr/bin/env", "-u", "MAKEFLAGS", "-u", "MFLAGS", "-u", "MAKELEVEL", "PATH=" + search});
    Run_options o;
    o.cwd = cwd;
    return run(args, o);
}

bool can_drop_rights() {
    return geteuid() != 0 || access("/usr/bin/setpriv", X_OK) == 0;
}

std::string own_files(const std::string& m) {
    return m + "\n" + m + "~\n" + m + ".vt\n" + m + ".vt~\n" + m + ".sources\n" + m + ".sources~\n" + m +
           ".add\n" + m + ".add~\n" + "site.tar.gz\n";
}

::testing::AssertionResult in_some_order(const std::string& text, const std::vector<std::string>& groups) {
    return in_some_order(text, groups, [](const std::vector<std::string>& ordered) {
        return std::accumulate(ordered.begin(), ordered.end(), std::string());
    });
}

Run_result Site::tovik_after(const std::string& prelude, std::vector<std::string> args,
                             bool as_nobody) const {
    std::vector<std::string> argv;
    if (as_nobody && geteuid() == 0) {
        chmod(tmp.path().c_str(), 0755);
        argv = {"/usr/bin/setpriv", "--reuid=65534", "--regid=65534", "--clear-groups"};
    }
    const std::string exec = "exec -a vorn-tovik \"$0\" \"$@\"";
    argv.insert(argv.end(), {"/bin/bash", "-c", prelude.empty() ? exec : prelude + "; " + exec, TOVIK_BIN});
    argv.insert(argv.end(), args.begin(), args.end());
    Run_options o;
    o.cwd = dir;
    return run(argv, o);
}

Make_site::Make_site() {
    write_file(bin + "/vorn", stub_vorn);
    chmod((bin + "/vorn").c_str(), 0755);
    // A makefile that remakes itself runs vorn-tovik by the name it was run with.
    symlink(TOVIK_BIN, (bin + "/vorn-tovik").c_str());
}

Run_result Make_site::make(std::vector<std::string> args) const {
    args.insert(args.begin(), "make");
    return run_on_path(std::move(args), dir, bin);
}

} // namespace ts
