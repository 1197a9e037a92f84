#include "driver/generate.h"

#include "diag/reporter.h"
#include "driver/makefile_writer.h"
#include "driver/project_scan.h"
#include "frontend/source_text.h"
#include "options/options.h"
#include "values/tree.h"

void generate_makefile(Tovik_opt& options) {
    // The scan reads the options through the published pointer.
    g_options = &options;

    // The dependency store lives until the process ends.
    auto* store = new Deps_tree(options.get(Option_id::target_ext));
    g_deps = store;
    g_store = store;
    if (options.get(Option_id::fast) == "y")
        store->fast = 1;

    // The main section's options are read before a branch replaces them.
    Makefile_writer writer(*store, options.get(Option_id::makefile));
    writer.begin_variables(options.get(Option_id::prefix), options.get(Option_id::vorn_options),
                           options.get(Option_id::section_options));

    // Every pass reads an included file from the disk once.
    Source_cache_scope cache;
    scan_directory("");
    // Branches come from the end of the list: the last one in the template is scanned first.
    while (options.next_branch()) {
        writer.add_branch_variables(options.get(Option_id::opts_variable),
                                    options.get(Option_id::section_options));
        scan_directory("");
    }

    const std::string root_dir = options.get(Option_id::root_dir);
    if (options.get(Option_id::prefix) == "./" && root_dir == "./") {
        writer.finish_archive_rule(Archive_form::archive, site_name(root_dir));
        writer.write_sources_file();
    } else {
        writer.finish_archive_rule(Archive_form::refusal, std::string());
    }

    // Outputs that are always rebuilt count as much as the others: a site made only of them still needs its
    // rules.  Outputs left out of both lists (__NO_OUTPUT__, "nooutput" directories) do not count.
    if (!store->target_list.empty() || !store->always_list.empty()) {
        writer.write_makefile();
    } else {
        reporter().info("No source file found .. creating empty makefile", "Empty makefile created");
        writer.write_empty_makefile();
    }
}
