#!/usr/bin/env python3
"""Times vorn-tovik against the read floor, gcc -MM and makedepend on generated sites, and make and vorn on
the makefile it writes.

Called by bench/run_bench.sh once the Release binaries are built; see bench/README.md.  For each size it
generates (or reuses) the trees under the work directory, runs every tool once to warm up, then runs them in
turns, `--runs` times each (reading each run's input files just before it, untimed), and reports the median
wall time, the read floor's bytes per second, the ratio to vorn-tovik in normal mode and the peak resident
set size; the rows of make and vorn go into a second table, each with the ratio to its own reference row.
The tables are printed and written to the results directory.  Standard library only.
"""

import argparse
import datetime
import hashlib
import json
import os
import shutil
import statistics
import subprocess
import sys
import time

HERE = os.path.dirname(os.path.abspath(__file__))
ROOT = os.path.dirname(HERE)
GENERATOR = os.path.join(HERE, "gen_site.py")

# Batch sizes of the C scanners: makedepend refuses more than 2,048 files in one run.
GCC_BATCH = 500
MAKEDEPEND_BATCH = 250

TOOLS = ["vorn-tovik", "vorn-tovik --fast", "cat floor", "gcc -MM", "makedepend"]
TOOL_KEYS = {"normal": "vorn-tovik", "fast": "vorn-tovik --fast", "cat": "cat floor", "gcc": "gcc -MM",
             "makedepend": "makedepend"}

# The rows of make and vorn on the generated makefile, each with the row it is compared with.
MAKE_ROWS = [
    ("make", "make -r"),
    ("make -r", None),
    ("make -q", "make -q -r"),
    ("make -q -r", None),
    ("make, built-in rules on", "make -r"),
    ("make -q, built-in rules on", "make -q -r"),
    ("make -j2, full build", "make -j2, cp floor"),
    ("make -j2, full build, built-in rules on", "make -j2, cp floor"),
    ("make -j2, cp floor", None),
    ("vorn per page", "cp per page"),
    ("cp per page", None),
    ("make, self-update and exact-deps", "make"),
    ("make -q, self-update and exact-deps", "make -q"),
]
MAKE_KEYS = {
    "make": ["make", "make -r", "make -q", "make -q -r"],
    "builtin": ["make, built-in rules on", "make -q, built-in rules on",
                "make -j2, full build, built-in rules on"],
    "build": ["make -j2, full build", "make -j2, cp floor"],
    "perpage": ["vorn per page", "cp per page"],
    "updating": ["make, self-update and exact-deps", "make -q, self-update and exact-deps"],
}
# The rows on the makefile written with both settings that keep a makefile current.
UPDATING_ROWS = set(MAKE_KEYS["updating"])
UPDATING_OPTIONS = ["--self-update", "--exact-deps"]
# Rows that build pages: measured only up to this many pages unless --build-max says otherwise.
BUILD_ROWS = {"make -j2, full build", "make -j2, full build, built-in rules on", "make -j2, cp floor",
              "vorn per page", "cp per page"}
# The options the pages are built with: the generated pages are not meant to run cleanly (they compare
# undefined variables), so vorn goes past their errors and says nothing.
VORN_OPTIONS = ["-i", "-q"]
# The six lines that turn make's built-in implicit rules off.
NO_BUILTIN_RULES = ".SUFFIXES:\n% : %,v\n% : RCS/%,v\n% : RCS/%\n% : s.%\n% : SCCS/s.%\n\n"


def log(text):
    print(text, file=sys.stderr, flush=True)


# ---- the trees


def generator_stamp(pages, seed):
    with open(GENERATOR, "rb") as f:
        digest = hashlib.sha256(f.read()).hexdigest()
    return "%s pages=%d seed=%d\n" % (digest, pages, seed)


