# Two commands do everything on a fresh Debian machine: `make run` and `make test`.
BUILD ?= build
JOBS ?= 2
WIN := $(BUILD)/win
NATIVE := $(BUILD)/native

.PHONY: all setup configure build app run test bench format clean

all: build

setup:
	@scripts/setup.sh

configure: setup
	@[ -f $(WIN)/CMakeCache.txt ] || cmake -S . -B $(WIN) -DCMAKE_TOOLCHAIN_FILE=cmake/mingw-i686.cmake \
	    -DSNIPQUILL_BIN_DIR=$(abspath $(BUILD))/bin >/dev/null
	@[ -f $(NATIVE)/CMakeCache.txt ] || cmake -S . -B $(NATIVE) -DCMAKE_BUILD_TYPE=Debug >/dev/null
	@printf 'subdirs("native" "win")\n' > $(BUILD)/CTestTestfile.cmake

# Everything: the program, its help file, the tests (native and Windows) and the benchmarks.
build: configure
	@cmake --build $(WIN) -j$(JOBS) -- --no-print-directory
	@cmake --build $(NATIVE) -j$(JOBS) -- --no-print-directory

# Only what running the program needs.
app: configure
	@cmake --build $(WIN) -j$(JOBS) --target snipquill snipquill_help -- --no-print-directory

run: app
	@BUILD=$(BUILD) scripts/run.sh $(ARGS)

test: build
	@BUILD=$(BUILD) JOBS=$(JOBS) scripts/test.sh

bench: build
	@BUILD=$(BUILD) scripts/bench.sh

format:
	@git ls-files '*.cpp' '*.h' | xargs clang-format -i

clean:
	rm -rf $(BUILD)
