#!/usr/bin/env python3
"""Compares two builds of vorn-tovik and vorn byte for byte: the proof that a change kept their behaviour.

    compare_builds.py --old BUILD --new BUILD [--sizes 2000,20000] [--pages 3000] [--seed 1] [--jobs 2]
                      [--keep]

BUILD is a build folder (holding src/vorn-tovik and tools/vorn, or the programs elsewhere below it) or the two
programs, "VORN-TOVIK,VORN".  Both sides run the same commands in fresh copies of the same trees, at the same
paths, under the same program names, with TZ=UTC and a fixed environment:

- sites: vorn-tovik in normal and fast mode, and with --self-update --exact-deps, on the benchmark sites
  (bench/gen_site.py, kept under bench/work/ as run_bench.sh keeps them), the pinned 60-page site,
  examples/site, small sites with odd features under many options, and a site made of the random pages
  below; compared are the exit status, standard output and error, every file the run added or changed
  (Makefile, Makefile.sources), with its time when that lies in the future, and the list of the tree's files;
- pages: the random pages of bench/gen_pages.py, each run by vorn to a file and to standard output, with
  various options, and a few odd command lines; compared are the exit status, standard output and error, and
  the files written.

Every page is run twice by the old vorn: a page whose two runs differ is counted as unstable and skipped.  A
site whose results differ is run again by the old vorn-tovik; when the two old runs differ, the comparison
fails as unstable.  Every program is limited to 1 GiB of address space, a page to 10 s; a page that the old
vorn cannot run within those is counted and skipped.  Differences are shown as excerpts of a unified diff and
kept, whole, in the scratch folder under bench/work/, which is then kept; the exit status is 1 when anything
differs.  Standard library only.
"""

import argparse
import calendar
import concurrent.futures
import difflib
import os
import resource
import shutil
import subprocess
import sys
import tempfile
import time

HERE = os.path.dirname(os.path.abspath(__file__))
ROOT = os.path.dirname(HERE)
sys.path.insert(0, HERE)
import gen_pages  # noqa: E402
from measure import ensure_trees, log  # noqa: E402

ENV = {"PATH": "/usr/bin:/bin", "TZ": "UTC", "LC_ALL": "C", "HOME": "/nonexistent"}
MEMORY_LIMIT = 1 << 30
SITE_TIMEOUT = 300
PAGE_TIMEOUT = 10
SHOWN = 8  # differences shown in full; the others are only counted


class Build:
    def __init__(self, spec):
        if "," in spec:
            self.tovik, self.vorn = (os.path.abspath(p) for p in spec.split(",", 1))
        else:
            self.tovik = find_program(spec, ["src/vorn-tovik", "vorn-tovik", "bin/vorn-tovik"], "vorn-tovik")
            self.vorn = find_program(spec, ["tools/vorn", "src/vorn", "vorn", "bin/vorn"], "vorn")
        for p in (self.tovik, self.vorn):
            if not (os.path.isfile(p) and os.access(p, os.X_OK)):
                raise SystemExit("compare_builds.py: %s is not a program" % p)


def find_program(folder, places, name):
    for place in places:
        path = os.path.abspath(os.path.join(folder, place))
        if os.path.isfile(path) and os.access(path, os.X_OK):
            return path
    for top, dirs, files in os.walk(folder):
        dirs[:] = sorted(d for d in dirs if d != "CMakeFiles")
        if name in files and os.access(os.path.join(top, name), os.X_OK):
            return os.path.abspath(os.path.join(top, name))
    raise SystemExit("compare_builds.py: no %s in %s" % (name, folder))


# ---- running one command


def run(program, name, args, cwd, timeout):
    """Runs `program` as `name` (its argv[0]) and gives its exit status, standard output and error."""
    try:
        p = subprocess.run([name] + args, executable=program, cwd=cwd, env=ENV, stdin=subprocess.DEVNULL,
                           capture_output=True, timeout=timeout)
        return {"exit status": b"%d" % p.returncode, "stdout": p.stdout, "stderr": p.stderr}
    except subprocess.TimeoutExpired:
        return {"exit status": b"timed out", "stdout": b"", "stderr": b""}


