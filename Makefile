# The two entry points of the README: `make run` and `make test`.
.PHONY: deps configure build test test-asan test-windows fuzz run run-changer run-windows bench deb \
	package format clean

JOBS ?= $(shell nproc)

deps:
	scripts/install-deps

configure: deps
	cmake --preset release

build: configure
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

# What the Debian package holds: the two programs, their icons and manual pages.
PACKAGED_TARGETS = nimbrel-ext nimbrel-tool nimbrel-changer nimbrel_icons nimbrel_compressed_docs

# The Debian package alone (build/packages/), without the tests, Wine, mingw or NSIS.
deb: configure
	scripts/install-deps --deb
	cmake --build --preset release -j $(JOBS) --target $(PACKAGED_TARGETS)
	cd build && cpack -G DEB

# The Debian package (build/packages/) and the Windows setup program (build-mingw/packages/).
package: build
	scripts/install-deps --windows --package
	cmake --build --preset release --target package
	scripts/test-windows --build-only
	cmake --build --preset mingw --target package

# The dialog alone, built with what it needs, on a scratch store under build/run/.
run: configure
	cmake --build --preset release -j $(JOBS) --target nimbrel-ext
	scripts/run-dialog

# The wallpaper changer on samples/, on a scratch store under build/run/ (a screenshot of
# the root window in build/ when there is no display).
run-changer: configure
	cmake --build --preset release -j $(JOBS) --target nimbrel-changer nimbrel-tool
	scripts/run-changer

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
