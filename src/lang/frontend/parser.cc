#include "lang/frontend/parser.h"

#include <cstddef>

#include "diag/reporter.h"
#include "lang/eval/dependency_collector.h"
#include "lang/eval/eval_context.h"
#include "lang/frontend/grammar_support.h"
#include "lang/frontend/parse_values.h"
#include "lang/frontend/scanner.h"

namespace {

// The reporter's include-stack depth when the main source started.
std::size_t base_depth = 0;

void begin() {
    base_depth = reporter().include_depth();
    grammar_reset();
}

int run() {
    int result;
    try {
        result = grammar_parse();
    } catch (...) {
        abandon_parse();
        throw;
    }
    if (result != 0) {
        abandon_parse();
        return 1;
    }
    scanner_finish();
    return 0;
}

} // namespace

int parse_file(std::FILE* f) {
    begin();
    scanner_begin_file(f);
    return run();
}

int parse_string(const std::string& text) {
    begin();
    scanner_begin_bytes(text);
    return run();
}

void abandon_parse() {
    scanner_unwind();
    Reporter& r = reporter();
    while (r.include_depth() > base_depth)
        r.restore_location();
    grammar_reset();
    parse_values::release_all();
    if (auto* store = dynamic_cast<Dependency_collector*>(g_store))
        store->reset_source_state();
}

void reset_front_end() {
    abandon_parse();
    scanner_release();
    base_depth = 0;
}