def listing(top):
    """Every directory and file below `top`, with each file's size and modification time."""
    out = {}
    for d, dirs, files in os.walk(top):
        rel = os.path.relpath(d, top)
        for name in dirs:
            out[os.path.normpath(os.path.join(rel, name)) + "/"] = None
        for name in files:
            st = os.lstat(os.path.join(d, name))
            out[os.path.normpath(os.path.join(rel, name))] = (st.st_size, st.st_mtime_ns, st.st_mode)
    return out


def copy_tree(src, dst, link):
    """A fresh copy of `src` at `dst`, hard-linked (for the large generated trees) or copied."""
    if os.path.lexists(dst):
        shutil.rmtree(dst)
    for d, dirs, files in os.walk(src):
        dirs.sort()
        target = os.path.join(dst, os.path.relpath(d, src))
        os.makedirs(target, exist_ok=True)
        for name in sorted(files):
            s, t = os.path.join(d, name), os.path.join(target, name)
            if link:
                try:
                    os.link(s, t)
                    continue
                except OSError:
                    pass
            shutil.copy2(s, t)


# ---- the sites


class Site_case:
    """vorn-tovik run with `args` in a fresh copy of `tree`."""

    def __init__(self, name, tree, args, link=False):
        self.name = name + ": vorn-tovik" + "".join(" " + a for a in args)
        self.tree, self.args, self.link = tree, args, link
        self.key = None  # the folder of its copies, set once every case is known

    def run(self, program, scratch):
        # The same path on both sides: the archive's name and some messages hold it.
        work = os.path.join(scratch, "sites", self.key, os.path.basename(self.tree.rstrip("/")))
        copy_tree(self.tree, work, self.link)
        before = listing(work)
        result = run(program, "vorn-tovik", self.args, work, SITE_TIMEOUT)
        after = listing(work)
        result["tree"] = "".join(k + "\n" for k in sorted(after)).encode()
        for k in sorted(after):
            if after[k] is not None and after[k] != before.get(k):
                with open(os.path.join(work, k), "rb") as f:
                    result["file " + k] = f.read()
                if after[k][1] > (time.time() + 86400) * 1e9:  # a time given on purpose, not the present one
                    result["time of " + k] = b"%d" % after[k][1]
        shutil.rmtree(os.path.dirname(work))
        return result


def write_tree(top, files):
    for path, text in files.items():
        path = os.path.join(top, path)
        os.makedirs(os.path.dirname(path), exist_ok=True)
        with open(path, "wb") as f:
            f.write(text.encode() if isinstance(text, str) else text)
        if path.endswith(".sh"):
            os.chmod(path, 0o755)


