// Dependency collection: what the dependency nodes add to the rule of the page being scanned.
#include "base/paths.h"
#include "diag/reporter.h"
#include "lang/eval/dependency_collector.h"
#include "lang/eval/node.h"
#include "lang/nodes/statements.h"

void N_dep::deps() {
    record_dependency("N_dep::deps () -- Internal Error");
}

bool N_dep::record_dependency(const char* internal_error) {
    Node* name_node = file_.get();
    auto* store = dynamic_cast<Dependency_collector*>(owner);
    if (!name_node || !name_node->is_fixed_arg()) {
        // With records of what pages read, the file is tracked all the same: a note, not a warning.
        if (store && !store->records_dir.empty()) {
            if (store->unfixed_dependency())
                reporter().info("unable to get dependency");
        } else if (!store || store->unfixed_dependency()) {
            reporter().warning("unable to get dependency");
        }
        return false;
    }
    owner->ensure_dep();
    locate();
    Gen_type value = name_node->exec();
    if (!value.is_string() || !store)
        reporter().fatal(internal_error);
    // inputfile() and outputfile() are named from the run directory already: only other relative names are
    // taken from the directory of the file being read.
    return store->add_dependency(value.get_string(), names_from_run_dir(name_node));
}
