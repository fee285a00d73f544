# Two commands do everything on a fresh Debian machine: `make run` and `make test`.
BUILD ?= build
JOBS ?= 2
WIN := $(BUILD)/win
NATIVE := $(BUILD)/native

.PHONY: all setup build run test bench format clean

all: build

setup:
	@scripts/setup.sh

build: setup
	@[ -f $(WIN)/CMakeCache.txt ] || cmake -S . -B $(WIN) -DCMAKE_TOOLCHAIN_FILE=cmake/mingw-i686.cmake \
	    -DSNIPQUILL_BIN_DIR=$(abspath $(BUILD))/bin >/dev/null
	@[ -f $(NATIVE)/CMakeCache.txt ] || cmake -S . -B $(NATIVE) -DCMAKE_BUILD_TYPE=Debug >/dev/null
	@cmake --build $(WIN) -j$(JOBS) -- --no-print-directory
	@cmake --build $(NATIVE) -j$(JOBS) -- --no-print-directory
	@printf 'subdirs("native" "win")\n' > $(BUILD)/CTestTestfile.cmake

run: build
	@BUILD=$(BUILD) scripts/run.sh $(ARGS)

test: build
	@BUILD=$(BUILD) JOBS=$(JOBS) scripts/test.sh

bench: build
	@BUILD=$(BUILD) scripts/bench.sh

format:
	@git ls-files '*.cpp' '*.h' | xargs clang-format -i

clean:
	rm -rf $(BUILD)