def ensure_trees(work, pages, seed):
    """The generated trees for one size, made again when the generator or its arguments changed."""
    out = os.path.join(work, "site-%d-s%d" % (pages, seed))
    stamp_path = os.path.join(out, "stamp")
    stamp = generator_stamp(pages, seed)
    try:
        with open(stamp_path) as f:
            if f.read() == stamp:
                return out
    except OSError:
        pass
    if os.path.isdir(out):
        shutil.rmtree(out)
    log("generating %d pages (seed %d) in %s" % (pages, seed, out))
    subprocess.run([sys.executable, GENERATOR, "--pages", str(pages), "--seed", str(seed), "--out", out],
                   check=True, stdout=sys.stderr)
    with open(stamp_path, "w") as f:
        f.write(stamp)
    return out


# ---- running one command


class Failed(Exception):
    pass


# The peak RSS comes from GNU time, which forks the command from a small process of its own: a process keeps
# the largest resident set it ever had across exec, so a command forked from this script directly would
# report at least the interpreter's size.
GNU_TIME = "/usr/bin/time"


def run_once(argv, cwd, rss_path, stdin_path=None, stdout_path=os.devnull, stderr_path=os.devnull,
             path_front=None):
    """Runs argv and returns (wall seconds, peak RSS in KiB of the command and everything it waited for).
    `rss_path` is a scratch file for GNU time's report; `path_front` goes first on the PATH."""
    env = dict(os.environ, LC_ALL="C")
    # A make that runs the benchmark must not pass its flags to the make being measured.
    for name in ("MAKEFLAGS", "MFLAGS", "MAKELEVEL"):
        env.pop(name, None)
    if path_front:
        env["PATH"] = path_front + os.pathsep + env.get("PATH", "/usr/bin:/bin")
    argv = [GNU_TIME, "-f", "%M", "-o", rss_path, "--"] + argv
    start = time.perf_counter()
    pid = os.fork()
    if pid == 0:
        try:
            os.chdir(cwd)
            for fd, path, flags in ((0, stdin_path or os.devnull, os.O_RDONLY),
                                    (1, stdout_path, os.O_WRONLY | os.O_CREAT | os.O_TRUNC),
                                    (2, stderr_path, os.O_WRONLY | os.O_CREAT | os.O_TRUNC)):
                f = os.open(path, flags, 0o644)
                os.dup2(f, fd)
                os.close(f)
            os.execvpe(argv[0], argv, env)
        except OSError as e:
            os.write(2, ("cannot run %s: %s\n" % (argv[0], e)).encode())
        finally:
            os._exit(127)
    _, status = os.waitpid(pid, 0)
    wall = time.perf_counter() - start
    code = os.waitstatus_to_exitcode(status)
    if code != 0:
        tail = ""
        if stderr_path != os.devnull:
            with open(stderr_path, errors="replace") as f:
                tail = "".join(f.readlines()[-10:])
        raise Failed("%s (in %s) ended with status %d\n%s" % (" ".join(argv[6:]), cwd, code, tail))
    with open(rss_path) as f:
        peak = int(f.read().split()[-1])
    os.unlink(rss_path)
    return wall, peak


def warm(tree):
    """Reads every file below `tree` (and so its directories), untimed: the machine's memory manager takes
    back page cache that goes unused for a while (minutes of gcc -MM), and the goals are for files in the
    page cache."""
    subprocess.run("find . -type f -print0 | xargs -0 cat > /dev/null", shell=True, cwd=tree,
                   stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)


