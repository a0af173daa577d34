#!/usr/bin/env python3
"""What loading the RFC library at run time costs the Windows sensor, and what
a scan through the NetWeaver library costs against one through the classic
library, under Wine.

    python3 tools/bench/wine_bench.py [--runs N] BUILD_DIR...

Each BUILD_DIR is a Windows build (make windows: build/windows64 and
build/windows): vendralith.exe, which loads librfc32.dll when it runs, the
simulated library's DLL in simrfc-dll/complete, and
bench/vendralith-linked.exe, the same sensor with the simulated library
linked in, as the Windows program was built before it loaded the library.
A third program is vendralith.exe again, with the simulated library's
sapnwrfc.dll (simrfc-dll/netweaver) beside it instead: the NetWeaver binding.
All three scan PRD of the example landscape from the same folder, in
alternating runs under one wineserver, so that a change of load hits them
alike. Prints the median wall time of each and the ratios, per build; the 64-bit build
runs under 64-bit Wine. Then a multi-system run over PRD listed 20 times,
PRD answering with 100 ms latency, one system after another against
",PARALLEL=8", side by side (each scan process is a Wine process of its
own, which the ratio includes). A 32-bit build runs natively where this
machine can run 32-bit programs, else through qemu-i386 (see
tests/windows/wine32_route.py), and the output's first line for it says which;
where neither can, it is skipped, and the output says so. A tool to read, not a test:
nothing fails on a time.
"""

import argparse
import shutil
import statistics
import subprocess
import sys
import time
from pathlib import Path

REPO = Path(__file__).resolve().parents[2]
EXAMPLES = REPO / "examples"
sys.path.insert(0, str(REPO / "tests" / "e2e"))
from run_case import pe_bitness, prepare_wine_prefix, wine_command, wine_environment  # noqa: E402

# The multi-system runs: PRD listed this often, each answer this late.
PARALLEL_SYSTEMS = 20
PARALLEL_LATENCY_MS = 100
PARALLEL_SCANS = 8
PARALLEL_RUNS = 3

sys.path.insert(0, str(REPO / "tests" / "windows"))
from wine32_route import wine32_route  # noqa: E402


def main():
    parser = argparse.ArgumentParser()
    parser.add_argument("--runs", type=int, default=60, help="runs of each program")
    parser.add_argument("build_dirs", type=Path, nargs="+")
    options = parser.parse_args()
    status = 0
    for build in options.build_dirs:
        build = build.resolve()
        bitness = pe_bitness(build / "vendralith.exe")
        route_environment = {}
        if bitness == 32:
            route, problem = wine32_route(build)
            if problem:
                print(f"SKIPPED: the {bitness}-bit build {build}, this machine cannot run 32-bit "
                      f"programs: {problem}")
                continue
            print(f"32-bit: {route.description}")
            route_environment = route.environment
        print(f"{bitness}-bit build {build}:")
        status = max(status, bench(build, bitness, options.runs, route_environment))
    return status


