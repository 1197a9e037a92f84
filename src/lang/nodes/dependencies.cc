// Dependency collection: what the dependency nodes add to the rule of the page being scanned.
#include "base/paths.h"
#include "diag/reporter.h"
#include "lang/eval/dependency_collector.h"
#include "lang/eval/node.h"
#include "lang/nodes/statements.h"

void N_dep::deps(Dependency_collector& collector) {
    record_dependency(collector, "N_dep::deps () -- Internal Error");
}

bool N_dep::record_dependency(Dependency_collector& collector, const char* internal_error) {
    Node* name_node = file_.get();
    if (!name_node || !name_node->is_fixed_arg()) {
        collector.unfixed_dependency();
        return false;
    }
    locate();
    Gen_type value = name_node->exec();
    if (!value.is_string())
        reporter().fatal(internal_error);
    // inputfile() and outputfile() are named from the run directory already: only other relative names are
    // taken from the directory of the file being read.
    return collector.add_dependency(value.get_string(reporter()), names_from_run_dir(name_node));
}
