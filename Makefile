# Thin wrapper over CMake: `make run` renders the main job's images into out/,
# `make test` builds and runs the test suite. Both install what they need.
BUILD ?= build
JOBS ?= $(shell nproc)

.PHONY: all setup configure build run test docs clean bench bench-cli demo demo-shot sanitize tsan fuzz fuzz-smoke library-only

all: build

setup:
	@bash scripts/setup.sh

configure: setup
	@cmake -S . -B $(BUILD) -DCMAKE_BUILD_TYPE=RelWithDebInfo >/dev/null

build: configure
	@cmake --build $(BUILD) -j $(JOBS)

run: build
	@mkdir -p out
	@$(BUILD)/tools/lexaro samples -o out --background white --padding 12
	@$(BUILD)/tools/lexaro samples -o out/turned --angle 30 --background white --padding 12
	@$(BUILD)/tools/lexaro-showcase out

test: build
	@cd $(BUILD) && ctest --output-on-failure -j $(JOBS)

# The markup reference's images and symbol table, drawn from docs/markup.md's
# own examples and from the vocabulary into docs/markup/, and the TeX guide's
# images from docs/tex.md's examples into docs/tex/.
docs: build
	@sh scripts/docs.sh render $(BUILD)/tools/lexaro $(BUILD)/tools/lexaro-showcase

# The demo program on the desktop; demo-shot draws a sample without one and
# writes the window into out/demo.png.
demo: configure
	@cmake --build $(BUILD) -j $(JOBS) --target LexaroDemo
	@$(BUILD)/demo/LexaroDemo

demo-shot: configure
	@cmake --build $(BUILD) -j $(JOBS) --target LexaroDemo
	@mkdir -p out
	@QT_QPA_PLATFORM=offscreen $(BUILD)/demo/LexaroDemo --sample 1010 --angle 30 --screenshot out/demo.png

# Benchmarks need an optimised build of their own. BENCH_FILTER is a regular
# expression passed to the benchmark program as one quoted argument, so it
# may hold '|' and parentheses; BENCH_ARGS passes further options.
BENCH_FILTER ?= .
# The library, the program and the benchmarks alone: no Qt, no tests.
BENCH_CONFIGURE = cmake -S . -B build-bench -DCMAKE_BUILD_TYPE=Release -DBUILD_TESTING=OFF \
	-DLEXARO_BUILD_TESTS=OFF -DLEXARO_BUILD_CONTROLS=OFF -DLEXARO_BUILD_DEMO=OFF >/dev/null
bench: setup
	@$(BENCH_CONFIGURE)
	@cmake --build build-bench -j $(JOBS) --target lexaro_bench
	@build-bench/bench/lexaro_bench --benchmark_filter='$(BENCH_FILTER)' $(BENCH_ARGS)

# The program as users run it: cold `lexaro render` and `lexaro batch` against
# the file system's floor (bench/cli_bench.sh; BENCH_BASELINE names another
# lexaro program to time alternately).
bench-cli: setup
	@$(BENCH_CONFIGURE)
	@cmake --build build-bench -j $(JOBS) --target lexaro-cli lexaro_batch_floor
	@bash bench/cli_bench.sh build-bench $(BENCH_BASELINE)

# The library and its program alone, without Qt, GoogleTest or Google
# Benchmark, in build-lib/: built, installed into a scratch prefix and used.
library-only:
	@JOBS=$(JOBS) bash scripts/library_only.sh

# The whole test suite under AddressSanitizer, UndefinedBehaviorSanitizer and
# LeakSanitizer, in build-asan/.
sanitize:
	@JOBS=$(JOBS) bash scripts/sanitize.sh

# The engine tests, threaded ones among them, under ThreadSanitizer in build-tsan/.
tsan:
	@JOBS=$(JOBS) bash scripts/tsan.sh

# The fuzz targets (clang, libFuzzer) in build-fuzz/, each run FUZZ_SECONDS;
# fuzz-smoke runs each one SMOKE_SECONDS, as CI does.
FUZZ_SECONDS ?= 60
SMOKE_SECONDS ?= 20
fuzz:
	@JOBS=$(JOBS) bash scripts/fuzz.sh build
	@bash scripts/fuzz.sh run $(FUZZ_SECONDS)

fuzz-smoke:
	@JOBS=$(JOBS) bash scripts/fuzz.sh build
	@bash scripts/fuzz.sh run $(SMOKE_SECONDS)

clean:
	rm -rf $(BUILD) out
