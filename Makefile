# The two entry points of the README: `make run` and `make test`.
.PHONY: deps build test test-asan test-windows fuzz run run-windows bench package format clean

JOBS ?= $(shell nproc)

deps:
	scripts/install-deps

build: deps
	cmake --preset release
	cmake --build --preset release -j $(JOBS)

test: build
	ctest --preset release -j $(JOBS)

test-asan: deps
	cmake --preset asan
	cmake --build --preset asan -j $(JOBS)
	ctest --preset asan -j $(JOBS)

test-windows:
	scripts/install-deps --windows
	scripts/test-windows

fuzz: deps
	scripts/run-fuzzers $(FUZZ_SECONDS)

# The Debian package (build/packages/) and the Windows setup program (build-mingw/packages/).
package: build
	scripts/install-deps --windows --package
	cmake --build --preset release --target package
	scripts/test-windows --build-only
	cmake --build --preset mingw --target package

run: build
	scripts/run-dialog

# The Windows program under Wine (a screenshot in build-mingw/ when there is no display).
run-windows:
	scripts/install-deps --windows
	scripts/test-windows --build-only
	scripts/run-dialog-windows

bench: build
	scripts/run-benchmarks

format:
	find src tests bench -name '*.cpp' -o -name '*.h' | xargs clang-format -i

clean:
	rm -rf build build-asan build-fuzz build-mingw