class Tool:
    def __init__(self, name, argv, cwd, stdin_path=None, stderr_path=os.devnull, inputs=None, prepare=None,
                 path_front=None):
        self.name = name
        self.inputs = inputs  # the tree its input files lie in, read before every run
        self.prepare = prepare  # called before every run, untimed
        self.path_front = path_front
        # Commands of a few milliseconds are run several times in a row and their mean counts as one run,
        # as many times as fit in about a second after the warm-up run (at most 10): a load that comes and
        # goes on the machine would otherwise decide their medians.
        self.short = False
        self.repeat = 1
        self.rss_path = None  # set by make_tools
        self.argv = argv
        self.cwd = cwd
        self.stdin_path = stdin_path
        self.stderr_path = stderr_path
        self.times = []
        self.rss = []

    def run(self, keep=True):
        if self.prepare:
            self.prepare()
        if self.inputs:
            warm(self.inputs)
        walls, rss = [], 0
        for _ in range(self.repeat if keep else 1):
            w, r = run_once(self.argv, self.cwd, self.rss_path, self.stdin_path, stderr_path=self.stderr_path,
                            path_front=self.path_front)
            walls.append(w)
            rss = max(rss, r)
        wall = statistics.mean(walls)
        if not keep and self.short:
            self.repeat = max(1, min(10, int(1.0 / max(wall, 1e-3))))
        if keep:
            self.times.append(wall)
            self.rss.append(rss)
        return wall

    def median(self):
        return statistics.median(self.times)


def make_tools(binary, tree, wanted):
    site = os.path.join(tree, "site")
    ctree = os.path.join(tree, "ctree")
    floor = os.path.join(tree, "floor.list")
    c_list = os.path.join(tree, "ctree.list")
    xargs = ["xargs", "-d", "\n"]
    all_tools = {
        "vorn-tovik": Tool("vorn-tovik", [binary], site, stderr_path=os.path.join(tree, "normal.err"),
                           inputs=site),
        "vorn-tovik --fast": Tool("vorn-tovik --fast", [binary, "--fast"], site,
                                  stderr_path=os.path.join(tree, "fast.err"), inputs=site),
        "cat floor": Tool("cat floor", xargs + ["cat", "--"], tree, floor, inputs=site),
        "gcc -MM": Tool("gcc -MM", xargs + ["-n", str(GCC_BATCH), "gcc", "-MM"], ctree, c_list,
                        stderr_path=os.path.join(tree, "gcc.err"), inputs=ctree),
        "makedepend": Tool("makedepend", xargs + ["-n", str(MAKEDEPEND_BATCH), "makedepend", "-f-"], ctree,
                           c_list, stderr_path=os.path.join(tree, "makedepend.err"), inputs=ctree),
    }
    tools = [all_tools[name] for name in TOOLS if name in wanted]
    for tool in tools:
        tool.rss_path = os.path.join(tree, ".peak-rss")
    return tools


# ---- make and vorn on the generated makefile


class Make_site:
    """A copy of the site (so that the generator's rows still measure a tree without pages) with the makefile
    written by the binary, two variants of it, and the list of its pages."""

    def __init__(self, binary, vorn, tree, options=(), name="make-site"):
        self.dir = os.path.join(tree, name)
        self.vorn_dir = os.path.dirname(vorn)
        if not os.path.isdir(self.dir):
            log("  copying the site for make")
            shutil.copytree(os.path.join(tree, "site"), self.dir, symlinks=True)
        subprocess.run([binary, "--quiet"] + list(options), cwd=self.dir, check=True)
        with open(os.path.join(self.dir, "Makefile")) as f:
            text = f.read()
        if NO_BUILTIN_RULES not in text:
            log("  note: the makefile does not turn the built-in rules off")
        # Built-in rules on: the makefile without the six lines.
        with open(os.path.join(self.dir, "Makefile.builtin"), "w") as f:
            f.write(text.replace(NO_BUILTIN_RULES, "", 1))
        # The process-spawn floor: cp SOURCE OUTPUT as every page's recipe.
        self.pages = []
        lines = text.split("\n")
        for i, line in enumerate(lines):
            if line.startswith("\tvorn $(__vorn_OPTS) "):
                words = line.split()
                source, output = words[-2], words[-1].replace("$(prefix)", "./")
                self.pages.append((source, output))
                lines[i] = "\tcp %s %s" % (words[-2], words[-1])
        with open(os.path.join(self.dir, "Makefile.cp"), "w") as f:
            f.write("\n".join(lines))
        self.list_path = os.path.join(tree, "pages.list")
        with open(self.list_path, "w") as f:
            for source, output in self.pages:
                f.write("%s\n%s\n" % (source, output))

    def clean(self):
        for _, output in self.pages:
            try:
                os.unlink(os.path.join(self.dir, output))
            except FileNotFoundError:
                pass

    def build(self):
        """Makes every page that is missing or out of date (nothing once they all are)."""
        run_once(["make", "-j2", "__vorn_OPTS=" + " ".join(VORN_OPTIONS)], self.dir, os.path.join(
            self.dir, ".peak-rss"), path_front=self.vorn_dir)

    def settle(self):
        """The same, then once more: a makefile that remakes itself takes in the records of a build that wrote
        new ones at the next run of make (nothing once it has)."""
        self.build()
        self.build()


