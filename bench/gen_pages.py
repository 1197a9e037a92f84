#!/usr/bin/env python3
"""Writes a deterministic site of random Vorn pages that use the whole language, for comparing two builds of
vorn with bench/compare_builds.py (see bench/README.md).

    gen_pages.py --pages N --seed S --out DIR

DIR holds the pages p0000.vrn ... (a third each at the root, in sec/ and in sec/deep/), included files under
inc/ (generated ones, each including only files generated after it, and a few written by hand: arguments,
text between code, a syntax error, an inclusion of itself), data files under data/, scripts under scripts/
and a Makefile.vt; every file has a fixed modification time.  About one page in twelve is broken on
purpose; these and the pages that include a file which ends the run or which vorn-tovik refuses, about a
third in all, are marked as not clean.  The pages use no present date and no command whose output varies;
every loop is bounded, and a string or array grows by a bounded amount per statement in nearly every case,
so that pages do not run away.

As a module, `generate(pages, seed, out)` writes the site and gives, for each page, the command lines to run
it with (`Page_run`).  Standard library only; the same arguments give the same site with the same Python.
"""

import argparse
import calendar
import os
import posixpath
import random
import shlex
import shutil
import sys

# 2026-03-05 09:07:03 UTC, and the other fixed times that data files carry.
FIXED_TIME = calendar.timegm((2026, 3, 5, 9, 7, 3))
OTHER_TIMES = [calendar.timegm(t) for t in [(2001, 9, 9, 1, 46, 40), (1999, 12, 31, 23, 59, 59),
                                            (2026, 1, 1, 0, 0, 0), (2024, 2, 29, 12, 5, 9)]]

INT_VARS = ["na", "nb", "nc"]
STR_VARS = ["sa", "sb", "sc"]
ARR_VARS = ["aa", "ab", "ac"]
ANY_VARS = ["wa", "wb"]
UNSET = ["missing", "nothing"]
WORDS = ["apple", "pear", "news", "Home", "a", "b", "ab", "x,y", "1", "12abc", " -7 apples", "0", "", " ",
         "é", "a-b-c", "  padded  ", "TITLE", "2026-5", "%s of %s", "%s-%s", "a,b,,c", "banana", "tab\\there"]
ESCAPES = ["\\n", "\\t", "\\\\", "\\d", "\\\n", "\n", "\\'", "\\`", "</vorn>", "@@"]  # in literals
INTS = ["0", "1", "2", "3", "7", "10", "42", "100", "65536", "2147483647", "99999999999", "-1", "-7"]
TEXTS = ["<p>Some text</p>\n", "a < b and <vornx> is text\n", "joined \\\nline\n", "back \\ slash\n",
         "// not a comment /* here */\n", "<!-- html comment -->", "café ü\n", "\ttab\n", "", " ", "\n",
         "@@not@@ a type\n", "<", "x\r\n", "</vorn> stray\n", "{ } ; # .\n", "\0nul\n"]
DATE_FORMATS = ["plain text", "#", "# x #x", "100#", "#a#b#c#"]
FILE_FORMATS = ["#D, #d #M #y at #h:#n:#s", "#d/#m/#y", "#b bytes, #k KiB, #m MiB", "#", "#x #b", "#h#n#s"]
DATA = {"data/plain.txt": b"Copy freely. <No code here.>\n", "data/crlf.txt": b"one\r\ntwo\r\n",
        "data/nul.bin": b"a\0b\0\xff\xfe", "data/empty.txt": b"", "data/kb.bin": b"k" * 1500,
        "data/big.bin": b"m" * 70000, "data/sub/deep.txt": b"deep <vorn>echo(1);</vorn>\n"}
SCRIPTS = {
    "scripts/hello.sh": "#!/bin/sh\necho \"Hello, $1! LA is '$LA'.\"\n",
    "scripts/count.sh": "#!/bin/sh\necho $#\n",
    "scripts/env.sh": "#!/bin/sh\nenv | LC_ALL=C sort\n",
    "scripts/fail.sh": "#!/bin/sh\necho partial\nexit 3\n",
    "scripts/err.sh": "#!/bin/sh\necho 'to stderr' >&2\necho out\n",
    "scripts/nul.sh": "#!/bin/sh\nprintf 'be\\000fore after'\n",
}
COMMANDS = ["printf 'from the shell'", "echo line", "exit 3", "printf 'a b c'", "echo err >&2", "true",
            "printf '%s' \"$TZ\"", "cat missing-file 2>/dev/null"]