def bench(build, bitness, runs, route_environment):
    prefix = build / "bench-wineprefix"
    environment = {**wine_environment(prefix, bitness), **route_environment}
    shutil.rmtree(prefix, ignore_errors=True)
    (prefix / "tmp").mkdir(parents=True)
    subprocess.run(["wineserver", "-p"], env=environment, check=True)
    try:
        prepare_wine_prefix(prefix, environment)
        drive = prefix / "drive_c"
        loaded, linked, work = drive / "loaded", drive / "linked", drive / "work"
        netweaver = drive / "netweaver"
        for folder in (loaded, linked, work, netweaver):
            folder.mkdir()
        shutil.copy2(build / "vendralith.exe", loaded)
        shutil.copy2(build / "simrfc-dll" / "complete" / "librfc32.dll", loaded)
        shutil.copy2(build / "vendralith.exe", netweaver)
        shutil.copy2(build / "simrfc-dll" / "netweaver" / "sapnwrfc.dll", netweaver)
        shutil.copy2(build / "bench" / "vendralith-linked.exe", linked / "vendralith.exe")
        for name in ("Landscape.ini", "PRD.P00"):
            shutil.copy2(EXAMPLES / name, work)

        multi = drive / "multi"
        multi.mkdir()
        shutil.copy2(EXAMPLES / "PRD.P00", multi)
        (multi / "Landscape.ini").write_text((EXAMPLES / "Landscape.ini").read_text().replace(
            "[system PRD]\n", f"[system PRD]\nlatency_ms = {PARALLEL_LATENCY_MS}\n", 1))
        (multi / "SAP Kelvaron.Gbl").write_text(
            "# GSNG: BENCH       " + "PRD.P00#" * PARALLEL_SYSTEMS + "\n"
            "# GSNX: BENCH      Sensor=\"SAP Vendralith\",Profile,Item=LogPages\n")

        programs = {"run-time binding": loaded / "vendralith.exe",
                    "linked in": linked / "vendralith.exe",
                    "NetWeaver binding": netweaver / "vendralith.exe"}
        times = {name: [] for name in programs}
        for run in range(runs + 1):
            for name, program in programs.items():
                started = time.perf_counter()
                result = subprocess.run([*wine_command(environment), str(program), "PRD"], cwd=work,
                                        env=environment, capture_output=True)
                elapsed = time.perf_counter() - started
                if result.returncode != 0 or b"<Text>(PRD) LogStates: " not in result.stdout:
                    print(f"{name}: unexpected answer, exit {result.returncode}: "
                          f"{result.stdout[:200]!r}")
                    return 1
                if run > 0:  # the first round warms Wine's caches
                    times[name].append(elapsed)
        # Every scan process finds the landscape by its full path.
        environment["SIMRFC_LANDSCAPE"] = "C:\\multi\\Landscape.ini"
        every = f"NoSystems={PARALLEL_SYSTEMS}, Processed={PARALLEL_SYSTEMS}, Failed=0".encode()
        runs_of = {"one after another": ["BENCH"],
                   f",PARALLEL={PARALLEL_SCANS}": [f"BENCH ,PARALLEL={PARALLEL_SCANS}"]}
        multi_times = {name: [] for name in runs_of}
        for _ in range(PARALLEL_RUNS):
            for name, parameters in runs_of.items():
                started = time.perf_counter()
                result = subprocess.run(
                    [*wine_command(environment), str(loaded / "vendralith.exe"), "global",
                     *parameters], cwd=multi, env=environment, capture_output=True)
                multi_times[name].append(time.perf_counter() - started)
                if result.returncode != 0 or every not in result.stdout:
                    print(f"{name}: unexpected answer, exit {result.returncode}: "
                          f"{result.stdout[-300:]!r}")
                    return 1
    finally:
        subprocess.run(["wineserver", "-k"], env=environment)
        shutil.rmtree(prefix, ignore_errors=True)

    medians = {name: statistics.median(values) * 1000 for name, values in times.items()}
    for name, median in medians.items():
        print(f"{name:17} median {median:7.1f} ms over {runs} runs")
    ratio = medians["run-time binding"] / medians["linked in"]
    print(f"Scan under {bitness}-bit Wine, run-time binding / linked in: {ratio:.3f}")
    netweaver_ratio = medians["NetWeaver binding"] / medians["run-time binding"]
    print(f"Scan under {bitness}-bit Wine, through sapnwrfc.dll / through librfc32.dll: "
          f"{netweaver_ratio:.3f} (target: within 5 %)")
    sequential, parallel = (statistics.median(values) for values in multi_times.values())
    print(f"{PARALLEL_SYSTEMS} systems, {PARALLEL_LATENCY_MS} ms latency x 3, under {bitness}-bit "
          f"Wine: one after another / ,PARALLEL={PARALLEL_SCANS}: {sequential:.2f} / "
          f"{parallel:.2f} s = {sequential / parallel:.1f} x as fast "
          f"(median of {PARALLEL_RUNS} runs each)")
    return 0


if __name__ == "__main__":
    sys.exit(main())
