#include "nodes/file_builtins.h"

#include "diag/reporter.h"

// Not evaluated yet: each of these ends the run with an internal error naming its class.
Gen_type N_date::exec() { reporter().fatal("N_date::exec () -- Internal Error"); }
Gen_type N_fdate::exec() { reporter().fatal("N_fdate::exec () -- Internal Error"); }
Gen_type N_fsize::exec() { reporter().fatal("N_fsize::exec () -- Internal Error"); }
Gen_type N_verbatim::exec() { reporter().fatal("N_verbatim::exec () -- Internal Error"); }
Gen_type N_fileexists::exec() { reporter().fatal("N_fileexists::exec () -- Internal Error"); }
Gen_type N_random::exec() { reporter().fatal("N_random::exec () -- Internal Error"); }
Gen_type N_adj_link::exec() { reporter().fatal("N_adj_link::exec () -- Internal Error"); }
Gen_type N_include::exec() { reporter().fatal("N_include::exec () -- Internal Error"); }
Gen_type N_arg_include::exec() { reporter().fatal("N_arg_include::exec () -- Internal Error"); }

#include "driver/paths.h"

N_file_dep::N_file_dep(Node_ptr file, Node_ptr second)
    : N_dep(std::move(file)), second_(std::move(second)), build_dir_(working_dir() + "/") {}

std::string N_file_dep::resolve(const std::string& name) const {
    return !name.empty() && name[0] == '/' ? name : build_dir_ + name;
}

N_fileexists::N_fileexists(Node_ptr file) : N_builtin3(std::move(file)), build_dir_(working_dir() + "/") {}
