# Two entry points: `make run` builds and runs the builder, `make test` builds
# and runs every test. Both install what is missing first, each only what it
# needs (scripts/install-deps.sh names the sets).
BUILD_DIR ?= build
JOBS ?= $(shell nproc 2>/dev/null || echo 2)

# The set of packages a goal installs, and whether its build folder holds the
# tests: a fresh folder is configured without them (no GoogleTest needed),
# unless the goal runs them; one configured with them keeps them, so that
# `make run` after `make test` builds what `make test` built.
DEPS = run
TESTING = $(if $(wildcard $(BUILD_DIR)/CMakeCache.txt),,OFF)
test: DEPS = test
test: TESTING = ON
bench: DEPS = bench
editors: DEPS = editors
sanitize: DEPS = test
fuzz: DEPS = fuzz
windows-test: DEPS = test
windows-test: TESTING = ON

# make bench BENCH_QUICK=1: every case, two rounds each and smaller lines,
# failing on any error as the full run does (CI runs it so).
BENCH_QUICK ?= 0

FUZZ_SECONDS ?= 60

WINDOWS_DIR ?= build-windows

.PHONY: deps configure build run test editors sanitize fuzz bench clean deps-windows windows windows-test

deps:
	bash scripts/install-deps.sh $(DEPS)

configure: deps
	cmake -S . -B $(BUILD_DIR) -DCMAKE_BUILD_TYPE=Release $(if $(TESTING),-DBUILD_TESTING=$(TESTING))

build: configure
	cmake --build $(BUILD_DIR) -j $(JOBS)

run: build
	./$(BUILD_DIR)/scenario_builder

test: build
	cd $(BUILD_DIR) && ctest --output-on-failure -j $(JOBS) -LE windows

# The editors' files: the grammars written afresh from the readers' keyword
# tables, the VS Code extension packed (npm ci from the registry the first
# time), and dist/editors/ with scenario-files.vsix, vim/ and notepad++/.
editors: build
	bash scripts/editori.sh $(BUILD_DIR) dist/editors

# Compile speed against the floor of writing the same bytes, scenario_tool
# compile against the builder as whole processes, and peak memory.
bench: build
	BUILD_DIR=$(BUILD_DIR) BENCH_QUICK=$(BENCH_QUICK) bash bench/esegui.sh

# The whole test suite again under AddressSanitizer and UndefinedBehaviorSanitizer,
# then the language server's tests (its only threads) under ThreadSanitizer:
# any report of the server, written to build-tsan/tsan.PID, fails the target.
# A sanitizer's error exits with 86, apart from the server's own status 1.
sanitize: deps
	cmake -S . -B build-asan -DCMAKE_BUILD_TYPE=Debug -DSB_SANITIZE=ON
	cmake --build build-asan -j $(JOBS)
	cd build-asan && ASAN_OPTIONS=exitcode=86 LSAN_OPTIONS=suppressions=$(CURDIR)/tests/lsan.supp:print_suppressions=0 ctest --output-on-failure -j $(JOBS)
	cmake -S . -B build-tsan -DCMAKE_BUILD_TYPE=Debug -DSB_SANITIZE_THREAD=ON
	cmake --build build-tsan -j $(JOBS) --target test_lsp scenario_tool
	rm -f build-tsan/tsan.*
	TSAN_OPTIONS=halt_on_error=1:exitcode=86:log_path=$(CURDIR)/build-tsan/tsan build-tsan/tests/test_lsp
	@if ls build-tsan/tsan.* >/dev/null 2>&1; then cat build-tsan/tsan.*; exit 1; fi

# Every libFuzzer target for FUZZ_SECONDS seconds each (clang).
fuzz: deps
	cmake -S . -B build-fuzz -DCMAKE_BUILD_TYPE=RelWithDebInfo -DSB_FUZZ=ON -DCMAKE_CXX_COMPILER=clang++
	cmake --build build-fuzz -j $(JOBS)
	bash fuzz/esegui.sh $(FUZZ_SECONDS)

# The Windows build, cross-compiled with MinGW-w64 into $(WINDOWS_DIR): one
# .exe each, and dist/scenario_builder-windows-x64.zip with both and a short
# guide. Installs the cross compiler and Wine first.
deps-windows:
	bash scripts/install-deps.sh windows

windows: deps-windows
	cmake -S . -B $(WINDOWS_DIR) -DCMAKE_TOOLCHAIN_FILE=cmake/mingw-w64-x86_64.cmake -DCMAKE_BUILD_TYPE=Release -DBUILD_TESTING=ON
	cmake --build $(WINDOWS_DIR) -j $(JOBS)
	bash scripts/pacchetto-windows.sh $(WINDOWS_DIR) dist/scenario_builder-windows-x64.zip

# The Windows unit tests under Wine, then the Windows programs driven from
# Linux (window and message box under Xvfb, files against the Linux build's).
windows-test: windows build
	cd $(WINDOWS_DIR) && ctest --output-on-failure -j $(JOBS)
	cmake -S . -B $(BUILD_DIR) -DSB_EXE_WINDOWS=$(CURDIR)/$(WINDOWS_DIR)
	cmake --build $(BUILD_DIR) -j $(JOBS)
	cd $(BUILD_DIR) && ctest --output-on-failure -L windows

clean:
	rm -rf $(BUILD_DIR) build-asan build-tsan build-fuzz $(WINDOWS_DIR) dist
