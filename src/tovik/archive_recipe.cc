#include "tovik/archive_recipe.h"

#include <cstring>

#include "base/make_names.h"
#include "base/paths.h"

namespace {

bool plain_byte(unsigned char c) {
    return c >= 0x80 || (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || (c >= '0' && c <= '9') ||
           std::strchr("._-+,@/", c) != nullptr;
}

// The text as one shell word inside a make recipe: single quotes unless every byte is plain, "$" doubled
// for make.
std::string shell_word(const std::string& text, bool always_quote = false) {
    bool plain = !text.empty() && !always_quote;
    for (unsigned char c : text)
        plain = plain && plain_byte(c);
    if (plain)
        return text;
    std::string out = "'";
    for (char c : text) {
        if (c == '\'')
            out += "'\\''";
        else if (c == '$')
            out += "$$";
        else
            out += c;
    }
    return out + "'";
}

// The text as a tar pattern that matches only itself.
std::string tar_literal(const std::string& text) {
    std::string out;
    for (char c : text) {
        if (std::strchr("*?[\\", c) != nullptr)
            out += '\\';
        out += c;
    }
    return out;
}

} // namespace

bool archivable_name(const std::string& name, bool path) {
    if (name.empty() || name[0] == '-')
        return false;
    for (unsigned char c : name) {
        if (c == '/' && !path)
            return false;
        if (!plain_byte(c) && std::strchr(" ()", c) == nullptr)
            return false;
    }
    return true;
}

std::string archive_recipe(const std::string& site, const std::string& makefile,
                           const std::set<std::string>& extensions) {
    const std::string archive = shell_word(site + ".tar.gz");
    const std::string sources = shell_word(makefile + ".sources");
    // sed makes each line of the list a pattern of its own path: "./" in front, tar's pattern bytes escaped,
    // and a last blank kept as "[ ]" (tar drops white space at the end of a pattern line).  No "o" for
    // tar: the old V7 format cannot store a path longer than 99 bytes.  The archive is created before tar
    // runs: gzip would otherwise create it in the directory while tar reads it, and tar would fail with
    // "file changed as we read it".
    std::string recipe =
        "test -r " + sources + " && touch " + archive + " && \\\n\t" +
        "LC_ALL=C sed -e '/^$$/d' -e 's/[][*?\\\\]/\\\\&/g' -e 's/[[:space:]]$$/[&]/' "
        "-e 's|^|./|' \\\n\t" +
        sources + " | \\\n\t" + "tar chzf " + archive +
        " --transform=" + shell_word("s|^\\.|" + site + "|S", true) +
        " --anchored --no-wildcards-match-slash \\\n\t-X - --exclude=" +
        shell_word("./" + tar_literal(dir_part(makefile)) + "." + tar_literal(base_name(makefile)) + ".*",
                   true);
    std::string pages;
    for (const std::string& ext : extensions)
        if (!ext.empty() && !has_control_byte(ext))
            pages += " --exclude=" + shell_word(".*." + tar_literal(ext) + ".??????", true);
    if (!pages.empty())
        recipe += " --no-anchored" + pages;
    return recipe + " .";
}
