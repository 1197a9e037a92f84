#include "vorn/render.h"

#include <cerrno>
#include <clocale>
#include <cstdio>
#include <cstring>
#include <memory>
#include <string>
#include <sys/stat.h>
#include <unistd.h>

#include "base/paths.h"
#include "base/process_end.h"
#include "diag/reporter.h"
#include "lang/eval/eval_context.h"
#include "lang/eval/page_renderer.h"
#include "lang/frontend/parser.h"
#include "os/read_open.h"
#include "os/replace_file.h"
#include "os/work_dir.h"
#include "vorn/dep_record.h"
#include "vorn/vorn_options.h"

namespace {

// What one run of vorn is made of: made by the entry, handed to the parts that need it, gone with the run.
struct Vorn_run {
    Reporter reporter;
    Work_dir work_dir{reporter};
};

// Creates the missing directories of `dir` (which ends with "/" or is empty).
void make_parents(Reporter& reporter, const std::string& dir) {
    for (std::size_t pos = dir.find('/', 1); pos != std::string::npos; pos = dir.find('/', pos + 1)) {
        std::string part = dir.substr(0, pos);
        if (mkdir(part.c_str(), 0777) != 0 && errno != EEXIST)
            reporter.fatal_errno("can't create directory " + part, part);
    }
}

// Whether the regular file `name` holds exactly `text`.
bool same_contents(const std::string& name, const std::string& text) {
    std::FILE* f = open_for_reading(name);
    if (!f)
        return false;
    std::string old;
    char buf[8192];
    for (std::size_t got; old.size() <= text.size() && (got = std::fread(buf, 1, sizeof buf, f)) > 0;)
        old.append(buf, got);
    std::fclose(f);
    return old == text;
}

void write_page(Reporter& reporter, const Vorn_options& o, const std::string& page) {
    if (o.output == "-") {
        if (std::fwrite(page.data(), 1, page.size(), stdout) != page.size() || std::fflush(stdout) != 0)
            reporter.fatal_errno("Can't write output file -", "-");
        return;
    }
    const std::string dir = dir_part(o.output);
    struct stat st;
    if (o.parents) {
        make_parents(reporter, dir);
    } else if (!dir.empty() && stat(dir.c_str(), &st) != 0 && errno == ENOENT) {
        const std::string sys = std::string("; ") + std::strerror(ENOENT);
        reporter.fatal("Can't open output file " + o.output + sys + "; -p creates the missing directory " +
                           dir,
                       o.output + sys);
    }
    replace_file(reporter, o.output, page, "Can't open output file ", "Can't write output file ");
}

// The record of what the page read is written before the page: a run that fails after it leaves the page
// as it was, and make makes it again.  A record that says what it said before is left as it is, so that a
// makefile made again when a record changes is made again only when what a page read changed.
void write_record(Reporter& reporter, const Vorn_options& o, const Page_renderer& store) {
    const std::string record = dep_record(reporter, o.output, store.reads());
    if (same_contents(o.deps, record))
        return;
    make_parents(reporter, dir_part(o.deps));
    replace_file(reporter, o.deps, record, "Can't open dependency file ", "Can't write dependency file ");
}

int render(Vorn_run& run, int argc, char** argv) {
    Reporter& reporter = run.reporter;
    std::setlocale(LC_ALL, "");
    Vorn_options o = parse_vorn_options(reporter, argc, argv);

    std::unique_ptr<std::FILE, int (*)(std::FILE*)> source(open_for_reading(o.source), std::fclose);
    if (!source)
        reporter.fatal_errno("can't open file " + o.source, o.source);

    // The run leaves the process in the directory it started in, however it ends.
    const Dir_restore start(run.work_dir);

    // Names and levels are taken in the run directory.
    Page_renderer store(reporter, o.source, o.output, o.root_dir, o.policy);
    store.use_work_dir(run.work_dir);
    if (!o.deps.empty()) {
        store.record_reads();
        store.on_file_read(o.source);
    }
    for (std::size_t i = 0; i < o.defines.size(); ++i)
        store.set_variable(o.defines[i].first,
                           o.define_is_flag[i] ? Gen_type(1) : Gen_type(o.defines[i].second));

    // The source runs in its own directory, as vorn-tovik reads it: included files, verbatim copies, file
    // sizes and scripts are named relative to the source.
    const Dir_return run_dir(run.work_dir);
    if (run.work_dir.enter_dir_part(o.source))
        reporter.fatal_errno("can't change directory to " + dir_part(o.source), dir_part(o.source));
    reporter.set_file(o.source);
    Source_scan parser(reporter);
    parser.parse_file(store, source.get());
    source.reset();
    reporter.clear_scan_location();
    if (!run_dir.go_back())
        reporter.fatal_errno("can't change directory to " + run_dir.path(), run_dir.path());

    if (!o.deps.empty())
        write_record(reporter, o, store);
    write_page(reporter, o, store.text());
    return 0;
}

} // namespace

// vorn runs one Vorn source through the page renderer and writes the page it produces.
int vorn_main(int argc, char** argv) {
    Vorn_run state;
    return run_reporting_memory(state.reporter, [&] { return render(state, argc, argv); });
}