def make_rows(make_site, updating_site, wanted):
    d = make_site.dir
    vorn = os.path.join(make_site.vorn_dir, "vorn")
    xargs = ["xargs", "-d", "\n", "-n", "2"]
    built = make_site.build
    rows = {
        "make": (["make"], built),
        "make -r": (["make", "-r"], built),
        "make -q": (["make", "-q"], built),
        "make -q -r": (["make", "-q", "-r"], built),
        "make, built-in rules on": (["make", "-f", "Makefile.builtin"], built),
        "make -q, built-in rules on": (["make", "-q", "-f", "Makefile.builtin"], built),
        "make -j2, full build": (["make", "-j2", "__vorn_OPTS=" + " ".join(VORN_OPTIONS)], make_site.clean),
        "make -j2, full build, built-in rules on": (["make", "-j2", "-f", "Makefile.builtin", "__vorn_OPTS="
                                                     + " ".join(VORN_OPTIONS)], make_site.clean),
        "make -j2, cp floor": (["make", "-j2", "-f", "Makefile.cp"], make_site.clean),
        "vorn per page": (xargs + [vorn] + VORN_OPTIONS, None),
        "cp per page": (xargs + ["cp"], None),
    }
    if updating_site:
        rows["make, self-update and exact-deps"] = (["make"], updating_site.settle)
        rows["make -q, self-update and exact-deps"] = (["make", "-q"], updating_site.settle)
    tools = []
    for name, _ in MAKE_ROWS:
        if name not in wanted:
            continue
        argv, prepare = rows[name]
        stdin = make_site.list_path if name.endswith("per page") else None
        cwd = updating_site.dir if name in UPDATING_ROWS else d
        tool = Tool(name, argv, cwd, stdin_path=stdin, inputs=cwd, prepare=prepare,
                    path_front=make_site.vorn_dir)
        tool.short = prepare == built or name in UPDATING_ROWS
        tools.append(tool)
    for tool in tools:
        tool.rss_path = os.path.join(tool.cwd, ".peak-rss")
    return tools


def count_lines(path):
    try:
        with open(path, "rb") as f:
            return f.read().count(b"\n")
    except OSError:
        return 0


def file_size(path):
    try:
        return os.path.getsize(path)
    except OSError:
        return 0


# ---- one size