HEAD = 'type:<html><head><title>@@title@@</title></head><body>\nendtype;\ninclude("sub/deeper.vrn");\n'
ODD_SITE = {
    "Makefile.vt": "# the odd site\ntarget-extension:html\nvorn-option:-DSITE=odd\ntranslations: it, de\n"
                   "*main\nvorn-option:-D_SECTION=main\nend-main\n"
                   "*branch*docs/*out-docs/\nvorn-option:-D_SECTION=docs\nend-branch\n",
    "Makefile.add": "extra:\n\techo extra\n",
    "index.vrn": '<vorn>title = "Home"; include("inc/head.vrn"); // __DEP__ style.css\n</vorn>\n'
                 '<p><vorn>echo(fsize(inputfile(), "#b")); verbatim("notice.txt");</vorn></p>\n',
    "index.vrn.it": '<vorn>title = "Casa"; include("inc/head.vrn");</vorn>\n',
    "news/item.vrn": '<vorn>// __EXT__ php\nexec("../scripts/s.sh", "a"); echo(fdate("../logo.png", "#y"));'
                     '</vorn>\n',
    "news/item.vrn.de": "<vorn>print(_LANG);</vorn>\n",
    "raw.vrn": "no tags at all\n",
    "always.vrn": '<vorn>/* __ALWAYS__ */ name = "notice.txt"; verbatim(name);</vorn>\n',
    "dyn.vrn": '<vorn>name = "inc/head.vrn"; include(name); verbatim(name); exec(name);</vorn>\n',
    "cmdname.vrn": '<vorn>include(evalcmd("printf inc/head.vrn")); include("inc/" + "head.vrn");</vorn>\n',
    "noout.vrn": '<vorn>// __NO_OUTPUT__\ninclude("inc/head.vrn");</vorn>\n',
    "late.vrn": '<vorn>include("inc/head.vrn");\n// __NO_OUTPUT__\n</vorn>\n',
    "badext.vrn": "<vorn>// __EXT__ bad/ext\n// __EXT__\n// __DEP__ /etc/passwd\n// __DEP__ ../outside.txt\n"
                  "// __DEP__ dir with blank/x$y#z.txt\n</vorn>\n",
    "short.vrn": '<vorn include("inc/head.vrn"); /> and <vorn\n>fsize("logo.png", "#k");</vorn>\n',
    "inc/nooutput": "",
    "inc/head.vrn": HEAD,
    "inc/sub/deeper.vrn": "// __DEP__ ../../style.css\nverbatim(\"../../notice.txt\");\n",
    "docs/notovik": "",
    "docs/index.vrn": '<vorn>include("../inc/head.vrn");</vorn>\n',
    "docs/guide/install.vrn": "<vorn>echo(linkadjust());</vorn>\n",
    "hidden/notovik": "",
    "hidden/page.vrn": "<vorn>echo(1);</vorn>\n",
    "odd name.vrn": "<vorn>echo(1);</vorn>\n",
    "$(x).vrn": "<vorn>echo(1);</vorn>\n",
    "dir with blank/page.vrn": "<vorn>echo(1);</vorn>\n",
    "café/page.vrn": '<vorn>include("../inc/head.vrn");</vorn>\n',
    "page.src": '<vorn>include("inc/head.vrn");</vorn>\n',
    "scripts/s.sh": "#!/bin/sh\necho script\n",
    "logo.png": b"\x89PNG not really\n",
    "style.css": "body { }\n",
    "notice.txt": "Copy freely.\n",
    "computed.txt": "named while the page runs\n",
    # Records of what pages read, as vorn --deps writes them (and some it does not write), for --exact-deps.
    ".Makefile.deps/index.html.d": "index.html: \\\n\tinc/head.vrn \\\n\tcomputed.txt \\\n\ta\\ b$$c.txt\n\n"
                                   "inc/head.vrn:\ncomputed.txt:\na\\ b$$c.txt:\n",
    ".Makefile.deps/news/item.php.d": "news/item.php: \\\n\tlogo.png \\\n\t/etc/hostname\n\nlogo.png:\n",
    ".Makefile.deps/it/index.html.d": "not a record\n",
    ".Makefile.deps/always.html.d": "",
    ".Makefile.deps/gone.html.d": "gone.html: \\\n\tgone.txt\n\ngone.txt:\n",
}
# Files of the odd site with a time in the future: the makefile that remakes itself is made no older.
FUTURE = {"inc/sub/deeper.vrn": calendar.timegm((2100, 1, 1, 0, 0, 0))}
BROKEN_SITE = {
    "Makefile.vt": "vorn-option:-DSITE=broken\n",
    "syntax.vrn": "<vorn>echo(1;\nx = ;\n</vorn>\n",
    "token.vrn": "<vorn>x = 1 # 2;</vorn>\n",
    "unclosed.vrn": "<vorn>echo(1);\n",
    "missing.vrn": '<vorn>include("none.vrn"); verbatim("none.txt");</vorn>\n',
    "self.vrn": '<vorn>include("self.vrn");</vorn>\n',
    "bad.vrn": '<vorn>include(5); exec(5); fsize({1}, "#b");</vorn>\n',
    "fine.vrn": '<vorn>include("inc.vrn");</vorn>\n',
    "inc.vrn": 'echo("no tag");\n',
}
SETTINGS_SITE = {
    "Makefile.vt": "fast:\nbrief:\nverbose:\nprefix:www/\nsource-extension:src\ntarget-extension:htm\n"
                   "vorn-option:-p\ntranslations:it\nself-update:\nexact-deps:\n",
    "a.src": '<vorn>include("b.inc");</vorn>\n',
    "b.inc": "echo(2);\n",
    "c.vrn": "<vorn>echo(3);</vorn>\n",
    "sub/d.src": "<vorn>echo(4);</vorn>\n",
}
BAD_TEMPLATE_SITE = {"Makefile.vt": "fast: \nbogus-setting:1\n", "a.vrn": "<vorn>echo(1);</vorn>\n"}


