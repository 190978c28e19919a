#!/usr/bin/env python3
"""Whole-process times of unattended runs against what a user would run instead.

Every case runs its variants in rounds; each round runs every variant once, in an order
shuffled per round, timed with the monotonic clock. A case reports each variant's median
and the median over the rounds of the program's time divided by the variant's time in
the same round (paired, so that a slow moment of the machine hits both sides). The bare
Ghostscript variants use exactly the switches the program logged for its own run.

Usage: bench/bench_compare.py [build folder] [rounds] [case ...] [--readme README.md]
The "start" case also prints the program's start-up phases (VEXOMAT_START_TRACE), with a
Ghostscript that does nothing, in place of the console program and behind it.
Cases: pdf2jpg ps2pdf start merge encrypt tiff2pdf doc2pdf (all when none is named).
Prints a Markdown table, the machine's load before and after, and the ratios that have a
target; with --readme the table also replaces the one between the markers in that file.
"""
import os
import random
import shlex
import shutil
import statistics
import subprocess
import sys
import tempfile
import time

SRC = os.path.dirname(os.path.dirname(os.path.abspath(__file__)))
ARGS = list(sys.argv[1:])
README = None
if "--readme" in ARGS:
    at = ARGS.index("--readme")
    README = os.path.abspath(ARGS[at + 1])
    del ARGS[at:at + 2]
BUILD = os.path.abspath(ARGS[0] if len(ARGS) > 0 else os.path.join(SRC, "build"))
ROUNDS = int(ARGS[1]) if len(ARGS) > 1 else 5
CASES = ARGS[2:]
PROCESSORS = len(os.sched_getaffinity(0))
# What the issue set as the bound for each compared pair (the program's time over the variant's).
TARGETS = {}
WORK = tempfile.mkdtemp(prefix="vx-bench-compare-")
PROG = os.path.join(WORK, "prog")
ENV = dict(os.environ, QT_QPA_PLATFORM="offscreen")


def run(argv, **kw):
    subprocess.run(argv, stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL, env=ENV, **kw)


def timed(argv_or_fn):
    t0 = time.monotonic()
    if callable(argv_or_fn):
        argv_or_fn()
    else:
        run(argv_or_fn)
    return time.monotonic() - t0


def program_folder(path, gs_dir):
    """The program in a folder of its own, as unattended runs use it."""
    os.makedirs(path)
    bin_dir = os.path.join(BUILD, "bin")
    os.symlink(os.path.join(bin_dir, "vexomat"), os.path.join(path, "vexomat"))
    os.symlink(gs_dir, os.path.join(path, "gs"))
    os.symlink(os.path.join(bin_dir, "additional"), os.path.join(path, "additional"))


def fresh(folder):
    shutil.rmtree(folder, ignore_errors=True)
    os.makedirs(folder)
    return folder


def vexomat_in(folder, function, source, dest, *options):
    return [os.path.join(folder, "vexomat"), "-c", function, "-s", source, "-d", dest + "/", *options]


def vexomat(function, source, dest, *options):
    return vexomat_in(PROG, function, source, dest, *options)


def logged_switches():
    """The switches of the program's last Ghostscript run, from its day log."""
    last = None
    logs = os.path.join(PROG, "logs")
    for day in sorted(os.listdir(logs)):
        info = os.path.join(logs, day, "info.log")
        if not os.path.exists(info):
            continue
        with open(info, encoding="utf-8", errors="replace") as f:
            for line in f:
                if " | Parameter    | " in line:
                    last = line.split(" | Parameter    | ", 1)[1].rstrip("\n")
    if last is None:
        sys.exit("the program logged no Ghostscript run")
    return shlex.split(last)


def with_output(switches, output):
    """The switches as the console program hands them to the installed Ghostscript (the
    8.51 leftovers adapted), the output redirected."""
    out = []
    skip = False
    for s in switches:
        if skip:
            skip = False
            continue
        if s == "-c" and switches[switches.index(s) + 1] == ".setpdfwrite":
            skip = True
            continue
        if s == "-dUseCIEColor":
            continue
        s = {"-sDEVICE=pswrite": "-sDEVICE=ps2write", "-sDEVICE=epswrite": "-sDEVICE=eps2write"}.get(s, s)
        out.append("-sOutputFile=" + output if s.startswith("-sOutputFile=") else s)
    return out


