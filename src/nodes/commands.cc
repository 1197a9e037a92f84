#include "nodes/commands.h"

#include "diag/reporter.h"

// Not evaluated yet: each of these ends the run with an internal error naming its class.
Gen_type N_cmd::exec() { reporter().fatal("N_cmd::exec () -- Internal Error"); }
Gen_type N_exec::exec() { reporter().fatal("N_exec::exec () -- Internal Error"); }

void N_exec::deps() { N_dep::deps(); }
