#!/usr/bin/env python3
"""Start-up benchmark of the sensor: what one scan costs the monitoring host.

    python3 tools/bench/bench.py [--quick] BUILD_DIR

BUILD_DIR holds the optimised build (make bench builds it): the sensor, the
profile tool and the two helpers of tools/bench (bench-floor, bench-runner).
Every program is started by bench-runner the same way, many times; each
figure is the median of those runs. The fixtures are written to
BUILD_DIR/bench. At the end the script prints the table of "What a scan
costs" in docs/developer-guide.md.

Figures:
  1. a single-system scan of the example landscape (PRD, no latency) against
     the floor, a static no-op program built by the same compiler;
  2. multi-system runs over 1, 10, 50 and the most systems a listing holds,
     every system answering with LATENCY_MS, and the cost per system beyond
     that latency;
  3. the peak resident memory of the scan (and of the largest run);
  4. the start-up of perl and python3, for scale;
  5. what the locks of parallel scans cost: the scan, and a scan through a
     destination file (SapRfc.PRD), each against the same scan in a folder
     where the lock file cannot be opened (a folder stands in its place), so
     that it runs without locks.
  6. the peak resident memory of a failing scan that reads its note from a
     trace of 1 MB and from one of 100 MB, side by side: the trace is read
     as a stream, so the two should be alike;
  7. ,PARALLEL=: 20 systems answering with 100 ms latency, one after another
     and 8 at once, side by side; the same listing with one system whose
     logon hangs, with ,TIMEOUT=30; and the peak resident memory of all the
     processes of the parallel run together, sampled from /proc.
  8. ,TREND: the scan of PRD with ",TREND" and a full six-hour file of its
     database (TREND_SAMPLES samples, one a minute, seeded anew before each
     round) against the same scan without the keyword in the same folder,
     whose landscape has PRD's log area above half used, so that the scan
     estimates.

With --baseline SENSOR the single scan and the multi-system runs without
the keyword also run with SENSOR, the sensor of another build, side by side
in the same rounds: the table gives the two scans' time, CPU time and peak
resident memory, the size of both programs' code, and the ratio of the
multi-system runs' costs per system. make bench builds that sensor from the
revision BASELINE (tools/bench/build_baseline.sh).
"""

import argparse
import os
import platform
import re
import shutil
import statistics
import subprocess
import sys
import time
from pathlib import Path

REPO = Path(__file__).resolve().parents[2]
EXAMPLES = REPO / "examples"

# Each system of a multi-system run waits the latency three times in the
# simulated library: at the logon and at the answer (RfcReceive) of each of
# the two remote calls (RFC_SYSTEM_INFO, ADA_LOG_STATISTICS).
LATENCY_MS = 1
LATENCY_UNITS_PER_SYSTEM = 3

# Profile file names of the generated systems: one character each, the
# shortest entry a server list can hold ("A#").
NAME_CHARACTERS = "0123456789ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz"
PASSWORD = "bench4me"
SENSOR = "BENCH"

TARGET_RATIO = 1.5
TARGET_RSS_KIB = 2048
FLAT_LIMIT = 1.5

# 7: the parallel run. The logon of the hanging system waits an hour.
PARALLEL_SYSTEMS = 20
PARALLEL_LATENCY_MS = 100
PARALLEL_SCANS = 8
PARALLEL_TIMEOUT = 30
PARALLEL_TARGET = 5
HANG_LATENCY_MS = 3600000
# Each process of the run at most this much, and the run itself once more.
PARALLEL_RSS_PER_PROCESS_KIB = 1536

# 8: six hours of samples, one a minute, of PRD's log area of 1,250,000 pages
# climbing by 100 pages a minute to TREND_USED: an estimate, not the cap.
TREND_SAMPLES = 360
TREND_USED = 700000
TREND_TARGET = 1.1


