#!/usr/bin/env python3
"""Writes a deterministic Vorn site and its C twin for the benchmark.

    gen_site.py --pages N --seed S --out DIR

DIR/site        the Vorn site: N pages (page_K.vrn, 4 to 8 KB each) over about N/20 directories up to 4 deep;
                an include pool of about N/10 files under inc/ (marked "nooutput"), some including 1 or 2
                others (chains up to 3 deep); data files under data/ for verbatim, fsize and fdate; a few
                scripts under scripts/ that about 3% of the pages exec.  No Makefile.
DIR/ctree       the same tree in C: page_K.c for each page and one .h for each include file, of the same byte
                sizes, with #include lines mirroring the include graph (paths relative to the including file,
                no include guards), so that a C dependency scanner reads the same bytes as the Vorn scan.
DIR/floor.list  one file a line, with repeats: each page followed by its transitive includes at every
                inclusion, in inclusion order.  Concatenated, these files are the read floor.
DIR/ctree.list  the C pages, relative to DIR/ctree, in page order.
DIR/deps.txt    for each page: the page's path, a tab, and its dependencies as the makefile names them (sorted,
                separated by blanks).
DIR/stats.json  counts and byte totals.

Everything comes from one seeded generator of its own (splitmix64, integer arithmetic only), so the same
arguments give the same bytes on every machine and Python version.  Standard library only.
"""

import argparse
import json
import os
import posixpath
import shutil
import sys

MASK = (1 << 64) - 1


class Rng:
    """splitmix64: small, fast enough, and independent of the Python version."""

    def __init__(self, seed):
        self.state = seed & MASK

    def next(self):
        self.state = (self.state + 0x9E3779B97F4A7C15) & MASK
        z = self.state
        z = ((z ^ (z >> 30)) * 0xBF58476D1CE4E5B9) & MASK
        z = ((z ^ (z >> 27)) * 0x94D049BB133111EB) & MASK
        return z ^ (z >> 31)

    def below(self, n):
        return self.next() % n

    def between(self, lo, hi):
        """An integer in [lo, hi]."""
        return lo + self.below(hi - lo + 1)

    def chance(self, percent):
        return self.below(10000) < int(percent * 100)

    def pick(self, seq):
        return seq[self.below(len(seq))]

    def sample(self, seq, k):
        """k distinct elements of seq, in the order drawn."""
        pool = list(seq)
        out = []
        for _ in range(min(k, len(pool))):
            i = self.below(len(pool))
            out.append(pool[i])
            pool[i] = pool[-1]
            pool.pop()
        return out

    def shuffle(self, items):
        for i in range(len(items) - 1, 0, -1):
            j = self.below(i + 1)
            items[i], items[j] = items[j], items[i]

    def fork(self, salt):
        return Rng(self.next() ^ (salt * 0xD1B54A32D192ED03 & MASK))


# ---- prose

ONSETS = ["b", "br", "c", "ch", "d", "f", "g", "gr", "h", "k", "l", "m", "n", "p", "pl", "r", "s", "st", "t", "tr",
          "v", "w", "z", ""]
VOWELS = ["a", "e", "i", "o", "u", "ai", "ea", "ou"]
CODAS = ["", "", "", "n", "r", "l", "s", "t", "m", "nd", "st"]


def make_vocabulary(rng, count):
    words = []
    seen = set()
    while len(words) < count:
        w = "".join(rng.pick(ONSETS) + rng.pick(VOWELS) + rng.pick(CODAS) for _ in range(rng.between(1, 3)))
        if len(w) < 2 or w in seen:
            continue
        seen.add(w)
        words.append(w)
    return words


