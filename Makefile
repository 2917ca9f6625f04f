# The two commands of the README: `make run` and `make test`.
BUILD_DIR  ?= build
BUILD_TYPE ?= RelWithDebInfo
JOBS       ?= 2
CMAKE_ARGS ?=
EXAMPLE    ?= examples/paired-t.omd

.PHONY: all deps configure build run test bench gui-bench fuzz fuzz-import fuzz-workbook examples format format-check clean

all: build

deps:
	@bash scripts/install-deps.sh

# The folder is configured again whenever these arguments differ from its
# last configure's (kept in .configure-args), from scratch so that an option
# left out goes back to its default: CMAKE_ARGS="-DOMBREL_WERROR=ON" is never
# silently dropped on a folder configured without it.
CONFIGURE_ARGS := -G Ninja -DCMAKE_BUILD_TYPE=$(BUILD_TYPE) $(CMAKE_ARGS)

configure: deps
	@if [ ! -f $(BUILD_DIR)/build.ninja ] || [ "$$(cat $(BUILD_DIR)/.configure-args 2>/dev/null)" != '$(CONFIGURE_ARGS)' ]; then \
	  rm -f $(BUILD_DIR)/CMakeCache.txt; \
	  cmake -S . -B $(BUILD_DIR) $(CONFIGURE_ARGS) && echo '$(CONFIGURE_ARGS)' > $(BUILD_DIR)/.configure-args; \
	fi

build: configure
	cmake --build $(BUILD_DIR) -j $(JOBS)

run: build
	@if [ -n "$$DISPLAY" ] || [ -n "$$WAYLAND_DISPLAY" ]; then \
	  $(BUILD_DIR)/src/gui/ombrel; \
	else \
	  echo "No display found: showing the report of $(EXAMPLE) with ombrel-cli instead."; \
	  $(BUILD_DIR)/src/cli/ombrel-cli report $(EXAMPLE); \
	fi

test: build
	ctest --test-dir $(BUILD_DIR) -j $(JOBS) --output-on-failure

bench: configure
	cmake --build $(BUILD_DIR) -j $(JOBS) --target ombrel-bench
	$(BUILD_DIR)/bench/ombrel-bench

# Rewrites examples/ with the program's own document writer.
examples: configure
	cmake --build $(BUILD_DIR) -j $(JOBS) --target ombrel-make-examples
	$(BUILD_DIR)/tools/ombrel-make-examples examples

# Fuzzes the document reader with libFuzzer for FUZZ_SECONDS (clang needed);
# fuzz-import the text importer, fuzz-workbook the workbook reader (.xlsx,
# .ods). Each keeps its findings in build-fuzz/ and starts from its seeds in
# fuzz/ (corpus, corpus-import, corpus-workbook).
FUZZ_SECONDS ?= 600
# $(1): the fuzz target, $(2): its corpus folder, $(3): the longest input.
define run_fuzzer
	@bash scripts/install-deps.sh fuzz
	cmake -S . -B build-fuzz -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo -DCMAKE_CXX_COMPILER=clang++ \
	  -DOMBREL_BUILD_GUI=OFF -DOMBREL_BUILD_TESTS=OFF -DOMBREL_SANITIZE=ON -DOMBREL_FUZZ=ON
	cmake --build build-fuzz -j $(JOBS) --target $(1)
	mkdir -p build-fuzz/$(2)
	build-fuzz/fuzz/$(1) -max_total_time=$(FUZZ_SECONDS) -max_len=$(3) -timeout=10 \
	  -rss_limit_mb=2048 build-fuzz/$(2) fuzz/$(2)
endef
fuzz:
	$(call run_fuzzer,ombrel-fuzz-reader,corpus,200000)
fuzz-import:
	$(call run_fuzzer,ombrel-fuzz-import,corpus-import,20000)
fuzz-workbook:
	$(call run_fuzzer,ombrel-fuzz-workbook,corpus-workbook,65536)

gui-bench: configure
	cmake --build $(BUILD_DIR) -j $(JOBS) --target ombrel-gui-bench
	$(BUILD_DIR)/bench/gui/ombrel-gui-bench

# Formats every C++ file as .clang-format says; format-check only checks.
format:
	@bash scripts/check-format.sh --fix
format-check:
	@bash scripts/check-format.sh

clean:
	rm -rf $(BUILD_DIR)
