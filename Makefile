# Thin wrappers over the CMake presets. `make demo` and `make test` do all
# set-up on a fresh machine (the build tools are installed when missing).

.PHONY: demo test windows test-windows deps clean

deps:
	@sh tools/install-build-deps.sh

demo: deps
	cmake --preset default
	cmake --build --preset default -j 2
	sh examples/demo.sh build/default

test: deps
	cmake --preset test
	cmake --build --preset test -j 2
	ctest --preset test -j 2

clean:
	rm -rf build