# Hand-written included files, below inc/: the pages include those of LOOP_SAFE_HAND anywhere, the others
# (which end the run, or which vorn-tovik refuses) now and then, outside loops.
HAND_INCLUDES = {
    "args.vrn": ('print("args: " + _argc + " " + _argv);\n'
                 'type:<i>@@_argv[0]@@</i>\nendtype;\n'
                 'if (_argc > 2) include("sub/nested.vrn", "from args", _argv[2]);\n'),
    "sub/nested.vrn": 'echo("[nested " + _argc + " " + _argv[1] + "]");\nverbatim("../../data/plain.txt");\n',
    "text.vrn": 'echo("[code 1]");\n</vorn>[text]<vorn>\necho("[code 2]");\n',
    "broken.vrn": 'echo("x";\nna = ;\n',
    "self.vrn": 'include("self.vrn");\n',
    "warn.vrn": 'echo(menu_title);\nraisewarning("from an included file", "inc");\n',
}
LOOP_SAFE_HAND = ["args.vrn", "sub/nested.vrn", "warn.vrn"]
GENERATED_INCLUDES = 16
LEAF_FROM = 10  # generated files from this index on include nothing and hold no loop
TOP_DEPTH = 3  # how deep the statements of a page nest
OPTION_SETS = [[], ["-i"], ["-i"], ["-i"], ["-i"], ["-i", "-v"], ["-i", "-v"], ["-i", "-b"], ["-i", "-q"],
               ["-b"], ["-E", "-v"], ["-i", "--noext-warning"], ["-i", "--noext-error"], ["-i", "-b", "-v"],
               ["-i", "-s"]]


class Rng(random.Random):
    """Python's own generator (gen_site.py's is portable across versions, but five times slower)."""

    def below(self, n):
        return self.randrange(n)

    def between(self, lo, hi):
        return self.randint(lo, hi)

    def chance(self, percent):
        return self.random() * 100 < percent

    def pick(self, seq):
        return self.choice(seq)

    def fork(self, salt):
        return Rng(self.getrandbits(64) ^ salt)


def q(text, quote='"'):
    """A string literal of `text`, whose backslash pairs stay as they are, in the given quotes."""
    out, i = [], 0
    while i < len(text):
        if text[i] == "\\":
            out.append(text[i : i + 2])
            i += 2
            continue
        out.append("\\" + quote if text[i] == quote else text[i])
        i += 1
    return quote + "".join(out) + quote


