#include "lang/frontend/parser.h"

#include "diag/reporter.h"
#include "lang/eval/eval_context.h"
#include "lang/frontend/grammar_support.h"

Source_scan::Source_scan(Reporter& reporter, Site_cache* site)
    : flex(nullptr), includes(reporter, site), reporter_(reporter) {
    flex = scanner_create(*this);
}

Source_scan::~Source_scan() {
    scanner_destroy(*this);
}

void Source_scan::work_for(Eval_context* store) {
    store_ = store;
    includes.work_for(store);
}

void Source_scan::begin(Eval_context& store) {
    work_for(&store);
    base_depth_ = reporter_.include_depth();
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

int Source_scan::parse_file(Eval_context& store, std::FILE* f) {
    begin(store);
    scanner_begin_file(*this, f);
    return run();
}

int Source_scan::parse_string(Eval_context& store, const std::string& text) {
    begin(store);
    scanner_begin_bytes(*this, text);
    return run();
}

void Source_scan::abandon() {
    scanner_unwind(*this);
    Reporter& r = reporter_;
    while (r.include_depth() > base_depth_)
        r.restore_location();
    capture = Capture();
    values.release_all();
    if (store_)
        store_->on_parse_abandoned();
}