def measure_size(binary, vorn, tree, runs, wanted, build_max):
    with open(os.path.join(tree, "stats.json")) as f:
        stats = json.load(f)
    tools = make_tools(binary, tree, wanted)
    makefile = os.path.join(tree, "site", "Makefile")
    result = {"pages": stats["pages"], "stats": stats, "tools": {}}
    make_wanted = [name for name, _ in MAKE_ROWS
                   if name in wanted and (name not in BUILD_ROWS or stats["pages"] <= build_max)]
    if make_wanted:
        make_site = Make_site(binary, vorn, tree)
        log("  building the pages once")
        make_site.build()
        updating_site = None
        if UPDATING_ROWS & set(make_wanted):
            updating_site = Make_site(binary, vorn, tree, UPDATING_OPTIONS, "make-site-updating")
            log("  building the pages once, with %s" % " ".join(UPDATING_OPTIONS))
            updating_site.settle()
        tools += make_rows(make_site, updating_site, make_wanted)

    for tool in tools:
        log("  warm-up: %s" % tool.name)
        tool.run(keep=False)
        if tool.name == "vorn-tovik":
            result["makefile_bytes"] = file_size(makefile)
    # Turns rather than blocks, so that a load that comes and goes on the machine hits every tool alike.
    for r in range(runs):
        for tool in tools:
            wall = tool.run()
            log("  run %d/%d: %-26s %8.3f s" % (r + 1, runs, tool.name, wall))

    for tool in tools:
        result["tools"][tool.name] = {
            "median": tool.median(),
            "times": tool.times,
            "peak_rss_kib": max(tool.rss),
            "stderr_lines": count_lines(tool.stderr_path) if tool.stderr_path != os.devnull else 0,
            "repeat": tool.repeat,
        }
    return result


# ---- report


def fmt_time(t):
    return "%.3f" % t if t < 100 else "%.1f" % t


def machine_text():
    cpu = "unknown"
    try:
        with open("/proc/cpuinfo") as f:
            for line in f:
                if line.startswith("model name"):
                    cpu = line.split(":", 1)[1].strip()
                    break
    except OSError:
        pass
    return "%s, %d cores" % (cpu, os.cpu_count() or 0)


def source_text():
    def git(*args):
        r = subprocess.run(["git", "-C", ROOT] + list(args), capture_output=True, text=True)
        return r.stdout.strip() if r.returncode == 0 else ""

    head = git("rev-parse", "--short", "HEAD") or "unknown"
    changed = git("status", "--porcelain", "--untracked-files=no")
    return head + (" with local changes" if changed else "")


def table(results):
    lines = ["| pages | tool | median wall (s) | MB/s | ratio to vorn-tovik | peak RSS (MiB) | runs (s) |",
             "|---:|---|---:|---:|---:|---:|---|"]
    for res in results:
        base = res["tools"].get("vorn-tovik", {}).get("median")
        floor = res["stats"]["floor_bytes"]
        for name in TOOLS:
            t = res["tools"].get(name)
            if not t:
                continue
            ratio = "%.2f" % (t["median"] / base) if base else "-"
            lines.append("| %d | %s | %s | %.1f | %s | %.1f | %s |" % (
                res["pages"], name, fmt_time(t["median"]), floor / 1e6 / t["median"], ratio,
                t["peak_rss_kib"] / 1024.0, " ".join(fmt_time(x) for x in t["times"])))
    return "\n".join(lines)


def make_table(results):
    lines = ["| pages | row | median wall (s) | per page (ms) | compared with | ratio | runs (s) |",
             "|---:|---|---:|---:|---|---:|---|"]
    for res in results:
        for name, ref in MAKE_ROWS:
            t = res["tools"].get(name)
            if not t:
                continue
            base = res["tools"].get(ref, {}).get("median") if ref else None
            lines.append("| %d | %s | %s | %.3f | %s | %s | %s |" % (
                res["pages"], name, fmt_time(t["median"]), t["median"] * 1000.0 / res["pages"],
                ref or "", "%.2f" % (t["median"] / base) if base else "",
                " ".join(fmt_time(x) for x in t["times"])))
    if len(lines) == 2:
        return ""
    for res in results:
        repeats = ["%s %dx" % (name, t["repeat"]) for name, t in res["tools"].items() if t.get("repeat", 1) > 1]
        if repeats:
            lines.append("")
            lines.append("%d pages: each run of these rows is the mean of back-to-back invocations: %s."
                         % (res["pages"], ", ".join(repeats)))
    return "\n".join(lines)