class Code:
    """Random statements of one file, whose names of files are relative to its directory `here`."""

    def __init__(self, rng, here, includes, page, leaf=False):
        self.rng = rng
        self.here = here
        self.includes = includes  # (site-relative path, may stand in a loop)
        self.counters = ["_i", "_j"] if page else ["_fi", "_fj"]
        self.loops = []  # the counters of the loops around the statement being written
        self.leaf = leaf  # a file that a loop may include: no loop, no program run
        self.page = page
        self.clean = True  # no inclusion that ends the run or that vorn-tovik refuses, no broken statement
        self.top_depth = TOP_DEPTH if page else TOP_DEPTH - 1  # the depth of statements outside any other
        self.budget = 1  # string, array and untyped variables that the expression may still read
        self.storing = True  # the statement may store a string or an array

    def rel(self, path):
        return posixpath.relpath("/" + path, "/" + self.here)

    def chance(self, percent):
        return self.rng.chance(percent)

    def pick(self, seq):
        return self.rng.pick(seq)

    # ---- expressions

    def literal(self, kind):
        r = self.rng
        if kind == "i":
            return self.pick(INTS)
        if kind == "s":
            parts = [self.pick(WORDS) for _ in range(r.between(1, 3))]
            if self.chance(30):
                parts.insert(r.below(len(parts) + 1), self.pick(ESCAPES))
            return q("".join(parts), self.pick(['"', '"', "'", "`"]))
        if kind == "a":
            return "{" + ", ".join(self.literal(self.pick("iisa")) for _ in range(r.between(1, 4))) + "}"
        return self.literal(self.pick("isa"))

    def variable(self, kind):
        """A variable of `kind`, or a literal when the budget of reads is spent."""
        if kind == "i":
            return self.pick(INT_VARS + self.loops + ["_argc"])
        if self.budget <= 0:
            return self.literal(kind)
        self.budget -= 1
        if kind == "s":
            return self.pick(STR_VARS)
        if kind == "a":
            return self.pick(ARR_VARS + ["_argv", "_months", "_days"])
        return self.pick(ANY_VARS + UNSET + ["SITE", "DRAFT", "_LANG"])

    def expr(self, kind, depth=2):
        """An expression meant to give `kind` ('i', 's', 'a', or '?' for any)."""
        if kind == "?" and self.chance(50):
            kind = self.pick("isa")
        if depth <= 0 or self.chance(35):
            return self.literal(kind) if self.chance(45) else self.variable(kind)
        forms = {"i": INT_FORMS, "s": STR_FORMS, "a": ARR_FORMS, "?": ANY_FORMS}[kind]
        return getattr(self, self.pick(forms))(depth - 1)

    def arg(self, kind, depth):
        """An argument meant to be of `kind`, now and then of another (a bad kind, which is an error)."""
        if self.chance(6):
            kind = self.pick("isa?")
        return self.expr(kind, depth)

    def file_name(self):
        """A file name; now and then not a string, which ends the run of fileexists and verbatim."""
        roll = self.rng.below(100)
        if roll < 70:
            return q(self.rel(self.pick(list(DATA))))
        if roll < 76:
            return q(self.rel("data/none.txt"))
        if roll < 86:
            return self.pick(["inputfile()", "outputfile()", "absinputfile()"])
        if roll < 98:
            return q(self.rel("data")) + ' + "/plain.txt"'
        if roll < 99:
            return self.variable("s")
        self.clean = False  # vorn-tovik too ends the run on a file name that is a literal but no string
        return self.expr("?", 0)

    def script_args(self):
        """Arguments of a script: strings, and now and then something else, which ends the run."""
        return "".join(", " + (self.literal("s") if self.chance(97) else self.variable("?"))
                       for _ in range(self.rng.below(3)))

    def small_index(self):
        return self.pick(["0", "1", "2", "4", "-1"])

    def target(self, kind):
        """Something that can be assigned a value of `kind`."""
        if kind == "i":
            return self.pick(INT_VARS) if self.chance(85) else '$("n" + "a")'
        if kind == "?":
            roll = self.rng.below(10)
            if roll < 6:
                return self.pick(ANY_VARS)
            if roll < 9:
                element = self.pick(ARR_VARS) + "[" + self.small_index() + "]"
                return element + ("[1]" if self.chance(20) else "")
            return self.pick(["$(" + self.literal("s") + ")", self.pick(ARR_VARS) + "[]"])
        return self.pick(STR_VARS if kind == "s" else ARR_VARS)

    def assign(self, kind, depth):
        if kind != "i" and not self.storing:
            kind = "i"
        t = self.target(kind)
        roll = self.rng.below(10)
        if roll < 6 or kind == "?":
            if kind in "a?" and self.chance(10):
                return "(" + t + " = {})"
            return "(" + t + " = " + self.expr(kind, depth) + ")"
        op = self.pick(["+=", "-=", "*=", "/=", "%=", "**="] if kind == "i" else ["+=", "+=", "-="])
        self.budget = 0  # the target is read too: what is added holds no variable that may grow
        return "(" + t + " " + op + " " + self.expr(kind if op == "+=" else "i", depth) + ")"

    # Forms of each kind: methods named i_..., s_..., a_..., w_... (collected below the class).

    def in_loop(self):
        return bool(self.loops) or self.leaf

    # An integer variable always holds an integer (or nothing): the integer forms give integers whatever the
    # kinds of their operands, and only integers and short literals are ever repeated with "*".

    def i_arith(self, d):
        op = self.pick(["+", "-", "*", "/", "%", "**"])
        if op in "+*":
            return "(%s %s %s)" % (self.expr("i", d), op, self.expr("i", d))
        return "(%s %s %s)" % (self.arg("i", d), op, self.arg("i", d))

    def i_compare(self, d):
        op = self.pick(["<", ">", "<=", ">=", "==", "!=", "~==", "~!="])
        k = self.pick("iis?") if op in ("<", ">", "<=", ">=") else self.pick("isa?")
        return "(%s %s %s)" % (self.expr(k, d), op, self.arg(k, d))

    def i_logic(self, d):
        if self.chance(30):
            return "!" + self.expr("?", d)
        return "(%s %s %s)" % (self.expr("i", d), self.pick(["&&", "||"]), self.expr("i", d))

    def i_negate(self, d):
        return "- " + self.expr("i", d)

    def i_step(self, d):
        v = self.pick(INT_VARS) if self.chance(80) else self.pick(["aa[0]", "wa", "sa"])
        return self.pick(["%s++", "%s--", "++%s", "--%s"]) % v

    def i_assign(self, d):
        return self.assign("i", d)

    def i_measure(self, d):
        f = self.pick(["length", "toint", "tobool", "isint", "isstring", "isarray"])
        return "%s(%s)" % (f, self.expr("?", d))

    def i_search(self, d):
        f = self.pick(["find", "rfind", "findfirstof", "findlastof", "findfirstnotof", "startswith",
                       "endswith"])
        extra = ", " + self.arg("i", d) if f in ("find", "rfind") and self.chance(50) else ""
        return "%s(%s, %s%s)" % (f, self.arg("s", d), self.arg("s", d), extra)

    def i_lastnotof(self, d):
        return "findlastnotof(%s, %s, %s)" % (self.arg("s", d), self.arg("s", d), self.pick(["0", "unused"]))

    def i_files(self, d):
        return "fileexists(%s)" % self.file_name()

    def i_random(self, d):
        return "random(%s, %s)" % self.pick([("1", "6"), ("1", "6"), ("4", "4"), ("0", "100"), ("-3", "3")])

    def i_echo(self, d):
        return "%s(%s)" % (self.pick(["echo", "print", "term"]), self.expr("i", d))

    def s_concat(self, d):
        kinds = self.pick([("s", "s"), ("s", "i"), ("i", "s"), ("s", "?")])
        return "(%s + %s)" % (self.expr(kinds[0], d), self.expr(kinds[1], d))

    def s_repeat(self, d):
        return "(%s * %s)" % (self.literal("s"), self.pick(["0", "1", "3", "-2"]))

    def s_substring(self, d):
        if self.chance(50):
            return "substring(%s, %s)" % (self.arg("s", d), self.arg("i", d))
        return "substring(%s, %s, %s)" % (self.arg("s", d), self.arg("i", d), self.arg("i", d))

    def s_char(self, d):
        return "char(%s, %s)" % (self.arg("s", d), self.arg("i", d))

    def s_insert(self, d):
        text = q(self.pick(["0", "x", "", "<b>"]))
        return "insert(%s, %s, %s)" % (self.arg("s", d), self.arg("i", d), text)

    def s_replace(self, d):
        old, new = self.pick([("-", "+"), ("aa", "a"), ("a", ""), ("", "x"), ("na", "NA"), ("x", "y")])
        return "%s(%s, %s, %s)" % (self.pick(["replace", "replaceall"]), self.arg("s", d), q(old), q(new))

    def s_case(self, d):
        f = self.pick(["trim", "ltrim", "rtrim", "toupper", "tolower", "tostring"])
        return "%s(%s)" % (f, self.arg("s", d) if f != "tostring" else self.expr("?", d))

    def s_join(self, d):
        return "join(%s, %s)" % (self.arg("a", d), q(self.pick([",", "", " "])))

    def s_fill(self, d):
        values = ", ".join(self.expr(self.pick("isa"), d) for _ in range(self.rng.between(1, 3)))
        return "fill(%s, %s)" % (self.arg("s", d), values)

    def s_date(self, d):
        roll = self.rng.below(10)
        if roll < 3:
            return "date(%s)" % q(self.pick(DATE_FORMATS)) if roll else "date(%s)" % self.pick(["5", "{1}"])
        fmt = q(self.pick(FILE_FORMATS)) if self.chance(90) else self.expr("?", 0)
        return "%s(%s, %s)" % (self.pick(["fdate", "fsize"]), self.file_name(), fmt)

    def s_names(self, d):
        f = self.pick(["linkadjust()", "inputfile()", "outputfile()", "absinputfile()", "absoutputfile()",
                       'inputfile("source: ")', 'outputfile("to ")'])
        return f

    def s_eval(self, d):
        if self.in_loop():
            return self.literal("s")
        if self.chance(50):
            return "evalcmd(%s)" % q(self.pick(COMMANDS))
        args = self.script_args()
        return "evalexec(%s%s)" % (q(self.rel(self.pick(list(SCRIPTS) + ["scripts/none.sh"]))), args)

    def s_assign(self, d):
        return self.assign("s", d)

    def a_literal(self, d):
        return "{" + ", ".join(self.expr("?", d) for _ in range(self.rng.between(1, 3))) + "}"

    def a_concat(self, d):
        kinds = self.pick([("a", "a"), ("a", "?"), ("?", "a")])
        return "(%s + %s)" % (self.expr(kinds[0], d), self.expr(kinds[1], d))

    def a_repeat(self, d):
        return "(%s * %s)" % (self.literal("a"), self.pick(["0", "2", "3"]))

    def a_tokenize(self, d):
        return "tokenize(%s, %s)" % (self.arg("s", d), self.pick(['","', '""', '" "', '"a"', '"ana"', "1"]))

    def a_push(self, d):
        index = ", " + self.pick(["0", "2", "5", '"x"']) if self.chance(40) else ""
        return "push(%s, %s%s)" % (self.arg("a", d), self.expr("?", d), index)

    def a_delete(self, d):
        count = ", " + self.arg("i", d) if self.chance(50) else ""
        return "delete(%s, %s%s)" % (self.arg("a", d), self.arg("i", d), count)

    def a_toarray(self, d):
        return "toarray(%s)" % self.expr("?", d)

    def a_assign(self, d):
        return self.assign("a", d)

    def w_element(self, d):
        base = self.pick([self.variable("a"), self.variable("?"), "tokenize(%s, \",\")" % self.arg("s", 0)])
        deeper = "[" + self.small_index() + "]" if self.chance(20) else ""
        return base + "[" + self.arg("i", d) + "]" + deeper

    def w_whole(self, d):
        if self.budget <= 0:
            return self.literal("a")
        self.budget -= 1
        return self.pick(ARR_VARS) + self.pick(["[]", '["x"]'])

    def w_computed(self, d):
        if self.budget <= 0:
            return "$(5)"
        self.budget -= 1
        return "$(%s)" % self.pick(['"s" + "a"', '"n" + "b"', '"a" + "c"', "5", "wa"])

    def w_logic(self, d):
        return "(%s %s %s)" % (self.expr("?", d), self.pick(["&&", "||"]), self.expr("?", d))

    def w_assign(self, d):
        return self.assign("?", d)

    def w_bad(self, d):
        """Operators on kinds they refuse."""
        op = self.pick(["-", "/", "%", "**", "*", "neg"])
        if op == "neg":
            return "- " + self.expr(self.pick("sa?"), d)
        left = self.literal(self.pick("sa")) if op == "*" else self.expr("?", d)
        right = self.literal(self.pick("sa")) if op == "*" else self.expr(self.pick("sa?"), d)
        return "(%s %s %s)" % (left, op, right) if self.chance(50) else "(%s %s %s)" % (right, op, left)

    def w_message(self, d):
        """A message of the page's own; arguments that are no strings are an error, or end the run."""
        def text():
            roll = self.rng.below(100)
            return self.literal("s") if roll < 90 else self.expr("s", d) if roll < 97 else self.expr("?", d)

        brief = ", " + text() if self.chance(40) else ""
        return "%s(%s%s)" % ("raisewarning" if self.chance(90) else "raiseerror", text(), brief)

    def w_random(self, d):
        return "random(%s, %s)" % self.pick([("6", "1"), ('"a"', "3"), ("1", "{2}"), ("na", "nb")])

    def w_echo(self, d):
        return "%s(%s)" % (self.pick(["echo", "print", "term"]), self.expr("?", d))

    # ---- statements

    def statements(self, count, depth):
        return "\x01".join(self.statement(depth) for _ in range(count))

    def body(self, depth):
        if self.chance(40):
            return self.statement(depth, simple=True)
        return "{\x01" + self.statements(self.rng.between(1, 3), depth) + "\x01}"

    def statement(self, depth, simple=False):
        self.budget, self.storing = 1, True
        roll = self.rng.below(100)
        if roll < 30:
            return self.expr_statement() + ";\n"
        if roll < 42:
            self.budget, self.storing = 3, False
            return "%s(%s);\n" % (self.pick(["echo", "print", "echo", "term"]), self.expr("?", 3))
        if simple or depth <= 0:
            return self.expr_statement() + ";\n"
        if roll < 52:
            return self.if_chain(depth)
        if roll < 57:
            return self.ifdef_chain(depth)
        if roll < 65 and len(self.loops) < 2 and not self.leaf:
            return self.loop(depth)
        if roll < 71:
            return self.type_block()
        if roll < 77:
            return self.include(depth)
        if roll < 80:
            return "verbatim(%s);\n" % self.file_name()
        if roll < 83:
            return "undef(%s);\n" % self.pick(INT_VARS + STR_VARS + ANY_VARS + UNSET + ["aa[1]", "ab[]"])
        if roll < 86 and not self.in_loop():
            return self.program()
        if roll < 89:
            return self.comment()
        if roll < 92:
            return self.pick([";\n", "{ ; }\n", "{\x01" + self.statements(2, depth - 1) + "\x01}\n"])
        return self.expr_statement() + ";\n"

    def expr_statement(self):
        kind = self.pick("isa??")
        if self.chance(70):
            return self.assign(kind, 2)[1:-1]
        return self.expr(kind, 2)

    def condition(self):
        self.budget, self.storing = 3, False
        c = self.expr(self.pick("i?"), 2)
        self.budget, self.storing = 1, True
        return c

    def if_chain(self, depth):
        out = "if (%s) %s" % (self.condition(), self.body(depth - 1))
        for _ in range(self.rng.below(3)):
            out += "elif (%s) %s" % (self.condition(), self.body(depth - 1))
        if self.chance(50):
            out += "else " + self.body(depth - 1)
        return out + "\n"

    def defined(self):
        return self.pick(INT_VARS + STR_VARS + ANY_VARS + UNSET + ["aa[]", '$("s" + "b")', "SITE", "_LANG",
                                                                    "_REVERT", "DRAFT", "aa[0]"])

    def ifdef_chain(self, depth):
        word = self.pick(["ifdef", "ifndef"])
        out = "%s (%s) %s" % (word, self.defined(), self.body(depth - 1))
        for _ in range(self.rng.below(2)):
            out += "el%s (%s) %s" % (word, self.defined(), self.body(depth - 1))
        if self.chance(40):
            out += "else " + self.body(depth - 1)
        return out + "\n"

    def loop(self, depth):
        c = self.counters[len(self.loops)]
        bound = self.pick(["1", "2", "3", "4"])
        roll = self.rng.below(3)
        if roll == 0 or (roll == 2 and self.loops):
            self.loops.append(c)
            head = "for (%s = 0; %s < %s; %s)" % (c, c, bound, self.pick([c + "++", "++" + c, c + " += 1"]))
            out = head + " " + self.body(depth - 1)
        elif roll == 1:
            self.loops.append(c)
            # The step comes first, in the head's piece: nothing that a broken statement swallows can skip it.
            out = "%s = 0;\x01while (%s < %s) {%s++;\x01%s\x01}" % (
                c, c, bound, c, self.statements(self.rng.between(1, 3), depth - 1))
        else:
            self.loops.append(c)
            self.budget, self.storing = 1, False
            var = self.pick(ANY_VARS + ["aa[1]", "wb[]"])
            out = "foreach (%s in %s) %s" % (var, self.expr("a", 1), self.body(depth - 1))
        self.loops.pop()
        return out + "\n"

    def type_text(self):
        out = []
        for _ in range(self.rng.between(1, 5)):
            roll = self.rng.below(10)
            if roll < 4:
                out.append(self.pick(WORDS + ["<p>", "</p>", "<vorn>", "// x", '"q"', "'", "end", "endtype"]))
            elif roll < 7:
                self.budget, self.storing = 0, False
                out.append("@@" + self.expr("?", 1) + "@@")
            else:
                out.append(self.pick(["\\@", "\\\\", "a@b", "\n", "\\\n", " ", "\\x"]))
        return "".join(out)

    def type_block(self):
        head = "type:" if self.chance(70) else "type(%s):" % self.pick(STR_VARS + ANY_VARS + ["tcap", "_t"])
        return "{\x01%s%sendtype;\x01}\n" % (head, self.type_text())

    def include(self, depth):
        choices = [p for p, loop_safe in self.includes if loop_safe or not self.in_loop()]
        roll = self.rng.below(20)
        if roll < 12:
            return "include(%s);\n" % q(self.rel(self.pick(choices)))
        if roll < 15:
            args = ", ".join(self.expr(self.pick("sis?"), 0) for _ in range(self.rng.between(1, 3)))
            return "include(%s, %s);\n" % (q(self.rel("inc/args.vrn")), args)
        if roll < 17 and depth == self.top_depth:
            # The name is read when the inclusion is read: only a statement that has run by then can set it.
            return "inc_name = %s;\x01include(inc_name);\n" % q(self.rel(self.pick(choices)))
        if roll < 18 or not self.page:
            return "include(%s);\n" % q(self.rel("inc/warn.vrn"))
        # Inclusions that end the run, or that vorn-tovik refuses (in pages only).
        self.clean = False
        if not self.in_loop() and self.chance(30):
            return "include(%s);\n" % q(self.rel("inc/self.vrn"))
        return "include(%s);\n" % q(self.rel(self.pick(["inc/none.vrn", "inc/text.vrn", "inc/broken.vrn"])))

    def program(self):
        roll = self.rng.below(50)
        if roll < 16:
            return "cmd(%s);\n" % q(self.pick(COMMANDS))
        if roll < 49:
            args = self.script_args()
            script = self.rel(self.pick(list(SCRIPTS) + ["scripts/none.sh", "scripts/plain.txt"]))
            return "exec(%s%s);\n" % (q(script), args)
        count = q(self.rel("scripts/count.sh"))
        return self.pick(["cmd(5);\n", 'exec("x", {1});\n', "exec(%s, 5);\n" % count])

    def comment(self):
        """A comment (markers among them) and a statement: a comment alone is no statement of a block."""
        return self.expr_statement() + ";" + self.pick([
            "// a comment\n", "/* a\n block */", "// __DEP__ " + self.rel("data/plain.txt") + "\n",
            "// __EXT__ php\n", "/* __ALWAYS__ */", "// __NO_OUTPUT__\n", "// __EXT__ bad/ext\n",
                          "/**/", "// __DEP__\n"])


