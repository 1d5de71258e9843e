# The two commands of the README:
#   make demo   installs what is needed, builds, and runs the sample job on the bundled data
#   make test   installs what is needed, builds, and runs every test
BUILD ?= build
ASAN_BUILD ?= build-asan
JOBS ?= $(shell nproc)
CMAKE_FLAGS ?= -DCMAKE_BUILD_TYPE=RelWithDebInfo

.PHONY: deps configure build demo test asan fuzz bench format format-check clean

deps:
	@scripts/install-deps

configure: deps
	@cmake -S . -B $(BUILD) $(CMAKE_FLAGS) >/dev/null

build: configure
	@cmake --build $(BUILD) -j $(JOBS)

# Only the command: the demo needs nothing else built.
demo: configure
	@cmake --build $(BUILD) -j $(JOBS) --target quillet
	$(BUILD)/src/cli/quillet labels examples/world.json --layer "Countries by continent" \
	  --expression '$$$$LABEL ([pop].Sum.FormatNumber(0) people in [pop].Count countries)'

test: build
	cd $(BUILD) && ctest --output-on-failure -j $(JOBS)

# The whole suite once more under AddressSanitizer and UndefinedBehaviorSanitizer.
asan: deps
	@cmake -S . -B $(ASAN_BUILD) -DCMAKE_BUILD_TYPE=Debug -DQUILLET_SANITIZE=ON -DQUILLET_BENCH=OFF >/dev/null
	@cmake --build $(ASAN_BUILD) -j $(JOBS)
	cd $(ASAN_BUILD) && ctest --output-on-failure -j $(JOBS)

# The fuzzers (clang's libFuzzer), each for FUZZ_SECONDS on its seed corpus: the expression
# parser, the XML reader under QGIS projects, the JSON map reader, the Format pattern formatter
# and the qualifier of QGIS filters.
FUZZ_BUILD ?= build-fuzz
FUZZ_SECONDS ?= 30
FUZZERS = expression:corpus xml:xml_corpus json_map:json_corpus format:format_corpus \
  subset_string:subset_corpus
fuzz: deps
	@cmake -S . -B $(FUZZ_BUILD) -DCMAKE_CXX_COMPILER=clang++ -DCMAKE_BUILD_TYPE=RelWithDebInfo \
	  -DQUILLET_FUZZ=ON -DQUILLET_TESTS=OFF -DQUILLET_BENCH=OFF >/dev/null
	@cmake --build $(FUZZ_BUILD) -j $(JOBS) --target $(foreach f,$(FUZZERS),$(firstword $(subst :, ,$(f)))_fuzzer)
	@for fuzzer in $(FUZZERS); do \
	  name=$${fuzzer%%:*}; seeds=fuzz/$${fuzzer#*:}; mkdir -p $(FUZZ_BUILD)/$$name-corpus; \
	  $(FUZZ_BUILD)/fuzz/$${name}_fuzzer -max_total_time=$(FUZZ_SECONDS) $(FUZZ_BUILD)/$$name-corpus \
	    $$seeds > $(FUZZ_BUILD)/$$name-fuzz.log 2>&1 || { tail -n 60 $(FUZZ_BUILD)/$$name-fuzz.log; exit 1; }; \
	  echo "$$name fuzzer: $$(tail -n 1 $(FUZZ_BUILD)/$$name-fuzz.log)"; \
	done

# Label runs on synthetic layers of 1 and 5 million features, each against the one-pass SQLite
# answer (README, "Performance"); the layers are written once into $(BUILD)/bench/data. Not part
# of the tests. BENCH_ARGS picks sizes, runs and workloads, e.g. "--sizes 1000000 --runs 3".
BENCH_ARGS ?=
bench: build
	$(BUILD)/bench/quillet-bench $(BENCH_ARGS)

FORMAT_FILES = $(shell git ls-files '*.h' '*.cpp')
format:
	clang-format -i $(FORMAT_FILES)

format-check:
	clang-format --dry-run --Werror $(FORMAT_FILES)

clean:
	rm -rf $(BUILD) $(ASAN_BUILD)
