# The two entry points: `make test` and `make demo`. Both install what is
# missing, configure and build under build/. `make fuzz` runs the fuzz
# targets in build-fuzz/.
BUILD ?= build
MAKEFLAGS += --no-print-directory
JOBS ?= $(shell nproc)
CMAKE_FLAGS ?=

.PHONY: all setup configure build test demo bench fuzz clean

all: build

setup:
	@bash scripts/setup.sh

configure: setup
	@cmake -S . -B $(BUILD) $(CMAKE_FLAGS) >/dev/null

build: configure
	@cmake --build $(BUILD) -j $(JOBS)

test: build
	@cd $(BUILD) && ctest --output-on-failure -j $(JOBS)

demo: build
	@bash scripts/demo.sh $(BUILD)

bench: build
	@bash scripts/bench.sh $(BUILD)

# The fuzz targets, each for FUZZ_SECONDS (CI runs them for 20 s each).
FUZZ_SECONDS ?= 300
fuzz: setup
	@FUZZ_SECONDS=$(FUZZ_SECONDS) FUZZ_ONLY=$(FUZZ_ONLY) bash scripts/fuzz.sh build-fuzz

clean:
	rm -rf $(BUILD) build-asan build-fuzz
