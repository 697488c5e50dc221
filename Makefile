# make run   — install what is missing, build, start the demo media server and the reader
# make test  — install what is missing, build with sanitizers, run every test
#              (with no session bus to start: a bus autolaunched by a library
#              is a child that may hang before it runs, holding what it inherited)
# make bench — install what is missing, build optimised, run the benchmarks
BUILD      ?= build
TEST_BUILD ?= build-asan
JOBS       ?= $(shell nproc)
WERROR     := $(if $(CI),ON,OFF)
SOURCES     = $(shell git ls-files --cached --others --exclude-standard -- '*.cpp' '*.h' 2>/dev/null)

.PHONY: setup build run test bench format format-check fuzz clean package

setup:
	@scripts/setup

build: setup
	@cmake -S . -B $(BUILD) -DCMAKE_BUILD_TYPE=RelWithDebInfo -DREADER_WERROR=$(WERROR) >/dev/null
	@cmake --build $(BUILD) -j$(JOBS)

# The demo media server serves the chapters' media while the reader runs,
# and stops when it ends, however it ends.
run: build
	@$(BUILD)/reader-demo-media-server >/dev/null & server=$$!; \
	  trap 'kill $$server 2>/dev/null' EXIT; trap 'exit 130' INT TERM; \
	  $(BUILD)/program/reader

test: setup format-check
	@cmake -S . -B $(TEST_BUILD) -DCMAKE_BUILD_TYPE=Debug -DREADER_SANITIZE=ON \
	  -DREADER_WERROR=$(WERROR) -DREADER_BUILD_BENCH=OFF >/dev/null
	@cmake --build $(TEST_BUILD) -j$(JOBS)
	cd $(TEST_BUILD) && QT_QPA_PLATFORM=offscreen DBUS_SESSION_BUS_ADDRESS=disabled: \
	  LSAN_OPTIONS=suppressions=$(CURDIR)/tests/lsan.supp:print_suppressions=0 \
	  ctest --output-on-failure -j$(JOBS)

bench: build
	$(BUILD)/bench/startup_bench $(BUILD)/program/reader_startup_probe $(BUILD)/bench/bare_window 61 \
	  --without readahead,pictures
	$(BUILD)/bench/player_bench $(BUILD)/book/book.swf
	$(BUILD)/bench/book_size_bench $(BUILD)/book/book.swf
	@if [ -x $(BUILD)/bench/runtime_book_bench ]; then \
	  $(BUILD)/bench/runtime_book_bench $(BUILD)/book/book.swf $(BUILD)/program; fi
	@echo "peak memory paging through the whole book, against a bare Qt window:"
	@$(BUILD)/bench/player_bench $(BUILD)/book/book.swf --pages | sed 's/^/  reader: /'
	@QT_QPA_PLATFORM=offscreen $(BUILD)/bench/bare_window 2>/dev/null | grep peak | sed 's/^/  bare:   /'
	@echo "  (goal: reader below bare + 65536 kB)"
	$(BUILD)/bench/download/download_bench
	$(BUILD)/bench/runtime_bench 5

format: setup
	@clang-format -i $(SOURCES)

format-check: setup
	@clang-format --dry-run -Werror $(SOURCES) || \
	  { echo "Unformatted code: run 'make format'."; exit 1; }

# The movie reader under libFuzzer (clang): FUZZ_SECONDS of fuzzing, starting
# from tests/fuzz/corpus; new inputs go to build-fuzz/corpus.
FUZZ_SECONDS ?= 600
SWF_READER   = $(addprefix player/,swf.cpp swf_tags.cpp swf_pictures.cpp swf_sound.cpp inflate.cpp file_bytes.cpp)
fuzz:
	@scripts/setup --fuzz
	@mkdir -p build-fuzz/corpus
	clang++ -std=c++20 -O1 -g -fsanitize=fuzzer,address,undefined -I. \
	  $(SWF_READER) tests/fuzz/swf_fuzz.cpp -lz -o build-fuzz/swf_fuzz
	build-fuzz/swf_fuzz -max_total_time=$(FUZZ_SECONDS) -rss_limit_mb=1024 -timeout=10 \
	  -artifact_prefix=build-fuzz/ build-fuzz/corpus tests/fuzz/corpus

# A Debian package, reader_<version>_amd64.deb in $(BUILD)/, checked by
# scripts/check-package.
package: build
	@cmake --build $(BUILD) --target package

clean:
	rm -rf $(BUILD) $(TEST_BUILD)
