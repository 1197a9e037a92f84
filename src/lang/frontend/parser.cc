#include "lang/frontend/parser.h"

#include "diag/reporter.h"
#include "lang/eval/eval_context.h"
#include "lang/frontend/grammar_support.h"

Source_scan::Source_scan(Site_cache* site) : flex(nullptr), includes(site) {
    flex = scanner_create(*this);
}

Source_scan::~Source_scan() {
    scanner_destroy(*this);
}

void Source_scan::begin() {
    base_depth_ = reporter().include_depth();
    capture = Capture();
}

int Source_scan::run() {
    int result;
    try {
        result = grammar_parse(*this);
    } catch (...) {
        abandon();
        throw;
    }
    if (result != 0) {
        abandon();
        return 1;
    }
    scanner_finish(*this);
    return 0;
}

int Source_scan::parse_file(std::FILE* f) {
    begin();
    scanner_begin_file(*this, f);
    return run();
}

int Source_scan::parse_string(const std::string& text) {
    begin();
    scanner_begin_bytes(*this, text);
    return run();
}

void Source_scan::abandon() {
    scanner_unwind(*this);
    Reporter& r = reporter();
    while (r.include_depth() > base_depth_)
        r.restore_location();
    capture = Capture();
    values.release_all();
    if (g_store)
        g_store->on_parse_abandoned();
}
