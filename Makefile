# make run   installs what is missing, builds, starts ZERBO
# make test  installs what is missing, builds, runs the whole test suite

BUILD_DIR ?= build
PACKAGES := build-essential cmake qt6-base-dev qt6-serialport-dev libgl-dev fonts-liberation
JOBS := $(shell nproc 2>/dev/null || echo 2)
PORT ?=

.PHONY: all deps build run test bench clean format

all: build

deps:
	@./tools/install-deps.sh $(PACKAGES)

$(BUILD_DIR)/CMakeCache.txt:
	cmake -S . -B $(BUILD_DIR)

build: deps $(BUILD_DIR)/CMakeCache.txt
	cmake --build $(BUILD_DIR) -j $(JOBS)

run: build
	$(BUILD_DIR)/zerbo $(if $(PORT),--port $(PORT))

test: build
	cd $(BUILD_DIR) && ctest --output-on-failure -j $(JOBS)

format:
	clang-format -i $$(git ls-files '*.cpp' '*.h')

clean:
	rm -rf $(BUILD_DIR)

bench: build
	@for b in $(BUILD_DIR)/bench/bench_*; do QT_QPA_PLATFORM=offscreen $$b; done