INT_FORMS = sorted(m for m in dir(Code) if m.startswith("i_"))
STR_FORMS = sorted(m for m in dir(Code) if m.startswith("s_"))
ARR_FORMS = sorted(m for m in dir(Code) if m.startswith("a_"))
ANY_FORMS = sorted(m for m in dir(Code) if m.startswith("w_")) + ["i_assign", "s_eval", "a_push"]

BROKEN = ['echo("x";\n', "na = ;\n", "# hash\n", "x = { };\n", '"a" "b";\n', "length = 3;\n",
          "if x print(1);\n",
          '"unclosed;\n', "na = 1 +;\n", "foreach (x in) ;\n", "elif (1) ;\n", "type:no end", "sa = 'x\n",
          "}\n", "{\n", "ifdef (aa[1]) ;\n", "/* __DEP__ x.txt */ na = 1;\n", "//", "a[] = 1;\n",
          "undef (aa[0]);\n", "1 = 2;\n", "@@"]


class Page_run:
    """One page and the command lines that build it."""

    def __init__(self, name, source, variants, clean):
        self.name = name  # p0000
        self.source = source  # site-relative
        self.variants = variants  # lists of arguments after the program's name
        self.clean = clean  # free of the faults made on purpose, which make vorn-tovik refuse the site


