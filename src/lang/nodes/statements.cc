// Sequences, output statements, the end markers and the user-raised messages.
#include "lang/nodes/statements.h"

#include <cstdio>
#include <vector>

#include "diag/reporter.h"
#include "lang/eval/eval_context.h"

Gen_type N_empty::exec() {
    locate();
    return Gen_type(0);
}

Gen_type N_end::exec() {
    locate();
    return Gen_type(0);
}

// The end of an included file gives the including file its own _argc and _argv back.
Gen_type N_eof::exec() {
    locate();
    owner->on_included_end_run();
    return Gen_type(0);
}

N_stmt::~N_stmt() {
    unchain(sequence_);
}

// Equivalent to { locate(); sequence->exec(); statement->exec(); } applied recursively, but a sequence is a
// chain leaning to the left as long as the block, so its spine is walked as a loop: the spine's nodes are
// located top-down as the recursion would, then the statements run in source order.
Gen_type N_stmt::exec() {
    locate();
    auto* below = dynamic_cast<N_stmt*>(sequence_.get());
    if (!below) {
        sequence_->exec();
        statement_->exec();
        return Gen_type(0);
    }
    std::vector<N_stmt*> spine{this};
    for (; below; below = dynamic_cast<N_stmt*>(below->sequence_.get())) {
        below->locate();
        spine.push_back(below);
    }
    spine.back()->sequence_->exec();
    for (auto it = spine.rbegin(); it != spine.rend(); ++it)
        (*it)->statement_->exec();
    return Gen_type(0);
}

Gen_type N_echo::exec() {
    locate();
    Gen_type v = value_->exec();
    owner->on_text(v.to_string(reporter(), false));
    return v;
}

Gen_type N_print::exec() {
    locate();
    Gen_type v = value_->exec();
    std::string line = v.to_string(reporter(), false);
    line += '\n';
    owner->on_text(line);
    return v;
}

// term() bypasses the page: the text goes to the standard output stream at once.
Gen_type N_term::exec() {
    locate();
    Gen_type v = value_->exec();
    std::string line = v.to_string(reporter(), false);
    line += '\n';
    std::fwrite(line.data(), 1, line.size(), stdout);
    std::fflush(stdout);
    return v;
}

// A text that is not a string is refused with `type_error`; when errors are ignored the message cannot be
// taken from it, and reading it as a string ends the run.
Gen_type N_raise_base::raise(bool as_error, const char* type_error) {
    Reporter& r = reporter();
    Gen_type message = message_->exec();
    if (!message.is_string())
        r.error(type_error);
    Gen_type brief;
    if (brief_) {
        brief = brief_->exec();
        if (!brief.is_string())
            r.error(type_error);
    }
    const std::string& full = message.get_string(reporter());
    const std::string& short_text = brief_ ? brief.get_string(reporter()) : full;
    if (as_error)
        r.error(full, short_text);
    else
        r.warning(full, short_text);
    return Gen_type(0);
}

Gen_type N_raiseerr::exec() {
    locate();
    return raise(true, "raiseerror called with non string expression");
}

Gen_type N_raisewarn::exec() {
    locate();
    return raise(false, "raisewarning called with non string expression");
}
