# The whole set-up on a fresh Debian machine: `make test`.
BUILD_DIR ?= build
JOBS ?= $(shell nproc)

.PHONY: all setup configure build test run bench clean

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

bench:
	@bash scripts/setup --bench
	@cmake -S . -B build-bench -G Ninja -DCMAKE_BUILD_TYPE=Release -DTESMIRA_TESTS=OFF -DTESMIRA_BENCH=ON >/dev/null
	@cmake --build build-bench -j $(JOBS)

clean:
	@rm -rf $(BUILD_DIR) build-bench