def assemble(rng, code):
    """The page: text around code regions of both forms, with region breaks at some statement boundaries."""
    def text():
        return "".join(rng.pick(TEXTS) for _ in range(rng.below(3)))

    def opener():
        return rng.pick([("<vorn>", "</vorn>"), ("<vorn >", "</vorn>"), ("<vorn\n>", "</vorn>"),
                         ("<vorn ", " />"), ("<vorn\n", "\n/>")])

    out = [text()]
    tag = opener()
    out.append(tag[0])
    for i, piece in enumerate(code.split("\x01")):
        if i and rng.chance(12):
            tag_next = opener()
            out.append(tag[1] + text() + tag_next[0])
            tag = tag_next
        out.append(piece)
    if rng.chance(3):
        return "".join(out)  # the page ends inside code: a warning
    out.append(tag[1] + text() + rng.pick(["", "\n", "</body>\n", "trailing \\\n"]))
    return "".join(out)


def prologue(code):
    out = []
    for kind, names in (("i", INT_VARS), ("s", STR_VARS), ("a", ARR_VARS), ("?", ANY_VARS)):
        for name in names:
            if code.chance(75):
                out.append("%s = %s;\n" % (name, code.literal(kind)))
    return "".join(out)


def page_variants(rng, name, source):
    """Two runs of the page: one to a file below out/NAME/, one to standard output."""
    def options():
        opts = list(rng.pick(OPTION_SETS))
        if rng.chance(25):
            opts += rng.pick([["-DSITE=pages", "-DDRAFT"], ["-D", "SITE=x y"],
                              ["--define=_LANG=it", "-D_REVERT"]])
        if rng.chance(15):
            opts += rng.pick([["-d", "out"], ["-d", "out/" + name], ["--root-dir=sec"], ["-d", "./"]])
        if rng.chance(20):  # a record of every file the page read
            opts += rng.pick([["--deps", "out/%s/%s.d" % (name, name)],
                              ["--deps=out/%s/r/%s.d" % (name, name)]])
        return opts

    roll = rng.below(10)
    if roll < 6:
        out, extra = "out/%s/%s.html" % (name, name), []
    elif roll < 8:
        out, extra = "out/%s/x/y/%s.html" % (name, name), ["-p"]
    elif roll < 9:
        out, extra = "out/%s/x/y/%s.html" % (name, name), []  # no such directory: an error
    else:
        out, extra = "out/%s/%s.php" % (name, name), []
    return [options() + extra + [source, out], options() + [source, "-"]]


