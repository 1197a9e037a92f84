// normalize_path, with the properties every result must have.  The first byte's low bit is
// drop_leading_dot; the rest is the path.
#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string>

#include "base/paths.h"
#include "fuzz_support.h"

namespace {

void fail(const char* what, const std::string& path, const std::string& result) {
    std::fprintf(stderr, "normalize_path: %s\n  path:   \"%s\"\n  result: \"%s\"\n", what, path.c_str(),
                 result.c_str());
    std::abort();
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    if (size == 0)
        return 0;
    fz::start_input();
    const bool drop = (data[0] & 1) != 0;
    const std::string path = fz::text_of(data + 1, size - 1);
    try {
        const std::string result = normalize_path(path, drop);
        // The last component is never touched.
        if (base_name(result) != base_name(path))
            fail("the last component changed", path, result);
        // A relative path stays relative and an absolute one absolute.
        if (!path.empty() && (path[0] == '/') != (!result.empty() && result[0] == '/'))
            fail("the path changed between relative and absolute", path, result);
        // Normalising again changes nothing.
        if (normalize_path(result, drop) != result)
            fail("a second normalisation changed the result", path, result);
        // Never longer than the path itself.
        if (result.size() > path.size())
            fail("the result is longer than the path", path, result);
        with_slash(result);
        dir_part(result);
    } catch (const fz::Input_ended&) {
    }
    fz::finish_input();
    return 0;
}