class Prose:
    """HTML prose from a pool of ready-made lines, and exact-length filling."""

    def __init__(self, rng, pages):
        self.rng = rng
        self.words = make_vocabulary(rng, 2500)
        self.pages = pages
        self.lines = [self._line() for _ in range(4096)]

    def word(self):
        return self.rng.pick(self.words)

    def words_text(self, lo, hi):
        return " ".join(self.word() for _ in range(self.rng.between(lo, hi)))

    def title(self, lo=2, hi=5):
        return " ".join(w.capitalize() for w in self.words_text(lo, hi).split())

    def sentence(self):
        parts = self.words_text(5, 14).split()
        parts[0] = parts[0].capitalize()
        roll = self.rng.below(10)
        i = self.rng.below(len(parts))
        if roll == 0:
            parts[i] = "<em>" + parts[i] + "</em>"
        elif roll == 1:
            parts[i] = '<a href="page_%d.html">%s</a>' % (self.rng.below(self.pages), parts[i])
        elif roll == 2:
            parts[i] = "<strong>" + parts[i] + "</strong>"
        return " ".join(parts) + self.rng.pick([".", ".", ".", ",", "?", "!", ";"])

    def _line(self):
        roll = self.rng.below(12)
        if roll == 0:
            return "<h2>" + self.title() + "</h2>\n"
        if roll == 1:
            items = "".join("<li>" + self.words_text(2, 6) + "</li>" for _ in range(self.rng.between(2, 4)))
            return "<ul>" + items + "</ul>\n"
        # A paragraph wrapped at about 90 columns.
        text = " ".join(self.sentence() for _ in range(self.rng.between(1, 4)))
        out, col = [], 0
        for w in ("<p>" + text + "</p>").split(" "):
            if col and col + len(w) > 90:
                out.append("\n")
                col = 0
            elif col:
                out.append(" ")
                col += 1
            out.append(w)
            col += len(w)
        return "".join(out) + "\n"

    def text(self, n):
        """Exactly n bytes of prose (n >= 1), ending with a newline."""
        out, size = [], 0
        while True:
            line = self.rng.pick(self.lines)
            if n - size - len(line) < 80:
                break
            out.append(line)
            size += len(line)
        return "".join(out) + self.fill(n - size)

    def fill(self, n):
        """Exactly n bytes (n >= 1): words cut to length, then a newline."""
        if n <= 0:
            return ""
        body = []
        size = col = 0
        while size < n - 1:
            w = self.word()
            if col + len(w) > 90:
                body.append("\n")
                col = 0
            elif size:
                body.append(" ")
                col += 1
            body.append(w)
            col += len(w)
            size += len(w) + 1
        return "".join(body)[: n - 1].ljust(n - 1) + "\n"

    def comment(self, n):
        """Exactly n bytes (n >= 4) of Vorn line comments, which are C comments too."""
        out, size = [], 0
        while n - size > 200:
            line = "// " + self.words_text(3, 8) + "\n"
            out.append(line)
            size += len(line)
        body = ""
        while len(body) < n - size - 4:
            body += " " + self.word()
        return "".join(out) + "// " + body[1 : n - size - 3].ljust(n - size - 4) + "\n"


# ---- the site's shape


def relpath(target, start_dir):
    """`target` (site-relative) as named from the site-relative directory `start_dir`."""
    return posixpath.relpath(target, start_dir or ".")


def dir_of(path):
    return posixpath.dirname(path)


RESERVED = {"inc", "data", "scripts"}


def make_dirs(rng, prose, count):
    """`count` content directories (the root included), each at most 4 deep."""
    dirs = [("", 0)]
    names = set()
    while len(dirs) < count:
        parent, depth = _pick_shallow(rng, dirs)
        name = prose.word()
        path = posixpath.join(parent, name) if parent else name
        if path in names or name in RESERVED:
            continue
        names.add(path)
        dirs.append((path, depth + 1))
    return [d[0] for d in dirs]


def _pick_shallow(rng, dirs):
    while True:
        d = rng.pick(dirs)
        if d[1] < 4:
            return d


class Include_file:
    def __init__(self, index, path, level):
        self.index = index
        self.path = path  # site-relative, .vrn
        self.level = level  # 0: includes nothing; 1: leaves only; 2: at least one level-1 file
        self.children = []  # Include_file, in inclusion order
        self.vorn = ""
        self.c = ""


