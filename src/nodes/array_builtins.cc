#include "nodes/array_builtins.h"

#include "diag/reporter.h"

// Not evaluated yet: each of these ends the run with an internal error naming its class.
Gen_type N_list::exec() { reporter().fatal("N_list::exec () -- Internal Error"); }
Gen_type N_fix_list::exec() { reporter().fatal("N_fix_list::exec () -- Internal Error"); }
Gen_type N_del::exec() { reporter().fatal("N_del::exec () -- Internal Error"); }
Gen_type N_push::exec() { reporter().fatal("N_push::exec () -- Internal Error"); }
Gen_type N_fill::exec() { reporter().fatal("N_fill::exec () -- Internal Error"); }

N_list::~N_list() { unchain(left_); }