def tracked_copy(folder, top):
    """The files of the checkout's `folder` that git tracks (all of them without git), copied to `top`."""
    try:
        names = subprocess.run(["git", "-C", ROOT, "ls-files", "-z", "--", folder], check=True,
                               capture_output=True).stdout.decode().split("\0")
    except (OSError, subprocess.CalledProcessError):
        names = []
    if not any(names):
        copy_tree(os.path.join(ROOT, folder), top, link=False)
        return top
    for name in filter(None, names):
        target = os.path.join(top, os.path.relpath(name, folder))
        os.makedirs(os.path.dirname(target), exist_ok=True)
        shutil.copy2(os.path.join(ROOT, name), target)
    return top


def clean_pages(pages_site, runs, top):
    """The site of the random pages without those that vorn-tovik refuses on purpose, and their files."""
    refused = {"inc/broken.vrn", "inc/self.vrn"}
    for r in runs:
        if not r.clean:
            refused.update((r.source, r.source + ".it"))
    for d, dirs, files in os.walk(pages_site):
        rel = os.path.relpath(d, pages_site)
        os.makedirs(os.path.join(top, rel), exist_ok=True)
        for name in files:
            if os.path.normpath(os.path.join(rel, name)) not in refused:
                os.link(os.path.join(d, name), os.path.join(top, rel, name))
    return top


def site_cases(args, scratch, pages_site, runs):
    trees = os.path.join(scratch, "trees")
    cases = []
    for pages in args.sizes:
        tree = os.path.join(ensure_trees(args.work, pages, args.seed), "site")
        cases += [Site_case("bench-%d" % pages, tree, a, link=True)
                  for a in ([], ["--fast"], ["--self-update", "--exact-deps"])]
    pin = os.path.join(trees, "pin")
    subprocess.run([sys.executable, os.path.join(HERE, "gen_site.py"), "--pages", "60", "--seed", "7",
                    "--out", pin], check=True, stdout=subprocess.DEVNULL)
    cases += [Site_case("pin-60-s7", os.path.join(pin, "site"), a) for a in ([], ["--fast"])]
    example = tracked_copy(os.path.join("examples", "site"), os.path.join(trees, "example"))
    cases += [Site_case("example", example, a) for a in ([], ["--fast"], ["--prefix=out/"], ["-i", "-v"])]
    for name, files, option_sets in [
        ("odd", ODD_SITE, [[], ["--fast"], ["--prefix=public/"], ["-p", "out"], ["-i"], ["-E"], ["-b"],
                           ["-v"], ["-q"], ["-s"], ["-O", "-DX=1"], ["-t", "htm"], ["-S", "src"],
                           ["custom.mk"], ["-d", "news"], ["-f", "-i", "-v"], ["--help"], ["--version"],
                           ["-A"], ["--bogus"],
                           ["-p"], ["a.mk", "b.mk"], ["--self-update"], ["--exact-deps"],
                           ["--self-update", "--exact-deps"], ["--self-update", "--exact-deps", "--fast"],
                           ["--self-update", "--prefix=public/", "-v"], ["--exact-deps", "custom.mk"]]),
        ("broken", BROKEN_SITE, [[], ["-i"], ["--fast"], ["-i", "--fast"], ["-b", "-i"], ["-E", "-i"]]),
        ("settings", SETTINGS_SITE, [[], ["-t", "html"], ["--prefix=x/"]]),
        ("bad-template", BAD_TEMPLATE_SITE, [[], ["-i"]]),
        ("empty", {"nothing.txt": ""}, [[], ["--fast"]]),
    ]:
        write_tree(os.path.join(trees, name), files)
        for path, when in FUTURE.items() if files is ODD_SITE else ():
            os.utime(os.path.join(trees, name, path), (when, when))
        cases += [Site_case(name, os.path.join(trees, name), a) for a in option_sets]
    clean = clean_pages(pages_site, runs, os.path.join(trees, "clean-pages"))
    cases += [Site_case("clean-pages", clean, a, link=True)
              for a in ([], ["--fast"], ["--self-update", "--exact-deps"])]
    cases += [Site_case("pages", pages_site, a, link=True) for a in (["-i"], ["-i", "--fast"])]
    for i, case in enumerate(cases):
        case.key = "%02d" % i
    return cases


# ---- the pages


