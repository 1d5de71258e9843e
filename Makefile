# The two commands of the README:
#   make demo   installs what is needed, builds, and runs the sample job on the bundled data
#   make test   installs what is needed, builds, and runs every test
BUILD ?= build
ASAN_BUILD ?= build-asan
JOBS ?= $(shell nproc)
CMAKE_FLAGS ?= -DCMAKE_BUILD_TYPE=RelWithDebInfo

.PHONY: deps configure build demo test asan fuzz bench format format-check clean qgis-plugin \
  install-qgis-plugin

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

# The QGIS plugin as a zip for QGIS's "Install from ZIP": the plugin and the quillet module
# compiled for Debian's Python, the one QGIS runs.
qgis-plugin: configure
	@cmake --build $(BUILD) -j $(JOBS) --target qgis_plugin
	@echo "QGIS plugin: $(BUILD)/qgis-plugin/quillet_labels.zip"

# Unpacked into the default QGIS profile, where QGIS looks for plugins, and switched on there.
# QGIS itself (Debian's qgis) comes along when it is missing.
QGIS_PROFILE ?= $(HOME)/.local/share/QGIS/QGIS3/profiles/default
install-qgis-plugin: qgis-plugin
	@scripts/install-deps qgis
	rm -rf "$(QGIS_PROFILE)/python/plugins/quillet_labels"
	mkdir -p "$(QGIS_PROFILE)/python/plugins"
	/usr/bin/python3 -m zipfile -e $(BUILD)/qgis-plugin/quillet_labels.zip \
	  "$(QGIS_PROFILE)/python/plugins"
	/usr/bin/python3 -c 'import sys; from qgis.PyQt.QtCore import QSettings; \
	  s = QSettings(sys.argv[1], QSettings.IniFormat); \
	  s.setValue("PythonPlugins/quillet_labels", True); s.sync()' "$(QGIS_PROFILE)/QGIS/QGIS3.ini"
	@echo "Installed into $(QGIS_PROFILE); (re)start QGIS and right-click a layer"

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

# Label runs on synthetic layers of 1 and 5 million features, each against the one-pass answer
# of the same question (README, "Performance"): in one process against SQLite, and as a user runs
# quillet against sqlite3, ogrinfo and psql (the PostgreSQL servers of the tests, started for it);
# the layers are written once into $(BUILD)/bench/data. Not part of the tests. BENCH_ARGS picks
# sizes, runs and workloads, e.g. "--sizes 1000000 --runs 3".
BENCH_ARGS ?=
BENCH_POSTGRES ?= /tmp/quillet-bench-postgres
bench: build
	@tests/postgres_servers.sh start $(BENCH_POSTGRES) data
	@postgres=$$(test -S $(BENCH_POSTGRES)/.s.PGSQL.54329 && echo "--postgres $(BENCH_POSTGRES)"); \
	  $(BUILD)/bench/quillet-bench $$postgres $(BENCH_ARGS); status=$$?; \
	  tests/postgres_servers.sh stop $(BENCH_POSTGRES); exit $$status

FORMAT_FILES = $(shell git ls-files '*.h' '*.cpp')
format:
	clang-format -i $(FORMAT_FILES)

format-check:
	clang-format --dry-run --Werror $(FORMAT_FILES)

clean:
	rm -rf $(BUILD) $(ASAN_BUILD)
