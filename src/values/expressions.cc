#include "values/expressions.h"

#include "diag/reporter.h"

// Not evaluated yet: each of these ends the run with an internal error naming its class.
Gen_type N_const::exec() { reporter().fatal("N_const::exec () -- Internal Error"); }
Gen_type N_var::exec() { reporter().fatal("N_var::exec () -- Internal Error"); }
Gen_type N_ind_expr::exec() { reporter().fatal("N_ind_expr::exec () -- Internal Error"); }
Gen_type N_assign_base::exec() { reporter().fatal("N_assign_base::exec () -- Internal Error"); }
Gen_type N_epp::exec() { reporter().fatal("N_epp::exec () -- Internal Error"); }
Gen_type N_undef::exec() { reporter().fatal("N_undef::exec () -- Internal Error"); }
Gen_type N_empty_array::exec() { reporter().fatal("N_empty_array::exec () -- Internal Error"); }
Gen_type N_tobool::exec() { reporter().fatal("N_tobool::exec () -- Internal Error"); }
Gen_type N_toint::exec() { reporter().fatal("N_toint::exec () -- Internal Error"); }
Gen_type N_tostring::exec() { reporter().fatal("N_tostring::exec () -- Internal Error"); }
Gen_type N_toarray::exec() { reporter().fatal("N_toarray::exec () -- Internal Error"); }
Gen_type N_isint::exec() { reporter().fatal("N_isint::exec () -- Internal Error"); }
Gen_type N_isstring::exec() { reporter().fatal("N_isstring::exec () -- Internal Error"); }
Gen_type N_isarray::exec() { reporter().fatal("N_isarray::exec () -- Internal Error"); }
Gen_type N_not::exec() { reporter().fatal("N_not::exec () -- Internal Error"); }
Gen_type N_uminus::exec() { reporter().fatal("N_uminus::exec () -- Internal Error"); }

// Constructors and chain handling.
N_assign::N_assign(Node_ptr target, Node_ptr value, bool define_only)
    : N_assign_base(define_only), target_(static_cast<N_base_var*>(target.get())), target_owner_(std::move(target)),
      value_(std::move(value)) {}

N_assign_rec::N_assign_rec(Node* target, Node_ptr combine)
    : N_assign_base(false), target_(static_cast<N_base_var*>(target)), combine_(std::move(combine)) {}

std::string N_var::variable_name() { return name_; }
std::string N_ind_expr::variable_name() { return std::string(); }

N_binary::~N_binary() { unchain(left_); }

Gen_type N_binary::exec() { reporter().fatal("N_binary::exec () -- Internal Error"); }
#define VT_COMBINE_STUB(NAME)                                                                                  \
    Gen_type NAME::combine(Gen_type) { reporter().fatal(#NAME "::exec () -- Internal Error"); }
VT_COMBINE_STUB(N_and)
VT_COMBINE_STUB(N_or)
VT_COMBINE_STUB(N_plus)
VT_COMBINE_STUB(N_minus)
VT_COMBINE_STUB(N_times)
VT_COMBINE_STUB(N_div)
VT_COMBINE_STUB(N_mod)
VT_COMBINE_STUB(N_pow)
VT_COMBINE_STUB(N_eq)
VT_COMBINE_STUB(N_neq)
VT_COMBINE_STUB(N_gt)
VT_COMBINE_STUB(N_lt)
VT_COMBINE_STUB(N_ge)
VT_COMBINE_STUB(N_le)
VT_COMBINE_STUB(N_w_eq)
VT_COMBINE_STUB(N_w_neq)