class Page_case:
    """A page (or an odd command line) and the command lines that run it, one after the other."""

    def __init__(self, key, variants, site):
        self.name = "page " + key
        self.key, self.variants, self.site = key, variants, site

    def run(self, program, scratch):
        result = {}
        for args in self.variants:
            out = os.path.join(self.site, "out", self.key)  # the only place the page's runs write to
            if os.path.lexists(out):
                shutil.rmtree(out)
            os.makedirs(out)
            one = run(program, "vorn", args, self.site, PAGE_TIMEOUT)
            for k, st in sorted(listing(out).items()):
                if st is None:
                    one["dir out/%s/%s" % (self.key, k)] = b""
                    continue
                with open(os.path.join(out, k), "rb") as f:
                    one["file out/%s/%s" % (self.key, k)] = f.read() + b"\n(mode %o)" % (st[2] & 0o7777)
            shutil.rmtree(out)
            result.update(("vorn %s: %s" % (" ".join(args), k), v) for k, v in one.items())
        return result


P = "p0000.vrn"
ODD_COMMAND_LINES = [
    [], [P], ["-x", P, "-"], ["--help"], ["--version"], ["-h", "x", "y"], ["none.vrn", "-"], ["data", "-"],
    ["-d", "none", P, "-"], ["-D", "", P, "-"], ["-D", "=x", P, "-"], [P, "out/cli/no/dir/x.html"],
    ["-p", P, "out/cli/a/b/x.html"], [P, "-", "x"], ["--noext-error", "--noext-warning", "-i", P, "-"],
    ["--root-dir", P, "-"], ["-i", "-", "-"], ["-i", "-E", P, "-"], ["-q", "-v", P, "-"],
    ["--noext-warning", "-b"], ["--deps", P, "-"], ["--deps=", P, "-"], ["--deps=data", P, "-"],
    ["--deps", "out/cli/x.d", "-i", P, "out/cli/x.html"]]


def page_cases(runs, site):
    return [Page_case(r.name, r.variants, site) for r in runs] + [Page_case("cli", ODD_COMMAND_LINES, site)]


# ---- comparing


def excerpt(key, old, new, lines=14):
    """The first difference between two texts as a unified diff of a few lines around it."""
    a = old.decode("utf-8", "backslashreplace").splitlines(keepends=True)
    b = new.decode("utf-8", "backslashreplace").splitlines(keepends=True)
    first = next((i for i, (x, y) in enumerate(zip(a, b)) if x != y), min(len(a), len(b)))
    lo = max(0, first - 3)
    clip = [line if len(line) < 200 else line[:200] + "...\n" for line in a[lo : first + lines]]
    clip_b = [line if len(line) < 200 else line[:200] + "...\n" for line in b[lo : first + lines]]
    head = "    %s: first difference at line %d (old %d lines, %d bytes; new %d lines, %d bytes)\n" % (
        key, first + 1, len(a), len(old), len(b), len(new))
    diff = difflib.unified_diff(clip, clip_b, "old", "new", n=3)
    return head + "".join("      " + line if line.endswith("\n") else "      " + line + "\n" for line in diff)


class Tally:
    def __init__(self):
        self.same = self.differ = self.unstable = self.limited = 0
        self.shown = []


def beyond_limits(key, value):
    """Whether the outcome `key` of a page's run shows that the run stopped at the time or memory limit."""
    if key.endswith("exit status"):
        return value == b"timed out" or value.startswith(b"-")  # killed by a signal
    return key.endswith("stderr") and b"out of memory" in value


def compare_case(case, old, new, scratch, check_twice):
    """'same', 'unstable', 'limited', or the differing outcomes."""
    a = case.run(old, scratch)
    if isinstance(case, Page_case) and any(beyond_limits(k, v) for k, v in a.items()):
        return "limited", None
    if check_twice and case.run(old, scratch) != a:
        return "unstable", None
    b = case.run(new, scratch)
    if a == b:
        return "same", None
    if not check_twice and case.run(old, scratch) != a:
        return "unstable", None
    return "differ", (a, b)


def record(tally, case, outcome, scratch, label):
    status, results = outcome
    if status != "differ":
        setattr(tally, status, getattr(tally, status) + 1)
        return
    tally.differ += 1
    a, b = results
    folder = os.path.join(scratch, "differences", "%s-%04d" % (label, tally.differ))
    text = ["DIFFERENT: %s   (whole outputs in %s)\n" % (case.name, folder)]
    for key in sorted(set(a) | set(b)):
        x, y = a.get(key), b.get(key)
        if x == y:
            continue
        text.append(excerpt(key, b"(none)\n" if x is None else x, b"(none)\n" if y is None else y))
        for side, value in (("old", x), ("new", y)):
            if value is not None:
                path = os.path.join(folder, side, key.replace("/", "%")[:200])
                os.makedirs(os.path.dirname(path), exist_ok=True)
                with open(path, "wb") as f:
                    f.write(value)
    if len(tally.shown) < SHOWN:
        tally.shown.append("".join(text))
        print(tally.shown[-1], flush=True)


