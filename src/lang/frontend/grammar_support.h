// What the generated parser offers the rest of the front end (the public entry points are in parser.h).
#pragma once

// Runs the generated parser on the scanner's current input: 0 accepted, 1 syntax error, 2 stack overflow.
int grammar_parse();
// Forgets the text-capture state of a type block.
void grammar_reset();
// Whether a "type(NAME):" block is capturing text.
bool grammar_capturing();
