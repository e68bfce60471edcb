# SPDX-License-Identifier: GPL-3.0-or-later
# make run      installs what is missing, builds the two programs, starts ZERBO
# make test     installs what is missing, builds, runs the whole test suite
#               (with the package check, tools/check-package.sh, and the
#               driver test in QEMU, tests/drivers/run-driver-test.sh), and
#               builds the programs once more without the tests (build-notest/)
# make package  installs what is missing, builds, makes build/zerbo_VERSION_ARCH.deb
# make firmware builds the board's firmware (build/firmware/zerbo-board.hex)
# make flash    writes it to the board with avrdude (see firmware/README.md)

BUILD_DIR ?= build
PACKAGES := build-essential cmake qt6-base-dev qt6-serialport-dev libgl-dev fonts-liberation \
            $(FIRMWARE_TOOLS) $(SIMULATOR_TOOLS)
# The board's firmware, and the simulated ATmega8 that runs it for make run and the tests.
FIRMWARE_TOOLS := gcc-avr avr-libc binutils-avr
SIMULATOR_TOOLS := simavr libsimavr-dev libelf-dev
# cpack's Debian generator needs dpkg-shlibdeps (dpkg-dev) and file; the
# package check also needs the validators and lintian.
PACKAGE_TOOLS := dpkg-dev file
CHECK_TOOLS := lintian desktop-file-utils appstream man-db
# The driver test: QEMU, a static busybox for the guest's initramfs, apt's
# download of the kernel and udev packages; the unpacked udevadm needs
# systemd's shared library.
DRIVER_TOOLS := qemu-system-x86 busybox-static systemd apt dpkg
JOBS := $(shell nproc 2>/dev/null || echo 2)
PORT ?= $(ZERBO_PORT)

.PHONY: all deps build programs programs-alone run test test-asan bench clean format screenshot package firmware flash

all: build

deps:
	@./tools/install-deps.sh $(PACKAGES)

$(BUILD_DIR)/CMakeCache.txt:
	cmake -S . -B $(BUILD_DIR)

build: deps $(BUILD_DIR)/CMakeCache.txt
	cmake --build $(BUILD_DIR) -j $(JOBS)

# Only the two programs: the tests and the bench are built by make test and
# make bench, so the first make run shows the window sooner.
programs: deps $(BUILD_DIR)/CMakeCache.txt
	cmake --build $(BUILD_DIR) -j $(JOBS) --target zerbo zerbo-board

# Without PORT, ZERBO runs on the virtual board (tools/board); with it, on that device.
run: programs
ifeq ($(PORT),)
	./tools/run-with-board.sh $(BUILD_DIR)
else
	$(BUILD_DIR)/zerbo --port $(PORT)
endif

# Target-specific, so deps installs them too when it runs for these targets.
package test: PACKAGES += $(PACKAGE_TOOLS)
test: PACKAGES += $(CHECK_TOOLS) $(DRIVER_TOOLS)

# The suite first, then the package check and the driver test on their own.
test: build programs-alone
	cd $(BUILD_DIR) && ctest --output-on-failure -j $(JOBS) --label-exclude 'package|drivers'
	cd $(BUILD_DIR) && ctest --output-on-failure --label-regex package
	cd $(BUILD_DIR) && ctest --output-on-failure --label-regex drivers

# The programs and the firmware build without the tests and the bench
# (BUILD_TESTING=OFF, as a distribution may build them), in a tree of their
# own. No build type: unoptimised, without debug information, it builds in
# a fraction of the time, and the release tree above has shown the warnings.
NOTEST_DIR ?= build-notest
CCACHE := $(shell command -v ccache 2>/dev/null)
programs-alone: deps
	cmake -S . -B $(NOTEST_DIR) -DBUILD_TESTING=OFF -DCMAKE_BUILD_TYPE=None \
	    $(if $(CCACHE),-DCMAKE_CXX_COMPILER_LAUNCHER=$(CCACHE))
	cmake --build $(NOTEST_DIR) -j $(JOBS)
	$(NOTEST_DIR)/zerbo --version
	$(NOTEST_DIR)/tools/zerbo-board --version

package: build
	cd $(BUILD_DIR) && cpack -G DEB
	@ls $(BUILD_DIR)/zerbo_*.deb

format:
	clang-format -i $$(git ls-files '*.cpp' '*.h')

clean:
	rm -rf $(BUILD_DIR) $(NOTEST_DIR)

