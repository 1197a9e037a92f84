#include "driver/make_names.h"

#include <cstring>

#include "diag/reporter.h"

bool unsafe_make_name(const std::string& name) {
    static const char special[] = "$#:;=%\"'`\\*?[](){}<>|&!~^";
    for (unsigned char c : name) {
        if (c <= 0x20 || c == 0x7f)
            return true;
        if (std::strchr(special, c) != nullptr)
            return true;
    }
    return false;
}

bool refuse_unsafe_dependency(const std::string& name) {
    if (!unsafe_make_name(name))
        return false;
    reporter().error(
        name + ": dependency name holds characters that make or the shell read specially; not recorded",
        name + ": unsafe name");
    return true;
}
