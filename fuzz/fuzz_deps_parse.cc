// The source scanner and the parser working for the dependency store, as vorn-tovik runs them on a source:
// every node is registered and asked for its dependencies, then the names of the page's dependencies are
// written as the makefile writes them.
// An input starting with the byte 0x01 is parsed (without that byte) with errors ignored, as
// `vorn-tovik --ignore-errors` does.
#include <cstddef>
#include <cstdint>
#include <string>

#include "diag/reporter.h"
#include "fuzz_support.h"
#include "lang/eval/dependency_collector.h"
#include "lang/eval/eval_context.h"
#include "lang/frontend/parser.h"
#include "tovik/makefile_writer.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    fz::start_input();
    std::string text = fz::text_of(data, size);
    const bool ignore_errors = !text.empty() && text[0] == '\x01';
    if (ignore_errors)
        text.erase(0, 1);
    try {
        Reporter reporter;
        fz::quiet(reporter);
        if (ignore_errors)
            reporter.set_policy(Policy::ignore_errors);
        Dependency_collector store(reporter, "html");
        Source_scan parser(reporter);
        store.set_directory("");
        store.set_input_name("page.vrn");
        store.set_output_name("page.html");
        reporter.set_file("page.vrn");
        parser.parse_string(store, text);
        reporter.clear_scan_location();
        prerequisite_names(store);
        store.end_source();
    } catch (const fz::Input_ended&) {
    }
    fz::finish_input();
    return 0;
}