def inputs_replaced(switches, files):
    """The switches with the input after -f replaced by `files`."""
    at = switches.index("-f")
    return switches[:at] + ["-f", *files]


# A Ghostscript that does nothing but leave a result file where the switches say: given a
# response file (as the program hands one to its console program) or as Ghostscript's own
# switches (as the console program runs it).
IDLE_GS = r"""
#include <stdio.h>
#include <string.h>
int main(int argc, char** argv) {
    char text[65536] = "";
    char* at = NULL;
    for (int i = 1; i < argc; ++i) {
        if (strncmp(argv[i], "-sOutputFile=", 13) == 0) at = argv[i] + 13;
        if (argv[i][0] != '@') continue;
        FILE* f = fopen(argv[i] + 1, "rb");
        if (!f) return 1;
        text[fread(text, 1, sizeof text - 1, f)] = 0;
        fclose(f);
        at = strstr(text, "-sOutputFile=\"");
        if (!at) return 1;
        at += 14;
        char* end = strchr(at, '"');
        if (!end) return 1;
        *end = 0;
    }
    if (!at) return 1;
    FILE* out = fopen(at, "wb");
    if (!out) return 1;
    fputs("%PDF-1.4\n%%EOF\n", out);
    fclose(out);
    return 0;
}
"""


def measure(name, target, variants, bound=None):
    """variants: list of (label, callable or argv); the first one is the program. `bound`:
    the ratio the program should keep against `target`."""
    if bound is not None:
        TARGETS[(name, target)] = bound
    times = {label: [] for label, _ in variants}
    for _ in range(ROUNDS):
        order = list(variants)
        random.shuffle(order)
        for label, work in order:
            times[label].append(timed(work))
    ours = times[variants[0][0]]
    rows = []
    for label, _ in variants:
        ratios = [a / b for a, b in zip(ours, times[label])]
        rows.append((name, label, statistics.median(times[label]), statistics.median(ratios)))
    RESULTS.append((target, rows))


def make_text_pdf(pages, path):
    ps = path + ".ps"
    lines = ["%!PS-Adobe-3.0", "/F { /Times-Roman findfont 11 scalefont setfont } def"]
    for page in range(1, pages + 1):
        lines.append("F")
        for row in range(60):
            lines.append(f"72 {780 - row * 12} moveto (Page {page}, line {row + 1}: the quick brown fox "
                         "jumps over the lazy dog 0123456789.) show")
        lines.append("0.2 0.4 0.8 setrgbcolor 400 40 120 60 rectfill 0 setgray showpage")
    with open(ps, "w") as f:
        f.write("\n".join(lines) + "\n")
    if path.endswith(".pdf"):
        run(["gs", "-q", "-dNOPAUSE", "-dBATCH", "-dSAFER", "-sDEVICE=pdfwrite", "-sOutputFile=" + path, ps])
    return ps


def case_pdf2jpg():
    pdf = os.path.join(WORK, "doc100.pdf")
    make_text_pdf(100, pdf)
    out = fresh(os.path.join(WORK, "jpg"))
    run(vexomat("pdf2jpg", pdf, out))
    switches = logged_switches()
    bare = os.path.join(WORK, "jpg-bare")

    def gs_one():
        fresh(bare)
        run(["gs", *with_output(switches, bare + "/p_p%04d.jpg")])

    def gs_ranges():
        # One bare Ghostscript per processor over page ranges of nearly equal length.
        fresh(bare)
        procs = []
        for i in range(PROCESSORS):
            first, last = i * 100 // PROCESSORS + 1, (i + 1) * 100 // PROCESSORS
            argv = ["gs", f"-dFirstPage={first}", f"-dLastPage={last}",
                    *with_output(switches, f"{bare}/r{first}_%04d.jpg")]
            procs.append(subprocess.Popen(argv, stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL))
        for p in procs:
            p.wait()

    def pdftoppm():
        fresh(bare)
        run(["pdftoppm", "-jpeg", "-r", "300", pdf, bare + "/p"])

    def mutool():
        fresh(bare)
        run(["mutool", "draw", "-q", "-r", "300", "-o", bare + "/p%d.jpg", pdf])

    ranges = f"{PROCESSORS} gs processes over page ranges"
    measure("PDF to JPEG, 100 pages, 300 dpi", ranges,
            [("vexomat pdf2jpg", lambda: run(vexomat("pdf2jpg", pdf, fresh(out)))),
             ("gs, one process", gs_one), (ranges, gs_ranges),
             ("pdftoppm -jpeg", pdftoppm), ("mutool draw", mutool)], bound=1.15)


