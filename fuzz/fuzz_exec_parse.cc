// The source scanner and the parser working for the execution store, as vorn runs a source: every completed
// statement is evaluated at once.  The store refuses external programs (--noext-error): cmd, exec, evalcmd
// and evalexec report an error, which ends the input, so nothing outside this process ever runs.  Endless
// loops and huge values are ended by the fuzz build's budget (base/fuzz_budget.h).
#include <cstddef>
#include <cstdint>

#include "diag/reporter.h"
#include "fuzz_support.h"
#include "lang/eval/eval_context.h"
#include "lang/eval/page_renderer.h"
#include "lang/frontend/parser.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    fz::start_input();
    try {
        Reporter reporter;
        fz::quiet(reporter);
        Page_renderer store(reporter, "page.vrn", "page.html", "./", Program_policy::refuse);
        Source_scan parser(reporter);
        reporter.set_file("page.vrn");
        parser.parse_string(store, fz::text_of(data, size));
        reporter.clear_scan_location();
    } catch (const fz::Input_ended&) {
    }
    fz::finish_input();
    return 0;
}
