# make run   — install what is missing, build, start the reader on the demo book
# make test  — install what is missing, build with sanitizers, run every test
# make bench — install what is missing, build optimised, run the benchmarks
BUILD      ?= build
TEST_BUILD ?= build-asan
JOBS       ?= $(shell nproc)
WERROR     := $(if $(CI),ON,OFF)
SOURCES     = $(shell git ls-files --cached --others --exclude-standard -- '*.cpp' '*.h' 2>/dev/null)

.PHONY: setup build run test bench format format-check fuzz clean

setup:
	@scripts/setup

build: setup
	@cmake -S . -B $(BUILD) -DCMAKE_BUILD_TYPE=RelWithDebInfo -DREADER_WERROR=$(WERROR) >/dev/null
	@cmake --build $(BUILD) -j$(JOBS)

run: build
	$(BUILD)/program/reader

test: setup format-check
	@cmake -S . -B $(TEST_BUILD) -DCMAKE_BUILD_TYPE=Debug -DREADER_SANITIZE=ON \
	  -DREADER_WERROR=$(WERROR) -DREADER_BUILD_BENCH=OFF >/dev/null
	@cmake --build $(TEST_BUILD) -j$(JOBS)
	cd $(TEST_BUILD) && QT_QPA_PLATFORM=offscreen \
	  LSAN_OPTIONS=suppressions=$(CURDIR)/tests/lsan.supp:print_suppressions=0 \
	  ctest --output-on-failure -j$(JOBS)

bench: build
	$(BUILD)/bench/startup_bench $(BUILD)/program/reader_startup_probe $(BUILD)/bench/bare_window

format: setup
	@clang-format -i $(SOURCES)

format-check: setup
	@clang-format --dry-run -Werror $(SOURCES) || \
	  { echo "Unformatted code: run 'make format'."; exit 1; }

clean:
	rm -rf $(BUILD) $(TEST_BUILD)
