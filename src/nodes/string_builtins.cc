#include "nodes/string_builtins.h"

#include "diag/reporter.h"

// Not evaluated yet: each of these ends the run with an internal error naming its class.
Gen_type N_substr::exec() { reporter().fatal("N_substr::exec () -- Internal Error"); }
Gen_type N_find::exec() { reporter().fatal("N_find::exec () -- Internal Error"); }
Gen_type N_find_match::exec() { reporter().fatal("N_find_match::exec () -- Internal Error"); }
Gen_type N_char::exec() { reporter().fatal("N_char::exec () -- Internal Error"); }
Gen_type N_startswith::exec() { reporter().fatal("N_startswith::exec () -- Internal Error"); }
Gen_type N_endswith::exec() { reporter().fatal("N_endswith::exec () -- Internal Error"); }
Gen_type N_insert::exec() { reporter().fatal("N_insert::exec () -- Internal Error"); }
Gen_type N_replace::exec() { reporter().fatal("N_replace::exec () -- Internal Error"); }
Gen_type N_trim::exec() { reporter().fatal("N_trim::exec () -- Internal Error"); }
Gen_type N_ltrim::exec() { reporter().fatal("N_ltrim::exec () -- Internal Error"); }
Gen_type N_rtrim::exec() { reporter().fatal("N_rtrim::exec () -- Internal Error"); }
Gen_type N_ch_case::exec() { reporter().fatal("N_ch_case::exec () -- Internal Error"); }
Gen_type N_length::exec() { reporter().fatal("N_length::exec () -- Internal Error"); }
Gen_type N_tok::exec() { reporter().fatal("N_tok::exec () -- Internal Error"); }
Gen_type N_join::exec() { reporter().fatal("N_join::exec () -- Internal Error"); }
