#include "vorn/dep_record.h"

#include "base/make_names.h"
#include "base/paths.h"
#include "diag/reporter.h"

namespace {

void left_out(Reporter& reporter, const std::string& name) {
    reporter.verbose_info(name + ": make cannot read this name back as a file; left out of the record",
                          name + ": name make cannot express");
}

} // namespace

std::string dep_record(Reporter& reporter, const std::string& output, const std::set<std::string>& reads) {
    if (!expressible_prerequisite(output)) {
        left_out(reporter, output);
        return std::string();
    }
    const std::string page = normalize_path(output, true);
    std::string rule = target_text(escaped_prerequisite(output)) + ":";
    std::string empty_rules;
    for (const std::string& name : reads) {
        if (name == page)
            continue;
        if (!expressible_prerequisite(name)) {
            left_out(reporter, name);
            continue;
        }
        const std::string text = escaped_prerequisite(name);
        rule += " \\\n\t" + text;
        empty_rules += target_text(text) + ":\n";
    }
    return rule + "\n\n" + empty_rules;
}