def write_bytes(path, data, mode=None, mtime=FIXED_TIME):
    os.makedirs(os.path.dirname(path), exist_ok=True)
    with open(path, "wb") as f:
        f.write(data)
    if mode is not None:
        os.chmod(path, mode)
    os.utime(path, (mtime, mtime))


def generate(pages, seed, out):
    rng = Rng(seed)
    if os.path.isdir(out):
        shutil.rmtree(out)
    os.makedirs(out)
    for i, (path, data) in enumerate(sorted(DATA.items())):
        write_bytes(os.path.join(out, path), data, mtime=([FIXED_TIME] + OTHER_TIMES)[i % 5])
    for path, text in SCRIPTS.items():
        write_bytes(os.path.join(out, path), text.encode(), 0o755)
    write_bytes(os.path.join(out, "scripts/plain.txt"), b"#!/bin/sh\necho not executable\n")
    write_bytes(os.path.join(out, "inc/nooutput"), b"")
    write_bytes(os.path.join(out, "Makefile.vt"), b"vorn-option:-DSITE=pages\ntranslations: it\n")

    includes = [("inc/" + p, True) for p in LOOP_SAFE_HAND]
    for p, text in HAND_INCLUDES.items():
        write_bytes(os.path.join(out, "inc", p), text.encode())
    generated = ["inc/%sg%02d.vrn" % ("sub/" if k % 2 else "", k) for k in range(GENERATED_INCLUDES)]
    hand = [(p, safe) for p, safe in includes if safe]
    for k in range(GENERATED_INCLUDES):
        leaf = k >= LEAF_FROM
        later = [(p, j >= LEAF_FROM) for j, p in enumerate(generated) if j > k]
        code = Code(rng.fork(1000 + k), posixpath.dirname(generated[k]), hand if leaf else hand + later,
                    page=False, leaf=leaf)
        text = code.statements(rng.between(2, 8), code.top_depth).replace("\x01", "")
        write_bytes(os.path.join(out, generated[k]), text.encode())
    includes += [(p, k >= LEAF_FROM) for k, p in enumerate(generated)]

    runs = []
    for n in range(pages):
        prng = rng.fork(n)
        name = "p%04d" % n
        here = ["", "sec", "sec/deep"][n % 3]
        source = posixpath.join(here, name + ".vrn")
        code = Code(prng, here, includes, page=True)
        body = code.statements(prng.between(10, 40), code.top_depth)
        if prng.chance(80):  # most pages set most variables first
            body = prologue(code) + "\x01" + body
        if prng.chance(8):
            pieces = body.split("\x01")
            pieces.insert(prng.below(len(pieces) + 1), prng.pick(BROKEN))
            body = "\x01".join(pieces)
            code.clean = False
        page = assemble(prng, body)
        if prng.chance(5):
            page = page.replace("\n", "\r\n")
        write_bytes(os.path.join(out, source), page.encode("utf-8"))
        if n % 50 == 7:
            write_bytes(os.path.join(out, source + ".it"), b"<vorn>print(_LANG);</vorn>\n")
        given = prng.pick([source, source, "./" + source])
        runs.append(Page_run(name, source, page_variants(prng, name, given), code.clean))
    return runs


def main(argv):
    parser = argparse.ArgumentParser(description="Write a seeded site of random Vorn pages.")
    parser.add_argument("--pages", type=int, required=True, help="number of pages")
    parser.add_argument("--seed", type=int, default=1, help="generator seed")
    parser.add_argument("--out", required=True, help="output directory (replaced)")
    parser.add_argument("--list", action="store_true", help="print each page's vorn command lines")
    args = parser.parse_args(argv)
    if args.pages < 1:
        parser.error("--pages must be at least 1")
    runs = generate(args.pages, args.seed, args.out)
    if args.list:
        for run in runs:
            for v in run.variants:
                print(shlex.join(["vorn"] + v))
    print("%d pages in %s" % (len(runs), args.out), file=sys.stderr)


if __name__ == "__main__":
    main(sys.argv[1:])
