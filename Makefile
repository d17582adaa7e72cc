# The project's commands. Every target runs the set-up first, so a fresh
# Debian machine needs nothing but git and make.
JOBS ?= $(shell nproc)

.PHONY: all setup native win32 win64 test test-native test-static test-dist test-wine test-fresh demo bench dist lint clean

all: native win32 win64

setup:
	@tools/setup.sh

native: setup
	@cmake --preset native >/dev/null
	@cmake --build build/native -j $(JOBS)

win32: setup
	@cmake --preset win32 >/dev/null
	@cmake --build build/win32 -j $(JOBS)

win64: setup
	@cmake --preset win64 >/dev/null
	@cmake --build build/win64 -j $(JOBS)

test: all
	@$(MAKE) --no-print-directory lint test-native test-static test-dist test-wine

# cppcheck and clang-tidy over the project's own code; any finding fails.
lint: setup
	@tools/lint.sh

test-native:
	@ctest --test-dir build/native --output-on-failure -j $(JOBS)

test-static:
	@tools/check-host-kit.sh
	@tools/check-dll.sh build/win32 i686
	@tools/check-dll.sh build/win64 x86_64

# The package: reproducible, its checksums right, and each unpacked host working with its DLL.
test-dist:
	@tools/check-dist.sh

# Both builds' Win32 suites, spread over a pool of private displays.
WINE_DISPLAYS ?= 6
test-wine:
	@tools/run-wine.sh --displays $(WINE_DISPLAYS) tools/test-wine.sh

# `make test` where a newcomer stands: in a fresh minimal Debian 12 root, then a
# Debian 13 one, each on a clean clone of HEAD (as root; tools/fresh-root.sh).
FRESH_RELEASES ?= bookworm trixie
test-fresh:
	@for release in $(FRESH_RELEASES); do tools/fresh-root.sh $$release $(FRESH_OPTIONS) || exit $$?; done

# With a display: the reference host on the user's desktop. Without one: the
# scripted scene on a private display, saved as a screenshot.
demo: win64
	@tools/demo.sh

# Drag-step and repaint costs of both builds against the like-for-like floor, the
# peer and the screen read; tables and CSVs in build/bench/.
bench: win32 win64
	@tools/run-wine.sh tools/bench.sh

# The release zip, build/dist/Glimber-<version>.zip; prints its path and SHA-256.
dist: win32 win64
	@tools/dist.sh

clean:
	rm -rf build
