# Tarvo: `make run` builds and starts the program, `make test` builds and runs every test.
# The build itself is plain CMake; this file only strings the steps together.

BUILD_DIR ?= build
BUILD_TYPE ?= RelWithDebInfo
JOBS ?= $(shell nproc)
PROGRAM_FOLDER = $(BUILD_DIR)/bin

.PHONY: all deps configure build run test bench format clean

all: build

deps:
	./scripts/install-deps.sh

configure: deps
	cmake -S . -B $(BUILD_DIR) -G Ninja -DCMAKE_BUILD_TYPE=$(BUILD_TYPE) -DTARVO_WERROR=ON

build: configure
	cmake --build $(BUILD_DIR) --parallel $(JOBS)

# Creates the delivered database and Tarvo.ini in the program folder when they are missing, then starts
# the program.
run: build
	$(PROGRAM_FOLDER)/tarvo-setup $(PROGRAM_FOLDER)
	$(PROGRAM_FOLDER)/tarvo

test: build
	cd $(BUILD_DIR) && ctest --output-on-failure --parallel $(JOBS) --timeout 300

bench: build
	@for b in $(BUILD_DIR)/bench/bench_*; do [ -x "$$b" ] && "$$b"; done

format:
	find src tests bench tools -name '*.cpp' -o -name '*.h' | xargs clang-format -i

clean:
	rm -rf $(BUILD_DIR)