def compare_all(cases, old, new, program_of, scratch, jobs, label):
    tally = Tally()
    started = time.time()
    with concurrent.futures.ThreadPoolExecutor(max_workers=jobs) as pool:
        futures = [pool.submit(compare_case, c, program_of(old), program_of(new), scratch,
                               isinstance(c, Page_case)) for c in cases]
        for i, (case, future) in enumerate(zip(cases, futures)):
            record(tally, case, future.result(), scratch, label)
            if (i + 1) % 1000 == 0:
                log("  %s: %d of %d compared" % (label, i + 1, len(cases)))
    log("%s: %d compared in %.0f s: %d identical, %d different, %d unstable (skipped), %d beyond the limits "
        "of the old build (skipped)" % (label, len(cases), time.time() - started, tally.same, tally.differ,
                                        tally.unstable, tally.limited))
    return tally


def main(argv):
    parser = argparse.ArgumentParser(description="Compare two builds of vorn-tovik and vorn byte for byte.")
    parser.add_argument("--old", required=True, help="build folder, or VORN-TOVIK,VORN, before the change")
    parser.add_argument("--new", required=True, help="build folder, or VORN-TOVIK,VORN, after the change")
    parser.add_argument("--sizes", default="2000,20000", help="benchmark site sizes, separated by commas")
    parser.add_argument("--pages", type=int, default=3000, help="random pages run through vorn")
    parser.add_argument("--seed", type=int, default=1, help="seed of the benchmark sites and random pages")
    parser.add_argument("--jobs", type=int, default=2, help="comparisons run at the same time")
    parser.add_argument("--work", default=os.path.join(HERE, "work"), help="where benchmark trees are kept")
    parser.add_argument("--keep", action="store_true", help="keep the scratch folder even when all is same")
    args = parser.parse_args(argv)
    args.sizes = [int(s) for s in args.sizes.replace(",", " ").split()]
    args.work = os.path.abspath(args.work)
    old, new = Build(args.old), Build(args.new)
    os.makedirs(args.work, exist_ok=True)
    # In bench/work/, next to the benchmark trees, so that their copies can be hard links.
    scratch = tempfile.mkdtemp(prefix="compare-", dir=args.work)
    started = time.time()

    log("generating %d random pages (seed %d)" % (args.pages, args.seed))
    pages_site = os.path.join(scratch, "trees", "pages")
    runs = gen_pages.generate(args.pages, args.seed, pages_site)
    sites = site_cases(args, scratch, pages_site, runs)
    pages = page_cases(runs, pages_site)
    # From here on every program started has at most this much memory: a page that runs away stops early.
    resource.setrlimit(resource.RLIMIT_AS, (MEMORY_LIMIT, resource.getrlimit(resource.RLIMIT_AS)[1]))

    log("old: %s, %s\nnew: %s, %s" % (old.tovik, old.vorn, new.tovik, new.vorn))
    site_tally = compare_all(sites, old, new, lambda b: b.tovik, scratch, args.jobs, "sites")
    page_tally = compare_all(pages, old, new, lambda b: b.vorn, scratch, args.jobs, "pages")

    differ = site_tally.differ + page_tally.differ
    hidden = differ - len(site_tally.shown) - len(page_tally.shown)
    verdict = "DIFFERENT" if differ or site_tally.unstable else "SAME"
    runs = sum(len(p.variants) for p in pages)
    print("%s: %d site runs and %d pages (%d runs) compared in %.0f s; %d different%s; %d unstable and %d "
          "beyond the limits skipped" % (verdict, len(sites), len(pages), runs, time.time() - started, differ,
                                         " (%d not shown)" % hidden if hidden else "",
                                         site_tally.unstable + page_tally.unstable,
                                         site_tally.limited + page_tally.limited))
    if differ or site_tally.unstable or args.keep:
        print("scratch folder kept: %s" % scratch)
    else:
        shutil.rmtree(scratch)
    return 1 if differ or site_tally.unstable else 0


if __name__ == "__main__":
    sys.exit(main(sys.argv[1:]))