def size_notes(results):
    out = []
    for res in results:
        s = res["stats"]
        note = ("- %d pages: %d directories, %d include files, %d data files, %d pages exec a script; "
                "pages %.1f MB, read floor %.1f MB in %d file reads"
                % (s["pages"], s["directories"], s["include_files"], s["data_files"], s["exec_pages"],
                   s["page_bytes"] / 1e6, s["floor_bytes"] / 1e6, s["floor_files"]))
        if "makefile_bytes" in res:
            note += "; Makefile (normal mode) %.1f MB" % (res["makefile_bytes"] / 1e6)
        for name in ("vorn-tovik", "vorn-tovik --fast", "gcc -MM", "makedepend"):
            t = res["tools"].get(name)
            if t and t["stderr_lines"]:
                note += "; %s wrote %d lines on stderr" % (name, t["stderr_lines"])
        out.append(note)
    return "\n".join(out)


def goals(results):
    """The targets set for vorn-tovik, checked against this run where it measured what they need."""
    by_pages = {r["pages"]: r for r in results}
    big = by_pages.get(20000)
    small = by_pages.get(2000)
    rows = []

    def med(res, name):
        t = res["tools"].get(name) if res else None
        return t["median"] if t else None

    def rss(res, name):
        t = res["tools"].get(name) if res else None
        return t["peak_rss_kib"] * 1024 if t else None

    def row(goal, measured, ok):
        rows.append("| %s | %s | %s |" % (goal, measured, "met" if ok else "NOT MET"))

    vt = med(big, "vorn-tovik")
    if vt is not None:
        md = med(big, "makedepend")
        if md is not None:
            row("20,000 pages: normal mode no slower than makedepend", "%s s vs %s s" % (fmt_time(vt), fmt_time(md)),
                vt <= md)
        gcc = med(big, "gcc -MM")
        if gcc is not None:
            row("20,000 pages: 50x faster than gcc -MM", "%.1fx" % (gcc / vt), gcc >= 50 * vt)
        cat = med(big, "cat floor")
        if cat is not None:
            row("20,000 pages: no slower than the cat floor", "%s s vs %s s" % (fmt_time(vt), fmt_time(cat)),
                vt <= cat)
        fast = med(big, "vorn-tovik --fast")
        if fast is not None:
            row("20,000 pages: fast mode at most half of normal mode", "%.2f of normal" % (fast / vt),
                fast <= vt / 2)
        peak = rss(big, "vorn-tovik")
        row("20,000 pages: peak RSS at most 40 MiB", "%.1f MiB" % (peak / 1048576.0), peak <= 40 * 1048576)
        if small is not None and med(small, "vorn-tovik") is not None:
            growth = peak - rss(small, "vorn-tovik")
            text = big.get("makefile_bytes", 0)
            row("peak RSS grows from 2,000 to 20,000 pages by no more than the makefile text",
                "%+.1f MiB vs a %.1f MiB makefile" % (growth / 1048576.0, text / 1048576.0), growth <= text)
            ratio = vt / med(small, "vorn-tovik")
            row("time at 20,000 pages at most 11x the time at 2,000", "%.1fx" % ratio, ratio <= 11)
    for res in results:
        pages = res["pages"]
        for name, ref, limit, goal in (
                ("make", "make -r", 1.5, "no-op make within 1.5x of make -r"),
                ("make -j2, full build", "make -j2, cp floor", 1.3,
                 "full make -j2 build within 1.3x of the cp floor"),
                ("vorn per page", "cp per page", 1.2, "vorn per page within 1.2x of cp"),
                ("make, self-update and exact-deps", "make", 1.5,
                 "no-op make with self-update: and exact-deps: within 1.5x of make without them")):
            t, base = med(res, name), med(res, ref)
            if t is not None and base is not None:
                row("%s pages: %s" % (format(pages, ","), goal),
                    "%s s vs %s s (%.2fx)" % (fmt_time(t), fmt_time(base), t / base), t <= limit * base)
    if not rows:
        return ("Not checked: the goals need the 20,000-page size with vorn-tovik in normal mode, or the make "
                "rows.")
    return "\n".join(["| goal | measured | |", "|---|---|---|"] + rows)


