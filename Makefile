# Lexorin: the two commands of the README are `make run` and `make test`.
# Each installs what is missing, builds both trees (the native one with the portable
# core, its tests and the host tools; the cross-built Windows one with Lexorin.exe),
# prepares the Wine prefix and then runs the program or the whole test suite.

BUILD   ?= build
HOST    := $(BUILD)/host
WIN     := $(BUILD)/win
CMAKE_GEN := -G Ninja

.PHONY: all deps host win build packages dist prefix run test bench clean

all: build

deps:
	@scripts/install-deps.sh

host: deps
	@test -f $(HOST)/build.ninja || cmake -S . -B $(HOST) $(CMAKE_GEN) -DCMAKE_BUILD_TYPE=Debug >/dev/null
	@cmake --build $(HOST)

win: host
	@test -f $(WIN)/build.ninja || cmake -S . -B $(WIN) $(CMAKE_GEN) -DCMAKE_BUILD_TYPE=Release \
	    -DCMAKE_TOOLCHAIN_FILE=$(CURDIR)/cmake/mingw-i686.cmake \
	    -DLEX_HOST_TOOLS=$(abspath $(HOST))/tools >/dev/null
	@cmake --build $(WIN)

build: win

# The portable zip and the installer, with their SHA-256 sums, in $(BUILD)/dist-packages.
packages: win
	@cmake --build $(WIN) --target packages

dist: packages

prefix: deps
	@scripts/prepare-prefix.sh

test: build packages prefix
	@scripts/run-tests.sh $(BUILD)

run: build prefix
	@scripts/run.sh $(BUILD)

bench: build prefix
	@scripts/bench.sh $(BUILD)

clean:
	rm -rf $(BUILD)
