# The two entry points: `make test` and `make demo`. Both install what is
# missing, configure and build under build/. `make fuzz` runs the fuzz
# targets in build-fuzz/.
BUILD ?= build
MAKEFLAGS += --no-print-directory
JOBS ?= $(shell nproc)
CMAKE_FLAGS ?=
# The Windows build and its Wine tests join `make test` where Wine is
# installed (WINDOWS=yes installs it).
WINDOWS ?= $(if $(shell command -v wine),yes,no)

.PHONY: all setup configure build test demo bench fuzz clean windows windows-test windows-dist

all: build

setup:
	@bash scripts/setup.sh

configure: setup
	@cmake -S . -B $(BUILD) $(CMAKE_FLAGS) >/dev/null

build: configure
	@cmake --build $(BUILD) -j $(JOBS)

test: build
	@cd $(BUILD) && ctest --output-on-failure -j $(JOBS)
	@if [ "$(WINDOWS)" = yes ]; then $(MAKE) windows-test; fi

demo: build
	@bash scripts/demo.sh $(BUILD)

bench: build
	@bash scripts/bench.sh $(BUILD)

# The fuzz targets, each for FUZZ_SECONDS (CI runs them for 20 s each).
FUZZ_SECONDS ?= 300
fuzz: setup
	@FUZZ_SECONDS=$(FUZZ_SECONDS) FUZZ_ONLY=$(FUZZ_ONLY) bash scripts/fuzz.sh build-fuzz

# Windows (scripts/windows.sh): cross-compiled into build-win32 and
# build-win64, tested under Wine; windows-dist zips the 32-bit programs.
windows:
	@JOBS=$(JOBS) bash scripts/windows.sh build $(CMAKE_FLAGS)

windows-test: windows
	@JOBS=$(JOBS) bash scripts/windows.sh test

windows-dist: windows
	@bash scripts/windows.sh dist

clean:
	rm -rf $(BUILD) build-asan build-fuzz build-win32 build-win64
