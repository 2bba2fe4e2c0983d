# Tarvo: `make run` builds and starts the program, `make test` builds and runs every test.
# The build itself is plain CMake; this file only strings the steps together.

BUILD_DIR ?= build
BUILD_TYPE ?= RelWithDebInfo
JOBS ?= $(shell nproc)
PROGRAM_DIR = $(BUILD_DIR)/bin
# The user's data (database, Tarvo.ini, logs) lives outside the build tree, so that `make clean` never
# deletes it. The program finds it through TARVO_HOME.
TARVO_HOME ?= $(or $(XDG_DATA_HOME),$(HOME)/.local/share)/Tarvo

.PHONY: all deps configure build program run test bench format clean

all: build

deps:
	./scripts/install-deps.sh

# Configures once; later builds let CMake re-run itself when a CMakeLists.txt changes.
configure: deps
	@if [ ! -f $(BUILD_DIR)/build.ninja ]; then \
		cmake -S . -B $(BUILD_DIR) -G Ninja -DCMAKE_BUILD_TYPE=$(BUILD_TYPE) -DTARVO_WERROR=ON; \
	fi

build: configure
	cmake --build $(BUILD_DIR) --parallel $(JOBS)

# Only what `make run` runs: the program and the tool that prepares its data folder, not the tests and
# benchmarks.
program: configure
	cmake --build $(BUILD_DIR) --parallel $(JOBS) --target tarvo tarvo-setup

# Creates the delivered database and Tarvo.ini in the data folder when they are missing, puts the help
# file there, then starts the program.
run: program
	$(PROGRAM_DIR)/tarvo-setup "$(TARVO_HOME)"
	TARVO_HOME="$(TARVO_HOME)" $(PROGRAM_DIR)/tarvo

test: build
	cd $(BUILD_DIR) && ctest --output-on-failure --parallel $(JOBS) --timeout 300

# Runs every benchmark, also after one has failed, and fails when any of them did.
bench: build
	@failed=; for b in $(BUILD_DIR)/bench/bench_*; do \
		[ -x "$$b" ] || continue; \
		"$$b" || failed="$$failed $$(basename $$b)"; \
	done; \
	if [ -n "$$failed" ]; then echo "Benchmarks that failed:$$failed" >&2; exit 1; fi

format:
	find src tests bench tools -name '*.cpp' -o -name '*.h' | xargs clang-format -i

clean:
	rm -rf $(BUILD_DIR)