# One table of every performance figure; CPU while waiting is measured over
# IDLE_SECONDS (make bench IDLE_SECONDS=5 for a quick look).
IDLE_SECONDS ?= 20
# The start-up on an X server needs a virtual one and xcb to watch it.
bench: PACKAGES += xvfb libxcb1-dev
bench: deps $(BUILD_DIR)/CMakeCache.txt
	cmake --build $(BUILD_DIR) -j $(JOBS) --target bench_report
	QT_QPA_PLATFORM=offscreen:configfile=$(CURDIR)/tests/screens/1920x1200.json $(BUILD_DIR)/bench/bench_report --idle-seconds $(IDLE_SECONDS)

# The whole suite under AddressSanitizer and UndefinedBehaviorSanitizer (the
# package check stays out: that build is never shipped; so does the driver
# test, too slow sanitized in its guest; what libsimavr never frees is not
# reported, tests/sanitizers/lsan.supp), then a bounded
# libFuzzer run over the reading of numbers from text fields, built by clang
# in a tree of its own.
ASAN_DIR ?= build-asan
FUZZ_DIR ?= build-fuzz
FUZZ_SECONDS ?= 30
test-asan:
	@./tools/install-deps.sh $(PACKAGES) clang libclang-rt-dev
	cmake -S . -B $(ASAN_DIR) -DZERBO_SANITIZE=ON -DCMAKE_BUILD_TYPE=Debug
	cmake --build $(ASAN_DIR) -j $(JOBS)
	cd $(ASAN_DIR) && LSAN_OPTIONS=suppressions=$(CURDIR)/tests/sanitizers/lsan.supp \
	    ctest --output-on-failure -j $(JOBS)
	cmake -S . -B $(FUZZ_DIR) -DCMAKE_CXX_COMPILER=clang++ -DZERBO_FUZZ=ON -DZERBO_SANITIZE=ON \
	    -DBUILD_TESTING=OFF
	cmake --build $(FUZZ_DIR) -j $(JOBS) --target fuzz_numeric_value
	$(FUZZ_DIR)/tests/fuzz/fuzz_numeric_value -max_total_time=$(FUZZ_SECONDS) -max_len=4096

# docs/screenshot.png: ZERBO with the table received from the virtual board,
# taken under a virtual X server.
screenshot: programs
	@./tools/install-deps.sh xvfb x11-utils imagemagick
	./tools/screenshot.sh $(BUILD_DIR) docs/screenshot.png

# The firmware alone: FIRMWARE_CLOCK=rc (8 MHz internal, the default) or
# crystal (7.3728 MHz); FIRMWARE_PAUSE_MS=MS between the bytes of the table.
FIRMWARE_CLOCK ?= rc
FIRMWARE_PAUSE_MS ?= 0
firmware:
	@./tools/install-deps.sh build-essential cmake $(FIRMWARE_TOOLS)
	cmake -S . -B $(BUILD_DIR) -DZERBO_FIRMWARE_CLOCK=$(FIRMWARE_CLOCK) -DZERBO_FIRMWARE_PAUSE_MS=$(FIRMWARE_PAUSE_MS)
	cmake --build $(BUILD_DIR) --target firmware
	avr-size $(BUILD_DIR)/firmware/zerbo-board.elf

# Writes the firmware and the fuses for the chosen clock; with the internal
# RC, first copies the 8 MHz calibration byte to EEPROM byte 0, where the
# firmware loads it into OSCCAL. PROGRAMMER is avrdude's -c (usbasp, avrisp,
# arduino, ...), PORT its -P where the programmer needs one.
PROGRAMMER ?= usbasp
# PORT falls back to ZERBO_PORT (ZERBO's serial port for make run), which is no programmer's.
FLASH_PORT = $(filter-out $(ZERBO_PORT),$(PORT))
AVRDUDE = avrdude -p m8 -c $(PROGRAMMER) $(if $(FLASH_PORT),-P $(FLASH_PORT))
# Low fuse 0xE4: internal RC 8 MHz; 0xFF: external crystal above 3 MHz. High fuse 0xD9: the defaults.
FUSE_LOW_rc := 0xe4
FUSE_LOW_crystal := 0xff
flash: firmware
	@./tools/install-deps.sh avrdude
	$(AVRDUDE) -U lfuse:w:$(FUSE_LOW_$(FIRMWARE_CLOCK)):m -U hfuse:w:0xd9:m
ifeq ($(FIRMWARE_CLOCK),rc)
	$(AVRDUDE) -U calibration:r:$(BUILD_DIR)/firmware/calibration.bin:r
	$(AVRDUDE) -U eeprom:w:$$(od -An -tu1 -j3 -N1 $(BUILD_DIR)/firmware/calibration.bin | tr -d ' '):m
endif
	$(AVRDUDE) -U flash:w:$(BUILD_DIR)/firmware/zerbo-board.hex:i
