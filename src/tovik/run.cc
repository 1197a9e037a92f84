#include "tovik/run.h"

#include <clocale>

#include "os/work_dir.h"
#include "tovik/generate.h"
#include "tovik/options.h"
#include "tovik/parse_options.h"

int tovik_main(int argc, char** argv) {
    // 1. The locale comes from the environment.
    std::setlocale(LC_ALL, "");

    // 2. The options: command line, then template file.  Help, version and every option error end the run
    //    in here.
    Tovik_opt options;
    parse_options(options, argc, argv);

    // 3-8. The dependency store, the passes and the makefile come here.  The run leaves the process in the
    //      directory it started in, however it ends.
    Work_dir work_dir;
    const Dir_restore start(work_dir);
    generate_makefile(options, work_dir);

    // 9. A completed run.
    return 0;
}
