# The whole set-up on a fresh Debian machine: `make test`.
BUILD_DIR ?= build
JOBS ?= $(shell nproc)

RELEASE_DIR ?= build-release
PREFIX ?= /usr/local

.PHONY: all setup configure build test run release install package acceptance bench tsan clean

all: build

setup:
	@bash scripts/setup

configure: setup
	@cmake -S . -B $(BUILD_DIR) -G Ninja -DCMAKE_BUILD_TYPE=Debug -DTESMIRA_SANITIZE=ON -Wno-dev >/dev/null

build: configure
	@cmake --build $(BUILD_DIR) -j $(JOBS)

test: build
	@cd $(BUILD_DIR) && ASAN_OPTIONS=detect_leaks=1:abort_on_error=1 \
	  UBSAN_OPTIONS=print_stacktrace=1:halt_on_error=1 \
	  ctest --output-on-failure -j $(JOBS) --timeout 600

# The optimised program without the sanitizers and without the tests, in its own build folder.
release: setup
	@cmake -S . -B $(RELEASE_DIR) -G Ninja -DCMAKE_BUILD_TYPE=Release -DTESMIRA_TESTS=OFF -Wno-dev >/dev/null

# Starts the optimised program from its build tree: on DISPLAY, else under Xvfb with a picture of its window saved.
run: release
	@BUILD_DIR=$(RELEASE_DIR) JOBS=$(JOBS) bash scripts/run

# Installs the optimised program under PREFIX (DESTDIR for packaging).
install: release
	@cmake --build $(RELEASE_DIR) -j $(JOBS)
	@cmake --install $(RELEASE_DIR) --prefix $(PREFIX)

# A Debian package of the optimised program, in the release build folder.
package: release
	@cmake --build $(RELEASE_DIR) -j $(JOBS)
	@cd $(RELEASE_DIR) && cpack -G DEB >/dev/null && ls -1 $(CURDIR)/$(RELEASE_DIR)/*.deb

# The whole session on the program under Xvfb with real X key events; it runs headless in `make test` too.
acceptance: configure
	@BUILD_DIR=$(BUILD_DIR) JOBS=$(JOBS) bash scripts/acceptance

bench:
	@bash scripts/setup --bench
	@cmake -S . -B build-bench -G Ninja -DCMAKE_BUILD_TYPE=Release -DTESMIRA_TESTS=OFF -DTESMIRA_BENCH=ON >/dev/null
	@cmake --build build-bench -j $(JOBS)
	@bash bench/compare.sh build-bench

# The threaded tests (the calculation run and the engines) under ThreadSanitizer, in their own build folder.
TSAN_DIR ?= build-tsan
TSAN_TESTS ?= ^(CalculationRun|EngineFiles|EngineWindow|InterchangeFiles|SiteFiles)\.
tsan: setup
	@cmake -S . -B $(TSAN_DIR) -G Ninja -DCMAKE_BUILD_TYPE=Debug -DTESMIRA_TSAN=ON -Wno-dev >/dev/null
	@cmake --build $(TSAN_DIR) -j $(JOBS) --target document_tests outside_engines_tests
	@cd $(TSAN_DIR) && TSAN_OPTIONS=halt_on_error=1:second_deadlock_stack=1 \
	  ctest --output-on-failure -j $(JOBS) --timeout 900 -R '$(TSAN_TESTS)'

clean:
	@rm -rf $(BUILD_DIR) $(RELEASE_DIR) build-bench $(TSAN_DIR)
