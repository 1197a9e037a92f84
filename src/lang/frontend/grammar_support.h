// What the generated parser offers the rest of the front end (the public entry points are in parser.h).
#pragma once

class Source_scan;

// Runs the generated parser on the scanner's current input: 0 accepted, 1 syntax error, 2 stack overflow.
int grammar_parse(Source_scan& scan);