def most_systems():
    """The most systems a server list can hold, from the listing reader's own
    limit: its length cap, divided by the shortest entry (one character and
    the "#")."""
    header = (REPO / "src/run/listing_reader.h").read_text()
    limit = int(re.search(r"kMaxServerList = (\d+);", header).group(1))
    return limit // 2


def lock_file_name():
    """The sensor's lock file, as src/rfc/scan_locks.h names it."""
    header = (REPO / "src/rfc/scan_locks.h").read_text()
    return re.search(r'kScanLockFile = "([^"]+)"', header).group(1)


def measure(runner, runs, folder, command, env, expect_exit=0):
    """Runs the command RUNS times; returns the per-run samples."""
    out = subprocess.run([str(runner), str(runs), str(folder)] + command, env=env,
                         check=True, capture_output=True, text=True).stdout
    samples = [tuple(int(v) for v in line.split()) for line in out.splitlines()]
    for sample in samples:
        if sample[3] != expect_exit:
            sys.exit(f"bench: {' '.join(command)} exited with {sample[3]}")
    return samples


class Figure:
    """Median wall time, CPU time and peak memory of interleaved rounds."""

    def __init__(self):
        self.samples = []

    def add(self, samples):
        self.samples.extend(samples)

    def wall_us(self):
        return statistics.median(s[0] for s in self.samples)

    def rss_kib(self):
        return statistics.median(s[1] for s in self.samples)

    def max_rss_kib(self):
        return max(s[1] for s in self.samples)

    def cpu_us(self):
        return statistics.median(s[2] for s in self.samples)

    def min_wall_us(self):
        return min(s[0] for s in self.samples)


def check_output(command, folder, env, must_contain):
    """One run with its output kept: the benchmark measures a working scan."""
    done = subprocess.run(command, cwd=folder, env=env, capture_output=True, text=True)
    if done.returncode != 0 or must_contain not in done.stdout:
        sys.exit(f"bench: {' '.join(command)} in {folder} did not answer as expected "
                 f"(exit {done.returncode}):\n{done.stdout}")


def scrambled_password(profile_tool):
    done = subprocess.run([str(profile_tool), "scramble"], input=PASSWORD + "\n",
                          capture_output=True, text=True, check=True)
    return done.stdout.rstrip("\n")


def write_multi_fixture(folder, systems, stored_password, latency_ms=LATENCY_MS, hanging=None):
    """A landscape, one profile per distinct system and a global listing with
    SYSTEMS entries. A listing longer than the names at hand repeats them.
    Each system answers with latency_ms; the one named hanging takes an hour
    to log on."""
    if folder.exists():
        shutil.rmtree(folder)
    (folder / "drive").mkdir(parents=True)
    names = NAME_CHARACTERS[:min(systems, len(NAME_CHARACTERS))]
    landscape = []
    for name in names:
        host = f"bench{name}"
        landscape += [f"[system S{name}]", f"host = {host}", "sysnr = 00", "client = 100",
                      "user = MONITOR", f"password = {PASSWORD}",
                      f"latency_ms = {HANG_LATENCY_MS if name == hanging else latency_ms}",
                      "statlog = LOG PAGES|1250000", "statlog = USED     LOG PAGES|462500",
                      "statlog = SAVEPOINTS|1523", ""]
        profile = [("Extcompany.", "Bench Corp"), ("Destination", f"BN{name}"),
                   ("Client.....", "100"), ("User.......", "monitor"),
                   ("Password...", stored_password), ("Language...", "E"),
                   ("Mode.......", "R/3"), ("Hostname...", host), ("Sysnr......", "00"),
                   ("Gwhost.....", host), ("Gwservice..", "sapgw00")]
        (folder / name).write_text("".join(f"{label}: {value}\n" for label, value in profile))
    (folder / "Landscape.ini").write_text("\n".join(landscape))

    entries = "".join(names[i % len(names)] + "#" for i in range(systems))
    tag = f"# GSNG: {SENSOR:<10}  "
    lines = [tag + entries[i:i + 160] for i in range(0, len(entries), 160)]
    lines.append(f"# GSNX: {SENSOR:<10} Pages,Sensor=\"SAP Vendralith\",Profile,Item=LogPages")
    (folder / "SAP Kelvaron.Gbl").write_text("\n".join(lines) + "\n")