def report(results, runs, started, load_before):
    load_after = os.getloadavg()
    return "\n".join([
        "# vorn-tovik benchmark, %s" % started.strftime("%Y-%m-%d %H:%M"),
        "",
        "- source: %s" % source_text(),
        "- machine: %s; load average %.2f before, %.2f after" % (machine_text(), load_before[0], load_after[0]),
        "- median of %d runs after one warm-up run per tool; tools run in turns; each run's input files read "
        "just before it (warm page cache)" % runs,
        "- MB/s: bytes of the read floor (10^6 bytes) divided by the median wall time; ratio: median wall time "
        "divided by that of vorn-tovik in normal mode",
        "",
        table(results),
        "",
        make_table(results),
        "",
        size_notes(results),
        "",
        "## Goals",
        "",
        goals(results),
        "",
    ])


def main(argv):
    parser = argparse.ArgumentParser(description="Measure vorn-tovik on generated sites.")
    parser.add_argument("--binary", required=True, help="the vorn-tovik binary to measure")
    parser.add_argument("--vorn", help="the vorn binary the make rows run (needed by them)")
    parser.add_argument("--build-max", type=int, default=2000,
                        help="the largest site whose pages the build and per-page rows make")
    parser.add_argument("--sizes", default="2000,20000", help="page counts, separated by commas or blanks")
    parser.add_argument("--runs", type=int, default=5, help="measured runs per tool (after one warm-up)")
    parser.add_argument("--seed", type=int, default=1, help="generator seed")
    parser.add_argument("--tools", default="normal,fast,cat,gcc,makedepend,make,builtin,build,perpage,updating",
                        help="tools to run: " + ",".join(list(TOOL_KEYS) + list(MAKE_KEYS)))
    parser.add_argument("--work", default=os.path.join(HERE, "work"), help="where the generated trees are kept")
    parser.add_argument("--results", default=os.path.join(HERE, "results"), help="where the table is written")
    args = parser.parse_args(argv)

    sizes = [int(s) for s in args.sizes.replace(",", " ").split()]
    if not sizes or min(sizes) < 1:
        parser.error("--sizes needs page counts of at least 1")
    if args.runs < 1:
        parser.error("--runs must be at least 1")
    wanted = set()
    for key in args.tools.replace(",", " ").split():
        if key in TOOL_KEYS:
            wanted.add(TOOL_KEYS[key])
        elif key in MAKE_KEYS:
            wanted.update(MAKE_KEYS[key])
        else:
            parser.error("unknown tool %s (known: %s)" % (key, ", ".join(list(TOOL_KEYS) + list(MAKE_KEYS))))
    if any(name in wanted for name, _ in MAKE_ROWS) and not args.vorn:
        parser.error("the make rows need --vorn")
    binary = os.path.abspath(args.binary)
    vorn = os.path.abspath(args.vorn) if args.vorn else None
    # The commands run in the trees' directories: every path handed to them must be absolute.
    args.work = os.path.abspath(args.work)
    os.makedirs(args.work, exist_ok=True)

    started = datetime.datetime.now()
    load_before = os.getloadavg()
    results = []
    try:
        for pages in sizes:
            tree = ensure_trees(args.work, pages, args.seed)
            log("measuring %d pages" % pages)
            results.append(measure_size(binary, vorn, tree, args.runs, wanted, args.build_max))
    except Failed as e:
        log("benchmark stopped: %s" % e)
        return 1

    text = report(results, args.runs, started, load_before)
    print(text)
    os.makedirs(args.results, exist_ok=True)
    path = os.path.join(args.results, "results-%s.md" % started.strftime("%Y-%m-%d-%H%M%S"))
    with open(path, "w") as f:
        f.write(text)
    log("written to %s" % os.path.relpath(path, ROOT))
    return 0


if __name__ == "__main__":
    sys.exit(main(sys.argv[1:]))
