# Thin wrapper around CMake: make demo | make test | make bench
BUILD ?= build
JOBS ?= $(shell nproc)
# The second build of `make test`: everything under AddressSanitizer and
# UndefinedBehaviorSanitizer (see scripts/sanitize-test.sh).
SANITIZE_BUILD ?= $(BUILD)-asan

.PHONY: all deps build test test-sanitize demo bench clean

all: build

deps:
	@bash scripts/install-deps.sh

build: deps
	@cmake -S . -B $(BUILD) -DCMAKE_BUILD_TYPE=RelWithDebInfo >/dev/null
	@cmake --build $(BUILD) -j $(JOBS)

test: build
	@cd $(BUILD) && ctest --output-on-failure -j $(JOBS)
	@$(MAKE) --no-print-directory test-sanitize

test-sanitize: deps
	@cmake -S . -B $(SANITIZE_BUILD) -DCMAKE_BUILD_TYPE=RelWithDebInfo -DZV_SANITIZE=ON -DZV_BENCH=OFF >/dev/null
	@cmake --build $(SANITIZE_BUILD) -j $(JOBS)
	@bash scripts/sanitize-test.sh $(SANITIZE_BUILD) $(JOBS)

demo: build
	@bash scripts/demo.sh $(BUILD)

bench: build
	@bash scripts/bench.sh $(BUILD)

clean:
	rm -rf $(BUILD) $(SANITIZE_BUILD)
