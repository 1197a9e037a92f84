// Names that go into the generated makefile.  A source and the directories of the site are written
// unquoted into rules and into the recipes that the shell runs, so a name holding bytes that make or the
// shell read specially is left out.  A dependency is only a prerequisite, which make alone reads: it is
// escaped so that make reads back exactly that file, and only a name make cannot express is left out.
#pragma once

#include <string>

// Whether the name holds a byte that make or the shell would read specially: white space, control bytes,
// quotes, wildcards, variable, rule and command syntax.  "/" separates directories and bytes above 127
// are plain.
bool unsafe_make_name(const std::string& name);

// Whether the name holds a control byte (below 32, or 127).
bool has_control_byte(const std::string& name);

// Whether GNU make can be given the file `name` as a prerequisite: not when it holds ";", "|", "=", "(",
// ")" or a control byte, ends with a backslash, or is made of blanks only.
bool expressible_prerequisite(const std::string& name);

// The expressible `name` written so that make reads it back as exactly that file.  A blank, "#" and ":"
// take a backslash (and the backslashes right before them are doubled), "$" is doubled.  A name that make
// would expand as a file pattern (holding "*", "?" or "[", beginning with "~" or ending with a blank) has
// each of "\\ * ? [" escaped with a backslash, a leading "~" written "[~]" and a final blank "[\\ ]".
std::string escaped_prerequisite(const std::string& name);

// A prerequisite's text (as escaped_prerequisite gives it) written as a rule's target: a "%" would make the
// rule a pattern rule, so it takes a backslash (and the backslashes right before it are doubled).
std::string target_text(const std::string& prerequisite);

// Whether `text` is a prerequisite as escaped_prerequisite writes one: no byte in it that make would read as
// syntax (a control byte, ";", "|", "=", "(", ")", a "$" that is not doubled, a blank, "#" or ":" without
// its backslash, a final backslash).  A record read back must not carry anything else into a makefile.
bool escaped_prerequisite_text(const std::string& text);
