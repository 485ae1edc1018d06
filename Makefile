# Lexorin: the two commands of the README are `make run` and `make test`.
# Each installs what is missing, builds the trees (the native one with the portable
# core, its tests and the host tools; the cross-built 32-bit Windows one with
# Lexorin.exe, which users download; the same sources built for x86-64, which runs
# under 64-bit Wine on machines that cannot run 32-bit programs), prepares the Wine
# prefix and then runs the program or the whole test suite.

BUILD   ?= build
HOST    := $(BUILD)/host
WIN     := $(BUILD)/win
WIN64   := $(BUILD)/win64
CMAKE_GEN := -G Ninja

.PHONY: all deps host win win64 build packages dist prefix run test bench screenshots clean

all: build

deps:
	@scripts/install-deps.sh

host: deps
	@test -f $(HOST)/build.ninja || cmake -S . -B $(HOST) $(CMAKE_GEN) -DCMAKE_BUILD_TYPE=Debug >/dev/null
	@cmake --build $(HOST)

# $(1): build tree, $(2): toolchain file.
define configure_win
	@test -f $(1)/build.ninja || cmake -S . -B $(1) $(CMAKE_GEN) -DCMAKE_BUILD_TYPE=Release \
	    -DCMAKE_TOOLCHAIN_FILE=$(CURDIR)/cmake/$(2) \
	    -DLEX_HOST_TOOLS=$(abspath $(HOST))/tools >/dev/null
endef

win: host
	$(call configure_win,$(WIN),mingw-i686.cmake)
	@cmake --build $(WIN)

win64: host
	$(call configure_win,$(WIN64),mingw-x86_64.cmake)
	@cmake --build $(WIN64)

build: win win64

# The portable zip and the installer, with their SHA-256 sums, in $(BUILD)/dist-packages:
# always the 32-bit program.
packages: win
	@cmake --build $(WIN) --target packages

dist: packages

prefix: deps
	@scripts/prepare-prefix.sh

# The 64-bit tree's packages (NSIS's 64-bit stubs, not for download) let the installer's
# test run where 32-bit programs cannot.
test: build packages prefix
	@cmake --build $(WIN64) --target packages
	@scripts/run-tests.sh $(BUILD)

run: build prefix
	@scripts/run.sh $(BUILD)

bench: build prefix
	@scripts/install-deps.sh --bench
	@scripts/bench.sh $(BUILD)

# Copies the screenshots the end-to-end tests took (PNG) into docs/screenshots.
screenshots:
	@scripts/screenshots.sh $(BUILD)

clean:
	rm -rf $(BUILD)
