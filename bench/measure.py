#!/usr/bin/env python3
"""Times vorn-tovik against the read floor, gcc -MM and makedepend on generated sites.

Called by bench/run_bench.sh once the Release binary is built; see bench/README.md.  For each size it
generates (or reuses) the trees under the work directory, runs every tool once to warm up, then runs them in
turns, `--runs` times each (reading each run's input files just before it, untimed), and reports the median wall time, the read floor's bytes per second, the ratio to
vorn-tovik in normal mode and the peak resident set size.  The table is printed and written to the results
directory.  Standard library only.
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


def run_once(argv, cwd, rss_path, stdin_path=None, stdout_path=os.devnull, stderr_path=os.devnull):
    """Runs argv and returns (wall seconds, peak RSS in KiB of the command and everything it waited for).
    `rss_path` is a scratch file for GNU time's report."""
    env = dict(os.environ, LC_ALL="C")
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
    def __init__(self, name, argv, cwd, stdin_path=None, stderr_path=os.devnull, inputs=None):
        self.name = name
        self.inputs = inputs  # the tree its input files lie in, read before every run
        self.rss_path = None  # set by make_tools
        self.argv = argv
        self.cwd = cwd
        self.stdin_path = stdin_path
        self.stderr_path = stderr_path
        self.times = []
        self.rss = []

    def run(self, keep=True):
        if self.inputs:
            warm(self.inputs)
        wall, rss = run_once(self.argv, self.cwd, self.rss_path, self.stdin_path, stderr_path=self.stderr_path)
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


def measure_size(binary, tree, runs, wanted):
    with open(os.path.join(tree, "stats.json")) as f:
        stats = json.load(f)
    tools = make_tools(binary, tree, wanted)
    makefile = os.path.join(tree, "site", "Makefile")
    result = {"pages": stats["pages"], "stats": stats, "tools": {}}

    for tool in tools:
        log("  warm-up: %s" % tool.name)
        tool.run(keep=False)
        if tool.name == "vorn-tovik":
            result["makefile_bytes"] = file_size(makefile)
    # Turns rather than blocks, so that a load that comes and goes on the machine hits every tool alike.
    for r in range(runs):
        for tool in tools:
            wall = tool.run()
            log("  run %d/%d: %-18s %8.3f s" % (r + 1, runs, tool.name, wall))

    for tool in tools:
        result["tools"][tool.name] = {
            "median": tool.median(),
            "times": tool.times,
            "peak_rss_kib": max(tool.rss),
            "stderr_lines": count_lines(tool.stderr_path) if tool.stderr_path != os.devnull else 0,
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
    if not rows:
        return "Not checked: the goals need the 20,000-page size with vorn-tovik in normal mode."
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
    parser.add_argument("--sizes", default="2000,20000", help="page counts, separated by commas or blanks")
    parser.add_argument("--runs", type=int, default=5, help="measured runs per tool (after one warm-up)")
    parser.add_argument("--seed", type=int, default=1, help="generator seed")
    parser.add_argument("--tools", default="normal,fast,cat,gcc,makedepend",
                        help="tools to run: " + ",".join(TOOL_KEYS))
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
        if key not in TOOL_KEYS:
            parser.error("unknown tool %s (known: %s)" % (key, ", ".join(TOOL_KEYS)))
        wanted.add(TOOL_KEYS[key])
    binary = os.path.abspath(args.binary)
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
            results.append(measure_size(binary, tree, args.runs, wanted))
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
