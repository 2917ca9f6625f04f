# The two commands of the README: `make run` and `make test`.
BUILD_DIR  ?= build
BUILD_TYPE ?= RelWithDebInfo
JOBS       ?= 2
CMAKE_ARGS ?=
EXAMPLE    ?= examples/paired-t.omd

.PHONY: all deps configure build run test package bench lre gui-bench fuzz fuzz-import fuzz-workbook examples format format-check clean

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

# The Debian package $(BUILD_DIR)/ombrel_<version>_<arch>.deb (CPack), then
# its checks: lintian, appstreamcli, desktop-file-validate.
package: build
	@bash scripts/install-deps.sh package
	cd $(BUILD_DIR) && cpack -G DEB
	bash scripts/check-package.sh $(BUILD_DIR)

bench: configure
	cmake --build $(BUILD_DIR) -j $(JOBS) --target ombrel-bench
	$(BUILD_DIR)/bench/ombrel-bench

# The log relative error of every NIST StRD certified value (tests/data/nist),
# each data set written as a document into $(BUILD_DIR)/nist-documents.
lre: configure
	cmake --build $(BUILD_DIR) -j $(JOBS) --target ombrel-lre
	$(BUILD_DIR)/tools/ombrel-lre --documents $(BUILD_DIR)/nist-documents tests/data/nist

# Rewrites examples/ with the program's own document writer.
examples: configure
	cmake --build $(BUILD_DIR) -j $(JOBS) --target ombrel-make-examples
	$(BUILD_DIR)/tools/ombrel-make-examples examples

# Fuzzes every reader with libFuzzer (clang and the sanitizers, in
# build-fuzz) for FUZZ_SECONDS each; fuzz-import and fuzz-workbook only the
# text importer or the workbook reader.
# CI runs the same script for a shorter time.
FUZZ_SECONDS ?= 600
fuzz:
	@bash scripts/fuzz.sh $(FUZZ_SECONDS)

fuzz-import:
	@bash scripts/fuzz.sh $(FUZZ_SECONDS) import

fuzz-workbook:
	@bash scripts/fuzz.sh $(FUZZ_SECONDS) workbook

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