def make_pool(rng, count):
    # At least two groups, so that nested inclusions also climb out of their directory.
    groups = max(2, round(count / 20)) if count >= 4 else 1
    files = []
    levels = [0] * (count - count * 3 // 10 - count // 5) + [1] * (count * 3 // 10) + [2] * (count // 5)
    rng.shuffle(levels)
    for i in range(count):
        path = "inc/g%02d/inc_%05d.vrn" % (i % groups, i)
        files.append(Include_file(i, path, levels[i]))
    by_level = {lv: [f for f in files if f.level == lv] for lv in (0, 1, 2)}
    for f in files:
        if f.level == 0:
            continue
        n = rng.between(1, 2)
        if f.level == 1 or not by_level[1]:
            f.children = rng.sample(by_level[0], n) if by_level[0] else []
        else:
            first = rng.pick(by_level[1])
            rest = [g for g in by_level[0] + by_level[1] if g is not first]
            f.children = [first] + rng.sample(rest, n - 1)
    return files


def flatten(f, out):
    """The files read when `f` is included: itself, then what it includes, depth first."""
    out.append(f)
    for child in f.children:
        flatten(child, out)
    return out


def include_stmt(rel):
    return 'include("%s");\n' % rel


def c_include(rel):
    return '#include "%s"\n' % (rel[: -len(".vrn")] + ".h")


def c_line(line):
    """A Vorn code line as the C tree has it: inclusions become #include lines, the rest is kept."""
    if line.startswith('include("'):
        return c_include(line[len('include("') : -len('");\n')])
    return line


def equal_sized(vorn_lines, c_lines, last_vorn, last_c_prefix, last_c_suffix, filler):
    """Joins both texts, giving the C text's last part the length that makes both texts the same size."""
    vorn = "".join(vorn_lines) + last_vorn
    head = "".join(c_lines) + last_c_prefix
    room = len(vorn) - len(head) - len(last_c_suffix)
    if room < 1:
        raise RuntimeError("no room to even out the C text")
    c = head + filler(room) + last_c_suffix
    assert len(c) == len(vorn)
    return vorn, c


def write_include_texts(rng, prose, f):
    """1 to 3 KB of statements and string literals, with the nested inclusions among them."""
    target = rng.between(1024, 3072)
    here = dir_of(f.path)
    lines = ["// %s: %s\n" % (posixpath.basename(f.path)[:-4], prose.words_text(3, 8))]
    if rng.chance(30):
        lines.append("type:<div class=box%d>\n<p>%s</p>\n</div>\nendtype;\n" % (f.index, prose.words_text(6, 14)))
    body = []
    k = 0
    while sum(map(len, lines + body)) < target - 200:
        roll = rng.below(8)
        if roll < 5:
            body.append('echo("<p>%s</p>");\n' % prose.words_text(4, 14))
        elif roll == 5:
            body.append('label_%d = "%s";\n' % (k, prose.words_text(2, 5)))
        elif roll == 6:
            body.append("count_%d = %d;\n" % (k, rng.below(1000)))
        else:
            body.append('if (count_%d > %d) echo("%s"); else echo("%s");\n'
                        % (k, rng.below(100), prose.words_text(2, 5), prose.words_text(2, 5)))
        k += 1
    # The children keep the order drawn: that is the inclusion order the floor lists.
    positions = sorted(rng.below(len(body) + 1) for _ in f.children)
    for offset, (pos, child) in enumerate(zip(positions, f.children)):
        body.insert(pos + offset, include_stmt(relpath(child.path, here)))
    lines += body
    size = sum(map(len, lines))
    last = prose.comment(max(target - size, 8))
    c_lines = [c_line(line) for line in lines]
    f.vorn, f.c = equal_sized(lines, c_lines, last, "", "", prose.comment)


class Page:
    def __init__(self, index, directory):
        self.index = index
        self.directory = directory
        self.path = posixpath.join(directory, "page_%d.vrn" % index)
        self.includes = []  # top-level Include_file, in inclusion order
        self.deps = set()  # site-relative paths, as the makefile names them
        self.vorn = ""
        self.c = ""


def data_call(rng, page_dir, data):
    kind = rng.below(3)
    if kind == 0:
        target = rng.pick(data["txt"])
        return 'verbatim("%s");\n' % relpath(target, page_dir), target
    if kind == 1:
        target = rng.pick(data["bin"])
        return 'echo(fsize("%s", "#b"));\n' % relpath(target, page_dir), target
    target = rng.pick(data["txt"])
    return 'echo(fdate("%s", "#d/#m/#y"));\n' % relpath(target, page_dir), target


def filler_stmt(rng, prose, k):
    roll = rng.below(5)
    if roll < 2:
        return 'echo("<p>%s</p>");\n' % prose.words_text(3, 10)
    if roll == 2:
        return 'title_%d = "%s";\n' % (k, prose.title())
    if roll == 3:
        return "// %s\n" % prose.words_text(3, 8)
    return "n_%d = %d;\n" % (k, rng.below(100))


def write_page_texts(rng, prose, page, pool, data, scripts, does_exec):
    here = page.directory
    stmts = []
    for inc in rng.sample(pool, 3):
        page.includes.append(inc)
        stmts.append(include_stmt(relpath(inc.path, here)))
        for f in flatten(inc, []):
            page.deps.add(f.path)
    for _ in range(4):
        stmt, target = data_call(rng, here, data)
        stmts.append(stmt)
        page.deps.add(target)
    if does_exec:
        script = rng.pick(scripts)
        stmts.append('exec("%s");\n' % relpath(script, here))
        page.deps.add(script)
    rng.shuffle(stmts)
    # The inclusion order is the order in the text, which the shuffle has just changed.
    order = [s for s in stmts if s.startswith('include("')]
    by_rel = {include_stmt(relpath(inc.path, here)): inc for inc in page.includes}
    page.includes = [by_rel[s] for s in order]

    regions = rng.between(2, 4)
    cuts = sorted(rng.sample(range(1, len(stmts)), regions - 1))
    groups = [stmts[a:b] for a, b in zip([0] + cuts, cuts + [len(stmts)])]
    k = 0
    for g in groups:
        for _ in range(rng.between(1, 3)):
            g.insert(rng.below(len(g) + 1), filler_stmt(rng, prose, k))
            k += 1

    target = rng.between(4096, 8192)
    head = ('<!DOCTYPE html>\n<html lang="en">\n<head>\n<meta charset="utf-8">\n<title>%s</title>\n</head>\n'
            "<body>\n<h1>%s</h1>\n" % (prose.title(), prose.title()))
    foot = "</body>\n</html>\n"
    code = ["<vorn>\n" + "".join(g) + "</vorn>\n" for g in groups]
    budget = target - len(head) - len(foot) - sum(map(len, code))
    # Prose before each region, and at least 400 bytes after the last one.
    last = max(400, budget // (regions + 1))
    shares = [max(1, (budget - last) // regions)] * regions
    texts = [prose.text(n) for n in shares]

    vorn_lines, c_lines = [], []
    for i, g in enumerate(groups):
        text = (head if i == 0 else "") + texts[i]
        vorn_lines.append(text)
        vorn_lines.append(code[i])
        c_lines.append("/*\n" + text + "*/\n")
        c_lines.append("".join(c_line(s) for s in g))
    size = sum(map(len, vorn_lines))
    last_text = prose.text(max(target - size - len(foot), 400))
    page.vorn, page.c = equal_sized(vorn_lines, c_lines, last_text + foot, "/*\n", foot + "*/\n", prose.text)


# ---- writing


def write(path, text, mode=None):
    with open(path, "w", encoding="ascii", newline="\n") as out:
        out.write(text)
    if mode is not None:
        os.chmod(path, mode)


def generate(pages, seed, out):
    rng = Rng(seed)
    prose = Prose(rng.fork(1), pages)
    shape = rng.fork(2)
    texts = rng.fork(3)

    site = os.path.join(out, "site")
    ctree = os.path.join(out, "ctree")
    for d in (site, ctree):
        if os.path.isdir(d):
            shutil.rmtree(d)

    dirs = make_dirs(shape, prose, max(1, round(pages / 20)))
    pool = make_pool(shape, max(3, round(pages / 10)))
    for f in pool:
        write_include_texts(texts, prose, f)

    n_data = max(8, round(pages / 20))
    data = {"txt": [], "bin": []}
    data_texts = {}
    for i in range(n_data):
        kind = "txt" if i % 2 == 0 else "bin"
        path = "data/%s_%04d.%s" % ("text" if kind == "txt" else "blob", i, kind)
        data[kind].append(path)
        data_texts[path] = prose.text(texts.between(64, 2048))
    scripts = ["scripts/%s.sh" % name for name in ("counter", "feed", "gallery", "latest", "sitemap")]

    exec_pages = [i for i in range(pages) if shape.chance(3)]
    if not exec_pages:
        exec_pages = [shape.below(pages)]
    exec_set = set(exec_pages)
    all_pages = []
    for i in range(pages):
        page = Page(i, shape.pick(dirs))
        write_page_texts(texts, prose, page, pool, data, scripts, i in exec_set)
        all_pages.append(page)

    # The trees.
    for d in dirs:
        os.makedirs(os.path.join(site, d), exist_ok=True)
        os.makedirs(os.path.join(ctree, d), exist_ok=True)
    for f in pool:
        os.makedirs(os.path.join(site, dir_of(f.path)), exist_ok=True)
        os.makedirs(os.path.join(ctree, dir_of(f.path)), exist_ok=True)
        write(os.path.join(site, f.path), f.vorn)
        write(os.path.join(ctree, f.path[:-4] + ".h"), f.c)
    write(os.path.join(site, "inc", "nooutput"), "")
    os.makedirs(os.path.join(site, "data"), exist_ok=True)
    for path, text in data_texts.items():
        write(os.path.join(site, path), text)
    os.makedirs(os.path.join(site, "scripts"), exist_ok=True)
    for s in scripts:
        write(os.path.join(site, s), "#!/bin/sh\n# Prints a generated fragment.\necho '<p>%s</p>'\n"
              % posixpath.basename(s)[:-3], 0o755)
    for p in all_pages:
        write(os.path.join(site, p.path), p.vorn)
        write(os.path.join(ctree, p.path[:-4] + ".c"), p.c)

    # The lists.
    floor_files = 0
    floor_bytes = 0
    with open(os.path.join(out, "floor.list"), "w", newline="\n") as fl:
        for p in all_pages:
            fl.write("site/" + p.path + "\n")
            floor_files += 1
            floor_bytes += len(p.vorn)
            for inc in p.includes:
                for f in flatten(inc, []):
                    fl.write("site/" + f.path + "\n")
                    floor_files += 1
                    floor_bytes += len(f.vorn)
    write(os.path.join(out, "ctree.list"), "".join(p.path[:-4] + ".c\n" for p in all_pages))
    write(os.path.join(out, "deps.txt"), "".join("%s\t%s\n" % (p.path, " ".join(sorted(p.deps))) for p in all_pages))
    stats = {
        "pages": pages,
        "seed": seed,
        "directories": len(dirs),
        "include_files": len(pool),
        "data_files": n_data,
        "scripts": len(scripts),
        "exec_pages": len(exec_pages),
        "page_bytes": sum(len(p.vorn) for p in all_pages),
        "include_bytes": sum(len(f.vorn) for f in pool),
        "floor_files": floor_files,
        "floor_bytes": floor_bytes,
    }
    write(os.path.join(out, "stats.json"), json.dumps(stats, indent=2, sort_keys=True) + "\n")
    return stats


def main(argv):
    parser = argparse.ArgumentParser(description="Write a seeded Vorn site and its C twin for the benchmark.")
    parser.add_argument("--pages", type=int, required=True, help="number of pages")
    parser.add_argument("--seed", type=int, default=1, help="generator seed")
    parser.add_argument("--out", required=True, help="output directory (site/ and ctree/ are replaced)")
    args = parser.parse_args(argv)
    if args.pages < 1:
        parser.error("--pages must be at least 1")
    os.makedirs(args.out, exist_ok=True)
    stats = generate(args.pages, args.seed, args.out)
    print("%d pages, %d directories, %d include files, read floor %d bytes in %d reads"
          % (stats["pages"], stats["directories"], stats["include_files"], stats["floor_bytes"], stats["floor_files"]))


if __name__ == "__main__":
    main(sys.argv[1:])
