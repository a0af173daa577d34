# Thin wrappers over the CMake presets. `make demo`, `make test`, `make windows`,
# `make test-windows` and `make dist` do all set-up on a fresh machine (the
# build tools, and for Windows the MinGW-w64 cross-compiler and Wine, are
# installed when missing).

.PHONY: demo test fuzz bench bench-windows lint windows test-windows dist deps fuzz-deps lint-deps windows-deps clean

# Seconds each fuzz target runs for `make fuzz`.
SECONDS ?= 10

deps:
	@sh tools/install-build-deps.sh

fuzz-deps:
	@sh tools/install-build-deps.sh fuzz

windows-deps:
	@sh tools/install-windows-deps.sh

lint-deps:
	@sh tools/install-lint-deps.sh

demo: deps
	cmake --preset default
	cmake --build --preset default -j 2
	sh examples/demo.sh build/default

# Every test twice: against the sanitized build, then against the optimised,
# statically linked sensor that users run.
test: deps
	cmake --preset test
	cmake --build --preset test -j 2
	ctest --preset test -j 2
	cmake --preset release-test
	cmake --build --preset release-test -j 2
	ctest --preset release-test -j 2

# Every libFuzzer target for SECONDS seconds, on copies of the seed corpora
# under build/fuzz/corpus; fails on any crash or sanitizer report.
fuzz: fuzz-deps
	cmake --preset fuzz
	cmake --build --preset fuzz -j 2
	sh tests/fuzz/run.sh build/fuzz $(SECONDS)

# The build that make bench measures this one against, side by side: the
# sensor before scans in parallel came (the first parent of their merge).
# make bench BASELINE= measures without one.
BASELINE ?= c2dd1e1^1

# What one start of the sensor costs: the optimised build, a static no-op
# floor and the runner of tools/bench, beside the sensor of BASELINE (built
# once into build/bench-baseline); prints the figures and the table of "What
# a scan costs" in docs/developer-guide.md (about four minutes). A tool to
# run, not a test: nothing fails on a time.
bench: deps
	cmake --preset default
	cmake --build --preset default -j 2 --target vendralith vendralith-profile bench-floor bench-runner
	baseline=$$( [ -z "$(BASELINE)" ] || sh tools/bench/build_baseline.sh "$(BASELINE)" build/bench-baseline ) && \
	python3 tools/bench/bench.py build/default $${baseline:+--baseline "$$baseline" --baseline-name "$(BASELINE)"}

# Under Wine, a scan of the Windows sensor that loads librfc32.dll against the
# same sensor with the simulated library linked in, a scan through
# sapnwrfc.dll against the one through librfc32.dll, and a multi-system run
# one system after another against ,PARALLEL=8, side by side, for the 64-bit
# program and the 32-bit one (through qemu-i386 where the kernel cannot run
# 32-bit programs).
bench-windows: windows
	python3 tools/bench/wine_bench.py build/windows64 build/windows

# The links and anchors of the Markdown files, then clang-tidy, cppcheck and
# clang-format on src/, simrfc/ and tools/, from the compile commands of
# build/lint (configured, not built). Any finding fails.
lint: deps lint-deps
	cmake --preset lint
	sh tools/lint.sh build/lint

# vendralith.exe and vendralith-profile.exe as Windows console programs, each
# one file: 32-bit in build/windows, 64-bit in build/windows64.
windows: windows-deps
	cmake --preset windows
	cmake --build --preset windows -j 2
	sh tools/check-windows-executables.sh 32 build/windows/vendralith.exe build/windows/vendralith-profile.exe
	cmake --preset windows64
	cmake --build --preset windows64 -j 2
	sh tools/check-windows-executables.sh 64 build/windows64/vendralith.exe build/windows64/vendralith-profile.exe

# Every end-to-end case against each vendralith.exe under Wine, in a Wine
# prefix made new in its build folder: the 64-bit program under 64-bit Wine,
# the 32-bit one under 32-bit Wine, natively where this machine can run 32-bit
# programs, else through qemu-i386 (fetched by windows-deps); the 32-bit
# suite's first line says which.
test-windows: windows
	python3 tests/windows/run_suite.py --bin-dir build/windows64 --bin-dir build/windows

# The release packages for monitoring hosts, build/dist/vendralith-VERSION-win32.zip
# and -win64.zip: both Windows programs, INSTALL.txt and USER-GUIDE.txt made
# from docs/install-guide.md and docs/user-guide.md, and the example files, the
# same layout in each. Fails when a guide cannot be made into plain text, and
# when a package holds anything else, an RFC library above all.
dist: windows
	python3 tools/make_dist.py --bin-dir build/windows --bin-dir build/windows64 --out-dir build/dist

clean:
	rm -rf build
