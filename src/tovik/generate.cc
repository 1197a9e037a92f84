#include "tovik/generate.h"

#include <memory>

#include "base/make_names.h"
#include "base/paths.h"
#include "diag/reporter.h"
#include "lang/eval/dependency_collector.h"
#include "lang/eval/eval_context.h"
#include "lang/frontend/parser.h"
#include "lang/frontend/site_cache.h"
#include "os/work_dir.h"
#include "tovik/makefile_inputs.h"
#include "tovik/makefile_writer.h"
#include "tovik/options.h"
#include "tovik/project_scan.h"

namespace {

// The recipe that runs vorn-tovik again as it was run this time.
std::string self_command(const Tovik_opt& options) {
    std::string command;
    for (const std::string& argument : options.arguments)
        command += (command.empty() ? "" : " ") + recipe_word(argument, command.empty());
    return command;
}

// With --self-update, what the makefile is made from is gathered while the site is scanned (null when it is
// not); the template and M.add may be missing.
std::unique_ptr<Makefile_inputs> watch_inputs(Tovik_opt& options, Dependency_collector& store,
                                              Makefile_writer& writer) {
    if (!options.self_update)
        return nullptr;
    const std::string makefile = options.get(Option_id::makefile);
    auto inputs = std::make_unique<Makefile_inputs>(options.get(Option_id::source_ext), options.translations,
                                                    options.get(Option_id::prefix));
    inputs->optional_input(normalize_path(options.get(Option_id::root_dir) + makefile + ".vt", true));
    inputs->optional_input(makefile + ".add");
    Makefile_inputs* const watched = inputs.get();
    store.watch_included_files([watched](const std::string& path) { watched->read(path); });
    writer.remake_itself(watched, self_command(options));
    return inputs;
}

// With --exact-deps, vorn records what each page read in a hidden directory named after the makefile,
// which the build makes and the archive leaves out.
void keep_records(Tovik_opt& options, Dependency_collector& store) {
    const std::string dir = "." + options.get(Option_id::makefile) + ".deps";
    if (!options.exact_deps || unsafe_make_name(dir))
        return;
    store.set_records_dir(dir);
    store.exclude_from_archive(dir + "\n");
}

} // namespace

void generate_makefile(Reporter& reporter, Tovik_opt& options, Work_dir& work_dir) {
    Dependency_collector store(reporter, options.get(Option_id::target_ext));
    store.use_work_dir(work_dir);
    if (options.fast)
        store.set_scan_mode(Scan_mode::fast);

    // The main section's options are read before a branch replaces them.
    Makefile_writer writer(store, options.get(Option_id::makefile));
    writer.begin_variables(options.get(Option_id::prefix), options.get(Option_id::vorn_options),
                           options.get(Option_id::section_options));
    const std::unique_ptr<Makefile_inputs> inputs = watch_inputs(options, store, writer);
    keep_records(options, store);

    // Every pass reads an included file from the disk once.
    Site_cache cache;
    Source_scan parser(reporter, &cache);
    const Scan_run run{reporter, options, store, work_dir, parser, writer, inputs.get()};
    scan_section(run);
    // Branches come from the end of the list: the last one in the template is scanned first.
    while (options.next_branch()) {
        writer.add_branch_variables(options.get(Option_id::opts_variable),
                                    options.get(Option_id::section_options));
        scan_section(run);
    }

    const std::string root_dir = options.get(Option_id::root_dir);
    if (options.get(Option_id::prefix) == "./" && root_dir == "./") {
        writer.finish_archive_rule(Archive_form::archive, site_name(work_dir.absolute_path(root_dir)));
        writer.write_sources_file();
    } else {
        writer.finish_archive_rule(Archive_form::refusal, std::string());
    }

    // Outputs that are always rebuilt count as much as the others: a site made only of them still needs its
    // rules.  Outputs left out of both lists (__NO_OUTPUT__, "nooutput" directories) do not count.
    if (writer.lists_pages()) {
        writer.write_makefile();
        if (inputs)
            keep_after_inputs(options.get(Option_id::makefile), inputs->input_files());
    } else {
        reporter.info("No source file found .. creating empty makefile", "Empty makefile created");
        writer.write_empty_makefile();
    }
}
