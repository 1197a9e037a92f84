#!/bin/sh
# Regenerates the seed corpora fuzz/corpus/<target>/ from the tests and the example site: the Vorn sources,
# templates and paths written in the tests (C++ string literals), the example's sources and template, and a
# few Gen_type byte programs.  Keeps each corpus small (at most about 40 files).  Needs python3.
set -e
cd "$(dirname "$0")/.."
exec python3 - "$@" <<'PY'
import hashlib, os, re, shutil, struct

def literals(path):
    """The string literals of a C++ file, adjacent ones joined, escapes decoded."""
    src = open(path, encoding="utf-8", errors="replace").read()
    token = re.compile(r'R"([^()\\ ]{0,16})\((.*?)\)\1"|"((?:[^"\\\n]|\\.)*)"|(//[^\n]*)|(\S)', re.S)
    out, cur = [], None
    for m in token.finditer(src):
        if m.group(4):
            continue
        if m.group(2) is not None or m.group(3) is not None:
            text = m.group(2) if m.group(2) is not None else decode(m.group(3))
            cur = text if cur is None else cur + text
        else:
            if cur is not None:
                out.append(cur)
            cur = None
    if cur is not None:
        out.append(cur)
    return out

def decode(s):
    simple = {"n": "\n", "t": "\t", "r": "\r", "\\": "\\", '"': '"', "'": "'", "0": "\0", "a": "\a", "v": "\v"}
    out, i = [], 0
    while i < len(s):
        c = s[i]
        if c == "\\" and i + 1 < len(s):
            n = s[i + 1]
            if n == "x":
                m = re.match(r"[0-9a-fA-F]+", s[i + 2:])
                out.append(chr(int(m.group(0), 16) & 0xFF)); i += 2 + len(m.group(0)); continue
            if n in "01234567" and re.match(r"[0-7]{1,3}", s[i + 1:]):
                m = re.match(r"[0-7]{1,3}", s[i + 1:])
                out.append(chr(int(m.group(0), 8) & 0xFF)); i += 1 + len(m.group(0)); continue
            out.append(simple.get(n, n)); i += 2; continue
        out.append(c); i += 1
    return "".join(out)

def files(root, pattern):
    for d, _, names in sorted(os.walk(root)):
        for n in sorted(names):
            if re.search(pattern, n):
                yield os.path.join(d, n)

def pick(items, limit):
    """Distinct items, at most `limit`, chosen evenly over the range of lengths."""
    items = sorted(set(items), key=lambda b: (len(b), b))
    if len(items) <= limit:
        return items
    step = len(items) / limit
    return [items[int(i * step)] for i in range(limit)]

def write(target, items):
    d = os.path.join("fuzz", "corpus", target)
    shutil.rmtree(d, ignore_errors=True)
    os.makedirs(d)
    for b in items:
        open(os.path.join(d, hashlib.sha1(b).hexdigest()[:16]), "wb").write(b)
    print(f"{target}: {len(items)} files")

def raw(s):
    return s.encode("latin-1", errors="replace")

test_files = list(files("tests", r"_test\.cc$"))

# Vorn sources: every literal with a tag region, the grammar tests' statements inside one, and the example.
sources = []
for f in test_files:
    for s in literals(f):
        if "<vorn>" in s or "</vorn>" in s:
            sources.append(raw(s))
    if f.endswith("grammar_test.cc"):
        sources += [raw("<vorn>" + s + "</vorn>") for s in literals(f) if s.rstrip().endswith(";")]
example = [open(p, "rb").read() for p in files("examples/site", r"\.vrn")]
for target in ("fuzz_deps_parse", "fuzz_exec_parse"):
    write(target, pick(example, 10) + pick([s for s in sources if len(s) < 4000], 30))

# Templates.
templates = [open(p, "rb").read() for p in files("examples/site", r"\.vt$")]
for f in test_files:
    if "options" in f or "template" in f:
        templates += [raw(s) for s in literals(f)
                      if re.search(r"(^|\n)(\*main|\*branch\*|prefix:|brief:|quiet:|translations:|vorn-option:|"
                                   r"source-extension:|target-extension:|fast:|verbose:|silent:|#)", s)]
write("fuzz_template", pick(templates, 40))

# Paths: the path tests' literals, with drop_leading_dot set and clear.
paths = []
for f in test_files:
    if f.endswith("paths_test.cc"):
        paths += [raw(s) for s in literals(f) if "/" in s or "." in s]
write("fuzz_normalize_path", pick([b"\x01" + p for p in paths] + [b"\x00" + p for p in paths[::3]], 40))

# Gen_type programs (see fuzz_gen_type.cc for the byte code): values of each kind, each operator, element
# access and changes, conversions.
def num(v):
    return struct.pack(">i", v)
def text(r, s):
    return bytes([1, r, len(s)]) + s
progs = [
    bytes([0]) + bytes([0, 0]) + num(7) + bytes([0, 1]) + num(-3) + bytes([6, 2, 0, 1, k]) for k in range(14)
] + [
    bytes([1]) + text(0, b"ab") + bytes([0, 1]) + num(3) + bytes([6, 2, 0, 1, 2]),
    bytes([1]) + text(0, b"12x") + bytes([14, 1, 0, 15, 2, 1, 0, 16, 3, 0, 17, 4, 1]),
    bytes([0, 2, 0]) + text(1, b"x") + bytes([9, 0, 1, 9, 0, 0]) + bytes([0, 2]) + num(5) +
        bytes([11, 0, 2, 1, 0, 10, 3, 0, 2, 12, 0, 1, 13, 0, 0, 2, 15, 4, 0, 0]),
    bytes([1, 3, 0, 9, 0, 1, 8, 1, 20, 2, 0, 19, 0, 0, 1]) + text(2, b"q") + bytes([11, 0, 2, 2, 1, 20, 3, 0]),
    bytes([1]) + bytes([0, 0]) + num(-2147483648) + bytes([7, 1, 0, 0, 2]) + num(-1) +
        bytes([6, 3, 0, 2, 3, 6, 4, 0, 2, 4, 18, 5]) + num(-2147483648),
    bytes([0, 4, 0, 4, 1, 6, 2, 0, 1, 0, 6, 2, 0, 1, 2, 6, 2, 0, 1, 10, 8, 0, 9, 0, 0]),
    bytes([1]) + text(0, b"abc") + bytes([0, 1]) + num(1) + bytes([10, 2, 0, 1, 8, 0, 10, 3, 0, 1, 31, 0]),
]
write("fuzz_gen_type", progs)
PY