def write_empty_listing(folder):
    """A listing whose only entry is empty: the run's fixed cost, no logon."""
    if folder.exists():
        shutil.rmtree(folder)
    (folder / "drive").mkdir(parents=True)
    (folder / "SAP Kelvaron.Gbl").write_text(
        f"# GSNG: {SENSOR:<10}  #\n"
        f"# GSNX: {SENSOR:<10} Pages,Sensor=\"SAP Vendralith\",Profile,Item=LogPages\n")


def environment(folder):
    env = dict(os.environ)
    env["VENDRALITH_DRIVE_ROOT"] = str(folder / "drive")
    env.pop("SIMRFC_LANDSCAPE", None)
    return env


def interpreter(name):
    """The system's interpreter: a version manager's shim on PATH would add
    its own start-up to the figure."""
    system = Path("/usr/bin") / name
    return str(system) if system.exists() else shutil.which(name)


def machine():
    model = platform.processor() or platform.machine()
    try:
        for line in Path("/proc/cpuinfo").read_text().splitlines():
            if line.startswith("model name"):
                model = line.split(":", 1)[1].strip()
                break
    except OSError:
        pass
    return f"{model}, {os.cpu_count()} cores, Linux {platform.release()}"


def write_trace_fixture(source, folder, megabytes):
    """A scan whose statistics call fails, beside a trace of the size given
    that ends with the block of its own failure (the simulated system writes
    none)."""
    if folder.exists():
        shutil.rmtree(folder)
    shutil.copytree(source, folder)
    landscape = (folder / "Landscape.ini").read_text()
    landscape = landscape.replace("[system PRD]\n", "[system PRD]\ntrace = off\n"
                                  "fail = receive ADA_LOG_STATISTICS 1\n", 1)
    (folder / "Landscape.ini").write_text(landscape)
    block = ("**** ERROR file opened at 20261210 041503 UTC, SAP-REL 700,0,0 RFC-VER 3 simrfc\n"
             "T:4711 ======> partner 'sapold:sapgw00' not reached\n"
             "LOCATION    CPIC (TCP/IP) on local host\n"
             "ERROR       partner 'sapold:sapgw00' not reached\n\n"
             "TIME        Thu Dec 10 04:15:03 2026\n\n").encode()
    chunk = block * (1024 * 1024 // len(block))  # whole blocks, about a megabyte
    with open(folder / "Dev_Rfc.Trc", "wb") as trace:
        for _ in range(megabytes):
            trace.write(chunk)
        trace.write(b"T:4711 ======> the last block\n")


def write_trend_fixture(single, folder):
    """A copy of the single scan's folder whose PRD is above half used."""
    if folder.exists():
        shutil.rmtree(folder)
    shutil.copytree(single, folder)
    landscape = folder / "Landscape.ini"
    text = landscape.read_text()
    if "USED     LOG PAGES|462500" not in text:
        sys.exit("bench: the example landscape's PRD has changed: adjust write_trend_fixture")
    landscape.write_text(text.replace("USED     LOG PAGES|462500",
                                      f"USED     LOG PAGES|{TREND_USED}"))


def seed_trend_file(folder):
    """PRD's trend file with six hours of samples up to now."""
    trend = folder / "Vendralith.Trend"
    trend.mkdir(exist_ok=True)
    now = int(time.time())
    lines = ["Vendralith trend 1"]
    for minutes in range(TREND_SAMPLES, 0, -1):
        lines.append(f"{now - minutes * 60} 1250000 {TREND_USED - minutes * 100} 1523")
    # The example landscape's PRD names its database host sapprddb.
    (trend / "PRD_sapprddb.txt").write_text("\n".join(lines) + "\n")


def run_tree_rss_kib(pid):
    """The resident memory of the process and all its descendants, in KiB."""
    parents = {}
    rss = {}
    for entry in Path("/proc").iterdir():
        if not entry.name.isdigit():
            continue
        try:
            status = (entry / "status").read_text()
        except OSError:
            continue  # ended meanwhile
        fields = dict(line.split(":", 1) for line in status.splitlines() if ":" in line)
        parents[int(entry.name)] = int(fields.get("PPid", "0").strip())
        rss[int(entry.name)] = int(fields.get("VmRSS", "0 kB").split()[0])
    tree = {pid}
    grown = True
    while grown:
        grown = False
        for child, parent in parents.items():
            if parent in tree and child not in tree:
                tree.add(child)
                grown = True
    return sum(rss.get(member, 0) for member in tree)


def peak_tree_rss_kib(command, folder, env):
    """The highest sum of the resident memory of the run and its scan
    processes, sampled while it runs."""
    run = subprocess.Popen(command, cwd=folder, env=env, stdout=subprocess.DEVNULL)
    peak = 0
    while run.poll() is None:
        peak = max(peak, run_tree_rss_kib(run.pid))
        time.sleep(0.002)
    return peak


def code_size(program):
    """The size of the program's code and read-only data, as size(1) counts
    it; None where size is not at hand."""
    try:
        done = subprocess.run(["size", str(program)], capture_output=True, text=True)
    except OSError:
        return None
    lines = done.stdout.splitlines()
    return int(lines[1].split()[0]) if done.returncode == 0 and len(lines) > 1 else None


def load():
    try:
        return Path("/proc/loadavg").read_text().split()[0]
    except OSError:
        return "?"


def main():
    parser = argparse.ArgumentParser(description=__doc__.splitlines()[0])
    parser.add_argument("build_dir", type=Path)
    parser.add_argument("--quick", action="store_true", help="a tenth of the runs, for a try")
    parser.add_argument("--baseline", type=Path,
                        help="the sensor of another build, to run the scans beside")
    parser.add_argument("--baseline-name",
                        help="what the table calls that build (default: its path)")
    args = parser.parse_args()
    build = args.build_dir.resolve()
    scale = 0.1 if args.quick else 1.0

    def runs(count):
        return max(1, round(count * scale))

    sensor = build / "vendralith"
    profile_tool = build / "vendralith-profile"
    floor = build / "tools/bench/bench-floor"
    runner = build / "tools/bench/bench-runner"
    for program in (sensor, profile_tool, floor, runner):
        if not program.exists():
            sys.exit(f"bench: {program} is missing: build with make bench")
    work = build / "bench"
    work.mkdir(exist_ok=True)
    load_before = load()

    # 1, 3, 4: the single scan, the floor and the other runtimes, in
    # interleaved rounds so that a change of load hits all of them alike.
    single = work / "single"
    if single.exists():
        shutil.rmtree(single)
    (single / "drive").mkdir(parents=True)
    for source in list(EXAMPLES.glob("*.P00")) + [EXAMPLES / "Landscape.ini"]:
        shutil.copy(source, single)
    single_env = environment(single)
    scan_command = [str(sensor), "PRD"]
    check_output(scan_command, single, single_env, "<Text>(PRD) LogStates:")
    baseline = args.baseline.resolve() if args.baseline else None
    baseline_scan_command = [str(baseline), "PRD"] if baseline else None
    baseline_name = f"`{args.baseline_name or baseline}`"
    if baseline:
        check_output(baseline_scan_command, single, single_env, "<Text>(PRD) LogStates:")

    # 5: the same scans with and without their locks.
    lock_file = lock_file_name()
    destination = work / "destination"
    if destination.exists():
        shutil.rmtree(destination)
    shutil.copytree(single, destination)
    (destination / "SapRfc.PRD").write_text("DEST=PRD\nTYPE=A\nASHOST=sapprd\nSYSNR=00\n")
    lock_pairs = {}
    for name, folder in (("scan", single), ("destination", destination)):
        unlocked = work / f"{folder.name}-unlocked"
        if unlocked.exists():
            shutil.rmtree(unlocked)
        shutil.copytree(folder, unlocked)
        (unlocked / lock_file).unlink(missing_ok=True)
        (unlocked / lock_file).mkdir()
        for place in (folder, unlocked):
            check_output(scan_command, place, environment(place), "<Text>(PRD) LogStates:")
        if not (folder / lock_file).is_file():
            sys.exit(f"bench: the scan in {folder} left no lock file {lock_file}")
        lock_pairs[name] = (folder, unlocked, Figure(), Figure())

    # 6: failing scans beside a small and a large trace.
    trace_pairs = {}
    for megabytes in (1, 100):
        folder = work / f"trace-{megabytes}mb"
        write_trace_fixture(single, folder, megabytes)
        failing = subprocess.run(scan_command, cwd=folder, env=environment(folder),
                                 capture_output=True, text=True)
        if failing.returncode != 2 or "- the last block" not in failing.stdout:
            sys.exit(f"bench: the failing scan in {folder} did not give the trace's last note:\n"
                     f"{failing.stdout}")
        trace_pairs[megabytes] = (folder, Figure())

    # 8: the scan with ,TREND and a full file against the same scan without.
    trend_folder = work / "trend"
    write_trend_fixture(single, trend_folder)
    trend_env = environment(trend_folder)
    trend_command = [str(sensor), "PRD", ",TREND"]
    seed_trend_file(trend_folder)
    check_output(trend_command, trend_folder, trend_env, "<Channel>LogFullIn</Channel>")
    trend_figure, untrended_figure = Figure(), Figure()

    others = {name: interpreter(name) for name in ("perl", "python3")}
    others = {name: path for name, path in others.items() if path}
    other_args = {"perl": ["-e", "1"], "python3": ["-c", "pass"]}
    floor_figure, scan_figure, baseline_scan_figure = Figure(), Figure(), Figure()
    other_figures = {name: Figure() for name in others}
    for _ in range(10):
        floor_figure.add(measure(runner, runs(200), single, [str(floor)], single_env))
        scan_figure.add(measure(runner, runs(200), single, scan_command, single_env))
        if baseline:
            baseline_scan_figure.add(measure(runner, runs(200), single, baseline_scan_command,
                                             single_env))
        for name, path in others.items():
            other_figures[name].add(
                measure(runner, runs(20), single, [path] + other_args[name], single_env))
        for folder, unlocked, locked_figure, unlocked_figure in lock_pairs.values():
            locked_figure.add(measure(runner, runs(200), folder, scan_command,
                                      environment(folder)))
            unlocked_figure.add(measure(runner, runs(200), unlocked, scan_command,
                                        environment(unlocked)))
        # The file gains at most a sample a second: anew, so that it stays full.
        seed_trend_file(trend_folder)
        trend_figure.add(measure(runner, runs(200), trend_folder, trend_command, trend_env))
        untrended_figure.add(measure(runner, runs(200), trend_folder, scan_command, trend_env))

    for _ in range(3):
        for folder, figure in trace_pairs.values():
            figure.add(measure(runner, runs(10), folder, scan_command, environment(folder),
                               expect_exit=2))

    # 2: the multi-system runs.
    stored = scrambled_password(profile_tool)
    sizes = [1, 10, 50, most_systems()]
    fixed_folder = work / "multi-0"
    write_empty_listing(fixed_folder)
    global_command = [str(sensor), "global", SENSOR]
    fixed_env = environment(fixed_folder)
    check_output(global_command, fixed_folder, fixed_env, "NoSystems=1, Processed=0, Failed=0")
    fixed_figure = Figure()
    multi = {}
    for systems in sizes:
        folder = work / f"multi-{systems}"
        write_multi_fixture(folder, systems, stored)
        check_output(global_command, folder, environment(folder),
                     f"NoSystems={systems}, Processed={systems}, Failed=0")
        multi[systems] = Figure()
    baseline_command = [str(baseline), "global", SENSOR] if baseline else None
    baseline_fixed, baseline_multi = Figure(), {systems: Figure() for systems in sizes}
    if baseline:
        check_output(baseline_command, fixed_folder, fixed_env,
                     "NoSystems=1, Processed=0, Failed=0")
    for _ in range(3):
        fixed_figure.add(measure(runner, runs(100), fixed_folder, global_command, fixed_env))
        if baseline:
            baseline_fixed.add(measure(runner, runs(100), fixed_folder, baseline_command,
                                       fixed_env))
        for systems in sizes:
            folder = work / f"multi-{systems}"
            count = runs(max(3, 300 // systems))
            multi[systems].add(measure(runner, count, folder, global_command,
                                       environment(folder)))
            if baseline:
                baseline_multi[systems].add(measure(runner, count, folder, baseline_command,
                                                    environment(folder)))

    # 7: the same listing one system after another and PARALLEL_SCANS at
    # once; each scan process finds the landscape by its full path.
    parallel_folder = work / "parallel"
    write_multi_fixture(parallel_folder, PARALLEL_SYSTEMS, stored, PARALLEL_LATENCY_MS)
    parallel_env = environment(parallel_folder)
    parallel_env["SIMRFC_LANDSCAPE"] = str(parallel_folder / "Landscape.ini")
    keyword = f",PARALLEL={PARALLEL_SCANS}"
    parallel_command = [str(sensor), "global", f"{SENSOR} {keyword}"]
    every = f"NoSystems={PARALLEL_SYSTEMS}, Processed={PARALLEL_SYSTEMS}, Failed=0"
    check_output(global_command, parallel_folder, parallel_env, every)
    check_output(parallel_command, parallel_folder, parallel_env, every)
    one_after_another, at_once = Figure(), Figure()
    for _ in range(1 if args.quick else 3):
        one_after_another.add(measure(runner, 1, parallel_folder, global_command, parallel_env))
        at_once.add(measure(runner, 1, parallel_folder, parallel_command, parallel_env))
    peak_kib = peak_tree_rss_kib(parallel_command, parallel_folder, parallel_env)
    if (parallel_folder / "Vendralith.Scans").exists():
        sys.exit("bench: the parallel run left its working folders")
    hanging_folder = work / "parallel-hanging"
    write_multi_fixture(hanging_folder, PARALLEL_SYSTEMS, stored, PARALLEL_LATENCY_MS,
                        hanging=NAME_CHARACTERS[0])
    hanging_env = environment(hanging_folder)
    hanging_env["SIMRFC_LANDSCAPE"] = str(hanging_folder / "Landscape.ini")
    started = time.monotonic()
    hanging = subprocess.run(
        [str(sensor), "global", f"{SENSOR} ,TIMEOUT={PARALLEL_TIMEOUT}{keyword}"],
        cwd=hanging_folder, env=hanging_env, capture_output=True, text=True)
    hanging_s = time.monotonic() - started
    hanging_processed = f"Processed={PARALLEL_SYSTEMS - 1}, Failed=1" in hanging.stdout
    load_after = load()

    # The table.
    floor_us, scan_us = floor_figure.wall_us(), scan_figure.wall_us()
    ratio = scan_us / floor_us
    fixed_us = fixed_figure.wall_us()
    fixed_cpu = fixed_figure.cpu_us()
    rows = []

    def row(what, figure, target=""):
        rows.append(f"| {what} | {figure} | {target} |")

    def met(ok):
        return "met" if ok else "**not met**"

    row("Floor: static no-op program",
        f"{floor_us / 1000:.3f} ms, {floor_figure.rss_kib():.0f} KiB")
    row("Single-system scan (`vendralith PRD`)", f"{scan_us / 1000:.3f} ms = {ratio:.2f} x floor",
        f"≤ {TARGET_RATIO} x floor: {met(ratio <= TARGET_RATIO)}")
    scan_rss = scan_figure.max_rss_kib()
    largest_rss = multi[sizes[-1]].max_rss_kib()
    row("Peak resident memory of the scan", f"{scan_rss:.0f} KiB "
        f"({largest_rss:.0f} KiB with {sizes[-1]} systems)",
        f"≤ 2 MiB: {met(max(scan_rss, largest_rss) <= TARGET_RSS_KIB)}")
    if baseline:
        base_us, base_cpu = baseline_scan_figure.wall_us(), baseline_scan_figure.cpu_us()
        base_rss = baseline_scan_figure.max_rss_kib()
        row(f"The scan, this build / {baseline_name} (side by side)",
            f"{scan_us / 1000:.3f} / {base_us / 1000:.3f} ms = {scan_us / base_us:.2f}; "
            f"CPU {scan_figure.cpu_us():.0f} / {base_cpu:.0f} µs = "
            f"{scan_figure.cpu_us() / base_cpu:.2f}",
            f"at most the build before's: {met(scan_us <= base_us)}")
        row(f"Peak resident memory of the scan, this build / {baseline_name} (side by side)",
            f"{scan_rss:.0f} / {base_rss:.0f} KiB = {scan_rss / base_rss:.2f}",
            f"at most the build before's: {met(scan_rss <= base_rss)}")
        ours_text, theirs_text = code_size(sensor), code_size(baseline)
        if ours_text and theirs_text:
            row(f"Code of the program (`size`, text), this build / {baseline_name}",
                f"{ours_text / 1e6:.2f} / {theirs_text / 1e6:.2f} MB = "
                f"{ours_text / theirs_text:.2f}")
    small_rss = trace_pairs[1][1].max_rss_kib()
    large_rss = trace_pairs[100][1].max_rss_kib()
    row("Peak resident memory of a failing scan, trace of 1 MB / 100 MB",
        f"{small_rss:.0f} / {large_rss:.0f} KiB = {large_rss / small_rss:.2f}",
        f"flat (≤ {FLAT_LIMIT}): {met(large_rss / small_rss <= FLAT_LIMIT)}")
    for name, figure in other_figures.items():
        command = " ".join([name] + other_args[name])
        row(f"For scale: `{command}`",
            f"{figure.wall_us() / 1000:.3f} ms = {figure.wall_us() / scan_us:.1f} x the scan")
    for name, (_, _, locked_figure, unlocked_figure) in lock_pairs.items():
        what = ("Locks of parallel scans: the scan" if name == "scan" else
                "Locks of parallel scans: the scan through `SapRfc.PRD`")
        locked_us, unlocked_us = locked_figure.wall_us(), unlocked_figure.wall_us()
        locked_cpu, unlocked_cpu = locked_figure.cpu_us(), unlocked_figure.cpu_us()
        row(f"{what}, with / without them",
            f"{locked_us / 1000:.3f} / {unlocked_us / 1000:.3f} ms = "
            f"{(locked_us / unlocked_us - 1) * 100:+.1f} %; CPU {locked_cpu:.0f} / "
            f"{unlocked_cpu:.0f} µs = {(locked_cpu / unlocked_cpu - 1) * 100:+.1f} %",
            "a few per cent")
    trend_us, untrended_us = trend_figure.wall_us(), untrended_figure.wall_us()
    row(f"`vendralith PRD ,TREND` with a full 6-hour file ({TREND_SAMPLES} samples) / "
        "the same scan without `,TREND`",
        f"{trend_us / 1000:.3f} / {untrended_us / 1000:.3f} ms = {trend_us / untrended_us:.2f}; "
        f"CPU {trend_figure.cpu_us():.0f} / {untrended_figure.cpu_us():.0f} µs = "
        f"{trend_figure.cpu_us() / untrended_figure.cpu_us():.2f}",
        f"≤ {TREND_TARGET}: {met(trend_us / untrended_us <= TREND_TARGET)}")
    row("Multi-system run, fixed part (one empty entry)", f"{fixed_us / 1000:.3f} ms")
    per_system = []
    for systems in sizes:
        figure = multi[systems]
        latency_us = systems * LATENCY_UNITS_PER_SYSTEM * LATENCY_MS * 1000
        if figure.min_wall_us() < latency_us:
            sys.exit(f"bench: {systems} systems ran faster than their latency: "
                     "the latency count is wrong")
        beyond = (figure.wall_us() - fixed_us - latency_us) / systems
        cpu = (figure.cpu_us() - fixed_cpu) / systems
        per_system.append(beyond)
        plural = "s" if systems != 1 else ""
        row(f"{systems} system{plural}, "
            f"{LATENCY_MS} ms latency x {LATENCY_UNITS_PER_SYSTEM} per system",
            f"{figure.wall_us() / 1000:.1f} ms; beyond latency {beyond:.0f} µs/system "
            f"(CPU {cpu:.0f} µs/system)")
    # Growth is what a list handled quadratically would show: the largest
    # listing against the cheapest size. The first system of a run also pays
    # the first use of the library and query code, which weighs most with 1.
    what = f"Per-system cost with {sizes[-1]} systems / the lowest"
    if min(per_system) <= 0:
        row(what, "the noise is larger than the figures: run again on a quieter machine")
    else:
        growth = per_system[-1] / min(per_system)
        row(what, f"{growth:.2f}", f"flat (≤ {FLAT_LIMIT}): {met(growth <= FLAT_LIMIT)}")

    if baseline:
        base_fixed_cpu = baseline_fixed.cpu_us()
        for systems in sizes:
            if systems < 10:
                continue  # one system is all noise
            ours = (multi[systems].cpu_us() - fixed_cpu) / systems
            theirs = (baseline_multi[systems].cpu_us() - base_fixed_cpu) / systems
            row(f"{systems} systems without the keyword: CPU per system, this build / "
                f"{baseline_name}",
                f"{ours:.0f} / {theirs:.0f} µs = {ours / theirs:.2f}" if theirs > 0 else
                "the noise is larger than the figures")

    sequential_s = one_after_another.wall_us() / 1e6
    parallel_s = at_once.wall_us() / 1e6
    speed = sequential_s / parallel_s
    row(f"{PARALLEL_SYSTEMS} systems, {PARALLEL_LATENCY_MS} ms latency x "
        f"{LATENCY_UNITS_PER_SYSTEM}: one after another / `{keyword}`",
        f"{sequential_s:.2f} / {parallel_s:.2f} s = {speed:.1f} x as fast",
        f"≥ {PARALLEL_TARGET} x: {met(speed >= PARALLEL_TARGET)}")
    limit_kib = (PARALLEL_SCANS + 1) * PARALLEL_RSS_PER_PROCESS_KIB
    row(f"Peak resident memory of the `{keyword}` run, all its processes together (sampled)",
        f"{peak_kib} KiB",
        f"≤ {PARALLEL_SCANS} x 1.5 MiB + 1.5 MiB = {limit_kib} KiB: {met(peak_kib <= limit_kib)}")
    row(f"{PARALLEL_SYSTEMS} systems, one of them hanging at its logon, "
        f"`,TIMEOUT={PARALLEL_TIMEOUT}{keyword}`",
        f"answered after {hanging_s:.2f} s, exit {hanging.returncode}, "
        f"{PARALLEL_SYSTEMS - 1} {'processed' if hanging_processed else 'NOT processed'}",
        f"{PARALLEL_SYSTEMS - 1} processed within {PARALLEL_TIMEOUT + 1} s: "
        f"{met(hanging_processed and hanging.returncode == 0 and hanging_s <= PARALLEL_TIMEOUT + 1)}")

    print()
    print(f"Machine: {machine()}; load average {load_before} before, {load_after} after")
    print(f"Command: make bench{' (--quick)' if args.quick else ''}")
    print()
    print("| Figure | Measured | Target |")
    print("|---|---|---|")
    print("\n".join(rows))


if __name__ == "__main__":
    main()
