// Names that go into the generated makefile unquoted: a source, a directory of the site, a dependency.
// make and the shell that runs its recipes read some bytes specially, so names holding them are refused
// rather than written.
#pragma once

#include <string>

// Whether the name holds a byte that make or the shell would read specially: white space, control bytes,
// quotes, wildcards, variable, rule and command syntax.  "/" separates directories and bytes above 127
// are plain.
bool unsafe_make_name(const std::string& name);

// Refuses the dependency `name` (the path as it would be written into the rule) when it is unsafe: the
// error is reported at the reporter's current location.  True when refused and the run goes on.
bool refuse_unsafe_dependency(const std::string& name);