def case_ps2pdf():
    ps = make_text_pdf(1, os.path.join(WORK, "one.ps"))
    out = fresh(os.path.join(WORK, "ps2pdf"))
    run(vexomat("ps2pdf", ps, out))
    switches = logged_switches()
    measure("ps2pdf, 1 page", "gs, same switches",
            [("vexomat ps2pdf", vexomat("ps2pdf", ps, out)),
             ("gs, same switches", ["gs", *with_output(switches, WORK + "/bare-one.pdf")]),
             ("ps2pdf script", ["ps2pdf", ps, WORK + "/script-one.pdf"])], bound=1.15)


def traced_phases(argv, env):
    """One run with the program's start-up trace: each phase's time since the run was started
    and the processor time its process had used by then (ms). Phases of the processes the
    program starts (the console program) are marked with "console:"; a phase that comes more
    than once in a process is numbered from the second on."""
    trace = os.path.join(WORK, "start-trace.txt")
    if os.path.exists(trace):
        os.remove(trace)
    t0 = time.monotonic_ns()
    subprocess.run(argv, stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL,
                   env=dict(env, VEXOMAT_START_TRACE=trace))
    t1 = time.monotonic_ns()
    phases, seen, program = {}, {}, None
    with open(trace) as f:
        for line in f:
            name, wall, cpu, pid = line.split()
            program = program or pid
            if pid != program:
                name = "console: " + name
            seen[name] = seen.get(name, 0) + 1
            if seen[name] > 1:
                name += f" {seen[name]}"
            phases[name] = ((int(wall) - t0) / 1e6, int(cpu) / 1e6)
    phases["ended (seen by the bench)"] = ((t1 - t0) / 1e6, None)
    return phases


def phase_table(title, runs):
    """Medians over the runs of each phase, in the order of their medians."""
    names = {name for r in runs for name in r}
    rows = []
    for name in names:
        walls = [r[name][0] for r in runs if name in r]
        cpus = [r[name][1] for r in runs if name in r and r[name][1] is not None]
        rows.append((statistics.median(walls), name, statistics.median(cpus) if cpus else None))
    rows.sort()
    lines = [f"{title}: start-up phases, medians of {len(runs)} runs (ms since the bench started "
             "the program; the processor time its process had used by then; 'main' includes the "
             "bench's own process start, about 1 ms)", "", "| phase | ms since start | step ms | processor ms |",
             "|---|---:|---:|---:|"]
    previous = 0.0
    for wall, name, cpu in rows:
        cpu_text = "" if cpu is None else f"{cpu:.1f}"
        lines.append(f"| {name} | {wall:.1f} | {wall - previous:.1f} | {cpu_text} |")
        previous = wall
    PHASES.append("\n".join(lines) + "\n")


