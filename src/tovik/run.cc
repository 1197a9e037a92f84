#include "tovik/run.h"

#include <clocale>

#include "diag/reporter.h"
#include "os/work_dir.h"
#include "tovik/generate.h"
#include "tovik/options.h"
#include "tovik/parse_options.h"

namespace {

// What one run of vorn-tovik is made of: made by the entry, handed to the parts that need it, gone with
// the run, so that no run leaves anything behind for the next one in the same process.
struct Tovik_run {
    Reporter reporter;
    Tovik_opt options;
    Work_dir work_dir{reporter};
};

int run(Tovik_run& run, int argc, char** argv) {
    // 1. The locale comes from the environment.
    std::setlocale(LC_ALL, "");

    // 2. The options: command line, then template file.  Help, version and every option error end the run
    //    in here.
    parse_options(run.reporter, run.options, argc, argv);

    // 3-8. The dependency collector, the passes and the makefile come here.  The run leaves the process in
    //      the directory it started in, however it ends.
    const Dir_restore start(run.work_dir);
    generate_makefile(run.reporter, run.options, run.work_dir);

    // 9. A completed run.
    return 0;
}

} // namespace

int tovik_main(int argc, char** argv) {
    Tovik_run state;
    return run_reporting_memory(state.reporter, [&] { return run(state, argc, argv); });
}
