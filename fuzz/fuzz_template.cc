// The template file reader: the template scanner and the merge of its settings into the options, then the
// translation list and the branch list as vorn-tovik takes them apart.
#include <cstddef>
#include <cstdint>

#include "diag/reporter.h"
#include "fuzz_support.h"
#include "tovik/parse_options.h"
#include "tovik/template_reader.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    fz::start_input();
    try {
        Reporter reporter;
        fz::quiet(reporter);
        Tovik_opt options;
        Pending_settings pending;
        merge_template_text(reporter, options, pending, fz::text_of(data, size));
        options.translations.assign(1, std::string());
        if (pending.translations)
            split_translations(*pending.translations, options.translations);
        while (options.next_branch()) {
        }
    } catch (const fz::Input_ended&) {
    }
    fz::finish_input();
    return 0;
}
