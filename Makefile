# Two commands do everything on a fresh Debian machine: `make run` and `make test`.
# Two Windows builds from one source: build/bin/snipquill.exe (32-bit x86, the one we ship) and
# build/bin/x64/snipquill.exe (64-bit). `make run`, `make test` and `make bench` use the builds
# this machine runs (scripts/probe-ia32 finds out) and build what they use; ARCH=x86 or ARCH=x64
# forces one.
BUILD ?= build
JOBS ?= 2
NATIVE := $(BUILD)/native
WIN_x86 := $(BUILD)/win
WIN_x64 := $(BUILD)/win64
TOOLCHAIN_x86 := cmake/mingw-i686.cmake
TOOLCHAIN_x64 := cmake/mingw-x86_64.cmake
BIN_x86 := $(abspath $(BUILD))/bin
BIN_x64 := $(abspath $(BUILD))/bin/x64
CMAKE_BUILD = cmake --build $(1) -j$(JOBS) $(2) -- --no-print-directory
export ARCH BUILD JOBS

.PHONY: all setup configure build app run test bench format clean native \
        build-x86 build-x64 app-x86 app-x64 dist

all: build

setup:
	@scripts/setup.sh

configure: setup
	@[ -f $(WIN_x86)/CMakeCache.txt ] || cmake -S . -B $(WIN_x86) \
	    -DCMAKE_TOOLCHAIN_FILE=$(TOOLCHAIN_x86) -DSNIPQUILL_BIN_DIR=$(BIN_x86) >/dev/null
	@[ -f $(WIN_x64)/CMakeCache.txt ] || cmake -S . -B $(WIN_x64) \
	    -DCMAKE_TOOLCHAIN_FILE=$(TOOLCHAIN_x64) -DSNIPQUILL_BIN_DIR=$(BIN_x64) >/dev/null
	@[ -f $(NATIVE)/CMakeCache.txt ] || cmake -S . -B $(NATIVE) -DCMAKE_BUILD_TYPE=Debug >/dev/null

# Everything of one build: its program and help file, its Windows tests and its benchmarks.
build-x86 build-x64: build-%: configure
	@$(call CMAKE_BUILD,$(WIN_$*))

# Only what running one build's program needs.
app-x86 app-x64: app-%: configure
	@$(call CMAKE_BUILD,$(WIN_$*),--target snipquill snipquill_help)

# The platform-free unit tests on the host, with sanitizers.
native: configure
	@$(call CMAKE_BUILD,$(NATIVE))

build: build-x86 build-x64 native

app: app-x86 app-x64

run:
	@scripts/run.sh $(ARGS)

# The release: build/dist/snipquill-<FileVersion>-setup.exe and -portable.zip, from both builds.
dist: app-x86 app-x64
	@scripts/dist.sh

test:
	@scripts/test.sh

bench:
	@scripts/bench.sh

format:
	@git ls-files '*.cpp' '*.h' '*.c' | xargs clang-format -i

clean:
	rm -rf $(BUILD)
