# SPDX-License-Identifier: GPL-3.0-or-later
# make run      installs what is missing, builds, starts ZERBO
# make test     installs what is missing, builds, runs the whole test suite
#               (with the package check, tools/check-package.sh)
# make package  installs what is missing, builds, makes build/zerbo_VERSION_ARCH.deb

BUILD_DIR ?= build
PACKAGES := build-essential cmake qt6-base-dev qt6-serialport-dev libgl-dev fonts-liberation
# cpack's Debian generator needs dpkg-shlibdeps (dpkg-dev) and file; the
# package check also needs the validators and lintian.
PACKAGE_TOOLS := dpkg-dev file
CHECK_TOOLS := lintian desktop-file-utils appstream man-db
JOBS := $(shell nproc 2>/dev/null || echo 2)
PORT ?= $(ZERBO_PORT)

.PHONY: all deps build run test test-asan bench clean format screenshot package

all: build

deps:
	@./tools/install-deps.sh $(PACKAGES)

$(BUILD_DIR)/CMakeCache.txt:
	cmake -S . -B $(BUILD_DIR)

build: deps $(BUILD_DIR)/CMakeCache.txt
	cmake --build $(BUILD_DIR) -j $(JOBS)

# Without PORT, ZERBO runs on the virtual board (tools/board); with it, on that device.
run: build
ifeq ($(PORT),)
	./tools/run-with-board.sh $(BUILD_DIR)
else
	$(BUILD_DIR)/zerbo --port $(PORT)
endif

# Target-specific, so deps installs them too when it runs for these targets.
package test: PACKAGES += $(PACKAGE_TOOLS)
test: PACKAGES += $(CHECK_TOOLS)

# The suite first, then the package check on its own.
test: build
	cd $(BUILD_DIR) && ctest --output-on-failure -j $(JOBS) --label-exclude package
	cd $(BUILD_DIR) && ctest --output-on-failure --label-regex package

package: build
	cd $(BUILD_DIR) && cpack -G DEB
	@ls $(BUILD_DIR)/zerbo_*.deb

format:
	clang-format -i $$(git ls-files '*.cpp' '*.h')

clean:
	rm -rf $(BUILD_DIR)

# One table of every performance figure; CPU while waiting is measured over
# IDLE_SECONDS (make bench IDLE_SECONDS=5 for a quick look).
IDLE_SECONDS ?= 20
# The start-up on an X server needs a virtual one and xcb to watch it.
bench: PACKAGES += xvfb libxcb1-dev
bench: build
	QT_QPA_PLATFORM=offscreen:configfile=$(CURDIR)/tests/screens/1920x1200.json $(BUILD_DIR)/bench/bench_report --idle-seconds $(IDLE_SECONDS)

# The whole suite under AddressSanitizer and UndefinedBehaviorSanitizer, then
# a bounded libFuzzer run over the reading of numbers from text fields.
ASAN_DIR ?= build-asan
FUZZ_SECONDS ?= 30
test-asan:
	@./tools/install-deps.sh $(PACKAGES) clang libclang-rt-dev
	cmake -S . -B $(ASAN_DIR) -DZERBO_SANITIZE=ON -DCMAKE_BUILD_TYPE=Debug
	cmake --build $(ASAN_DIR) -j $(JOBS)
	cd $(ASAN_DIR) && ctest --output-on-failure -j $(JOBS)
	clang++ -std=c++20 -g -O1 -fPIC -fsanitize=fuzzer,address,undefined -Isrc \
	    $$(pkg-config --cflags Qt6Core) tests/fuzz/fuzz_numeric_value.cpp src/base/numeric_value.cpp \
	    $$(pkg-config --libs Qt6Core) -o $(ASAN_DIR)/fuzz_numeric_value
	$(ASAN_DIR)/fuzz_numeric_value -max_total_time=$(FUZZ_SECONDS) -max_len=4096

# docs/screenshot.png: ZERBO with the table received from the virtual board,
# taken under a virtual X server.
screenshot: build
	@./tools/install-deps.sh xvfb x11-utils imagemagick
	./tools/screenshot.sh $(BUILD_DIR) docs/screenshot.png
