#include "nodes/statements.h"

#include "diag/reporter.h"

// Not evaluated yet: each of these ends the run with an internal error naming its class.
Gen_type N_empty::exec() { reporter().fatal("N_empty::exec () -- Internal Error"); }
Gen_type N_end::exec() { reporter().fatal("N_end::exec () -- Internal Error"); }
Gen_type N_eof::exec() { reporter().fatal("N_eof::exec () -- Internal Error"); }
Gen_type N_stmt::exec() { reporter().fatal("N_stmt::exec () -- Internal Error"); }
Gen_type N_echo::exec() { reporter().fatal("N_echo::exec () -- Internal Error"); }
Gen_type N_print::exec() { reporter().fatal("N_print::exec () -- Internal Error"); }
Gen_type N_term::exec() { reporter().fatal("N_term::exec () -- Internal Error"); }
Gen_type N_if::exec() { reporter().fatal("N_if::exec () -- Internal Error"); }
Gen_type N_ifdef::exec() { reporter().fatal("N_ifdef::exec () -- Internal Error"); }
Gen_type N_ifndef::exec() { reporter().fatal("N_ifndef::exec () -- Internal Error"); }
Gen_type N_cond_seq::exec() { reporter().fatal("N_cond_seq::exec () -- Internal Error"); }
Gen_type N_if_else::exec() { reporter().fatal("N_if_else::exec () -- Internal Error"); }
Gen_type N_for::exec() { reporter().fatal("N_for::exec () -- Internal Error"); }
Gen_type N_while::exec() { reporter().fatal("N_while::exec () -- Internal Error"); }
Gen_type N_foreach::exec() { reporter().fatal("N_foreach::exec () -- Internal Error"); }
Gen_type N_raiseerr::exec() { reporter().fatal("N_raiseerr::exec () -- Internal Error"); }
Gen_type N_raisewarn::exec() { reporter().fatal("N_raisewarn::exec () -- Internal Error"); }
Gen_type N_input::exec() { reporter().fatal("N_input::exec () -- Internal Error"); }
Gen_type N_abs_input::exec() { reporter().fatal("N_abs_input::exec () -- Internal Error"); }
Gen_type N_output::exec() { reporter().fatal("N_output::exec () -- Internal Error"); }
Gen_type N_abs_output::exec() { reporter().fatal("N_abs_output::exec () -- Internal Error"); }

N_stmt::~N_stmt() { unchain(sequence_); }
N_cond_seq::~N_cond_seq() { unchain(chain_); }
Gen_type N_raise_base::raise(bool, const char*) { return Gen_type(0); }
N_input::N_input(const Gen_type*) {}
N_output::N_output(const Gen_type*) {}