def case_start():
    """The program's own start and end: a Ghostscript that does nothing at all, in place of the
    console program, and once more behind our console program (its own start)."""
    global PROG
    idle = os.path.join(WORK, "idle-gs")
    os.makedirs(idle)
    with open(os.path.join(WORK, "idle.c"), "w") as f:
        f.write(IDLE_GS)
    run(["cc", "-O2", "-o", os.path.join(idle, "gswin32c.exe"), os.path.join(WORK, "idle.c")])
    real = PROG
    PROG = os.path.join(WORK, "prog-idle")
    program_folder(PROG, idle)
    ps = make_text_pdf(1, os.path.join(WORK, "idle.ps"))
    out = fresh(os.path.join(WORK, "idle"))
    argv = vexomat("ps2pdf", ps, out)
    # Our console program in front of a "gs" that does nothing.
    idle_path = os.path.join(WORK, "idle-path")
    os.makedirs(idle_path)
    os.symlink(os.path.join(idle, "gswin32c.exe"), os.path.join(idle_path, "gs"))
    console_env = dict(ENV, VEXOMAT_GS=os.path.join(idle_path, "gs"))

    def console():
        subprocess.run(vexomat_in(real, "ps2pdf", ps, out), stdout=subprocess.DEVNULL,
                       stderr=subprocess.DEVNULL, env=console_env)

    measure("start with a do-nothing Ghostscript", None,
            [("vexomat ps2pdf", argv), ("vexomat ps2pdf, console program in front", console)])
    phase_table("do-nothing Ghostscript", [traced_phases(argv, ENV) for _ in range(ROUNDS)])
    phase_table("console program in front of a do-nothing gs",
                [traced_phases(vexomat_in(real, "ps2pdf", ps, out), console_env) for _ in range(ROUNDS)])
    # The program's own peak memory: its Ghostscript here is a few kilobytes.
    child = subprocess.Popen(argv, stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL, env=ENV)
    PEAK.append(os.wait4(child.pid, 0)[2].ru_maxrss / 1024)
    PROG = real


def case_merge():
    a = os.path.join(WORK, "a.pdf")
    b = os.path.join(WORK, "b.pdf")
    make_text_pdf(20, a)
    make_text_pdf(20, b)
    out = fresh(os.path.join(WORK, "merge"))
    merge = vexomat("pdfMergeAll", a + "#" + b, out, "-om", "s")
    run(merge)
    switches = inputs_replaced(logged_switches(), [a, b])
    measure("merge two PDFs of 20 pages", "qpdf",
            [("vexomat pdfMergeAll", merge),
             ("gs, same switches", ["gs", *with_output(switches, WORK + "/bare-merge.pdf")]),
             ("qpdf --pages", ["qpdf", "--empty", "--pages", a, b, "--", WORK + "/qpdf-merge.pdf"]),
             ("pdfunite", ["pdfunite", a, b, WORK + "/unite-merge.pdf"])])


def case_encrypt():
    a = os.path.join(WORK, "secret.pdf")
    make_text_pdf(20, a)
    out = fresh(os.path.join(WORK, "encrypt"))
    opts = ("-oyt", "s", "-oyp", "=geheim")
    run(vexomat("pdfEncrypt", a, out, *opts))
    switches = logged_switches()
    measure("encrypt a PDF of 20 pages", "qpdf",
            [("vexomat pdfEncrypt", vexomat("pdfEncrypt", a, out, *opts)),
             ("gs, same switches", ["gs", *with_output(switches, WORK + "/bare-enc.pdf")]),
             ("qpdf --encrypt", ["qpdf", "--encrypt", "geheim", "owner", "128", "--", a, WORK + "/qpdf-enc.pdf"])])


def case_tiff2pdf():
    ps = os.path.join(WORK, "pages.ps")
    with open(ps, "w") as f:
        f.write("%!PS\n" + "".join(
            f"<< /PageSize [595 842] >> setpagedevice {c} setrgbcolor 50 50 495 742 rectfill showpage\n"
            for c in ("1 0 0", "0 1 0", "0 0 1")))
    tif = os.path.join(WORK, "three.tif")
    run(["gs", "-q", "-dNOPAUSE", "-dBATCH", "-dSAFER", "-sDEVICE=tiff24nc", "-r100", "-sCompression=lzw",
         "-sOutputFile=" + tif, ps])
    out = fresh(os.path.join(WORK, "tiff"))
    measure("TIFF to PDF, 3 pages", None,
            [("vexomat tiff2pdf", vexomat("tiff2pdf", tif, out)),
             ("tiff2pdf", ["tiff2pdf", "-o", WORK + "/t2p.pdf", tif])])


