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

# What one start of the sensor costs: the optimised build, a static no-op
# floor and the runner of tools/bench; prints the figures and the README
# table (about a minute). A tool to run, not a test: nothing fails on a time.
bench: deps
	cmake --preset default
	cmake --build --preset default -j 2 --target vendralith vendralith-profile bench-floor bench-runner
	python3 tools/bench/bench.py build/default

# Under Wine, a scan of the Windows sensor that loads librfc32.dll against the
# same sensor with the simulated library linked in, side by side (a minute).
bench-windows: windows
	python3 tools/bench/wine_bench.py build/windows

# clang-tidy, cppcheck and clang-format on src/, simrfc/ and tools/, from the
# compile commands of build/lint (configured, not built). Any finding fails.
lint: deps lint-deps
	cmake --preset lint
	sh tools/lint.sh build/lint

# vendralith.exe and vendralith-profile.exe: 32-bit Windows console programs,
# each one file, in build/windows.
windows: windows-deps
	cmake --preset windows
	cmake --build --preset windows -j 2
	sh tools/check-windows-executables.sh build/windows/vendralith.exe build/windows/vendralith-profile.exe

# Every end-to-end case against vendralith.exe under Wine, in a Wine prefix
# made new in build/windows/wineprefix.
test-windows: windows
	python3 tests/windows/run_suite.py --bin-dir build/windows

# The release package for monitoring hosts, build/dist/vendralith-VERSION-win32.zip:
# both Windows programs, INSTALL.txt from the README and the example files.
# Fails when the package holds anything else, an RFC library above all.
dist: windows
	python3 tools/make_dist.py --bin-dir build/windows --out-dir build/dist

clean:
	rm -rf build
