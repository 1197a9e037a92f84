// inputfile, absinputfile, outputfile and absoutputfile: the names the store holds for the source being
// processed and for its page.
#include "diag/reporter.h"
#include "lang/eval/eval_context.h"
#include "lang/nodes/statements.h"

namespace {

// The prefix is the literal the parser found between the parentheses, taken as written.
std::string prefix_text(Reporter& reporter, const Gen_type* prefix, const char* error) {
    if (!prefix)
        return std::string();
    if (!prefix->is_string()) {
        reporter.error(error);
        return std::string();
    }
    return prefix->text();
}

} // namespace

N_input::N_input(Reporter& reporter, const Gen_type* prefix)
    : prefix_(prefix_text(reporter, prefix, "input (prefix): prefix must be a string literal")) {}

N_output::N_output(Reporter& reporter, const Gen_type* prefix)
    : prefix_(prefix_text(reporter, prefix, "output (prefix): prefix must be a string literal")) {}

Gen_type N_input::exec() {
    locate();
    // The page's own names differ from page to page.
    owner->on_page_value();
    return Gen_type(prefix_ + owner->input_name());
}

Gen_type N_abs_input::exec() {
    locate();
    owner->on_page_value();
    return Gen_type(owner->input_path());
}

// The dependency collector adds the output extension in force for the source.
Gen_type N_output::exec() {
    locate();
    owner->on_page_value();
    return Gen_type(prefix_ + owner->output_name());
}

Gen_type N_abs_output::exec() {
    locate();
    owner->on_page_value();
    return Gen_type(owner->output_path());
}

bool names_from_run_dir(const Node* file_name) {
    return dynamic_cast<const N_input*>(file_name) || dynamic_cast<const N_output*>(file_name);
}