def case_doc2pdf():
    run(["soffice", "--headless", "-env:UserInstallation=file://" + WORK + "/maker", "--convert-to", "doc",
         "--outdir", WORK, os.path.join(SRC, "tests/data/three_pages.fodt")])
    doc = os.path.join(WORK, "three_pages.doc")
    out = fresh(os.path.join(WORK, "doc"))
    # The direct export runs with a profile of its own that it has used before, as a user's
    # office has one (the program's sessions start with a new profile every time); for
    # comparison also with a new profile every round, which makes the office restart itself.
    profile = "file://" + os.path.join(WORK, "soffice-profile")
    bare = os.path.join(WORK, "doc-bare")

    def soffice():
        fresh(bare)
        run(["soffice", "--headless", "-env:UserInstallation=" + profile, "--convert-to", "pdf", "--outdir", bare, doc])

    def soffice_new_profile():
        fresh(bare)
        run(["soffice", "--headless", "-env:UserInstallation=file://" + bare + "/profile", "--convert-to", "pdf",
             "--outdir", bare, doc])

    soffice()
    measure("doc2pdf, 3 pages", "soffice --convert-to pdf",
            [("vexomat doc2pdf", vexomat("doc2pdf", doc, out)), ("soffice --convert-to pdf", soffice),
             ("soffice --convert-to pdf, new profile", soffice_new_profile)], bound=1.4)


RESULTS = []
PEAK = []  # MiB
PHASES = []  # Markdown tables of the start-up phases
README_BEGIN = "<!-- bench_compare table -->"
README_END = "<!-- /bench_compare table -->"


def load_text(load):
    return f"{load[0]:.2f} / {load[1]:.2f} / {load[2]:.2f}"


def table(load_before, load_after):
    lines = [f"{ROUNDS} paired rounds, medians; ratio = vexomat / variant in the same round. "
             f"{PROCESSORS} processors; load average (1 / 5 / 15 minutes) {load_text(load_before)} "
             f"before, {load_text(load_after)} after.", "",
             "| job | run by | median s | ratio |", "|---|---|---:|---:|"]
    for target, rows in RESULTS:
        for name, label, median, ratio in rows:
            bound = TARGETS.get((name, label))
            mark = f" (target ≤ {bound:.2f})" if bound is not None else (" (target)" if label == target else "")
            shown = "" if label.startswith("vexomat") else f"{ratio:.2f}{mark}"
            lines.append(f"| {name} | {label} | {median:.3f} | {shown} |")
    for peak in PEAK:
        lines += ["", f"Peak memory of a batch run (the do-nothing Ghostscript case): {peak:.0f} MiB."]
    for phases in PHASES:
        lines += ["", phases.rstrip("\n")]
    return "\n".join(lines) + "\n"


def targets():
    lines = []
    for target, rows in RESULTS:
        for name, label, median, ratio in rows:
            bound = TARGETS.get((name, label))
            if bound is not None:
                verdict = "holds" if ratio <= bound else "missed"
                lines.append(f"{name} against {label}: {ratio:.2f} (target ≤ {bound:.2f}, {verdict})")
    for peak in PEAK:
        lines.append(f"peak memory of a batch run: {peak:.0f} MiB (target ≤ 64, {'holds' if peak <= 64 else 'missed'})")
    return "\n".join(lines) + ("\n" if lines else "")


def write_readme(text):
    with open(README, encoding="utf-8") as f:
        old = f.read()
    begin, end = old.find(README_BEGIN), old.find(README_END)
    if begin < 0 or end < begin:
        sys.exit(f"{README} has no {README_BEGIN} ... {README_END} markers")
    new = old[:begin] + README_BEGIN + "\n" + text + old[end:]
    with open(README, "w", encoding="utf-8") as f:
        f.write(new)


def main():
    program_folder(PROG, os.path.join(BUILD, "bin", "gs"))
    cases = {"pdf2jpg": case_pdf2jpg, "ps2pdf": case_ps2pdf, "start": case_start, "merge": case_merge,
             "encrypt": case_encrypt, "tiff2pdf": case_tiff2pdf, "doc2pdf": case_doc2pdf}
    load_before = os.getloadavg()
    try:
        for name in CASES or list(cases):
            cases[name]()
    finally:
        shutil.rmtree(WORK, ignore_errors=True)
    text = table(load_before, os.getloadavg())
    print(text)
    print(targets(), end="")
    if README:
        write_readme(text)


main()
