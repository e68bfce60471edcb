# SPDX-License-Identifier: GPL-3.0-or-later
# make run      installs what is missing, builds the two programs, starts ZERBO
# make test     installs what is missing, builds, runs the whole test suite
#               (with the package check, tools/check-package.sh, and the
#               driver test in QEMU, tests/drivers/run-driver-test.sh), and
#               builds the programs once more without the tests (build-notest/)
# make package  installs what is missing, builds, makes build/zerbo_VERSION_ARCH.deb
# make firmware builds the board's firmware (build-firmware/firmware/zerbo-board.hex,
#               and zerbo-board-uno.hex for BOARD=uno, nano or nano-old)
# make flash    writes it to the board with avrdude (see firmware/README.md):
#               BOARD=atmega8a (the default) PROGRAMMER=..., or BOARD=uno PORT=...
# make test-fresh  (as root) the README's commands in a new Debian 12 root

BUILD_DIR ?= build
JOBS := $(shell nproc 2>/dev/null || echo 2)
PORT ?= $(ZERBO_PORT)

# The Debian packages, each named once, in groups by what needs them.
# PACKAGES_<target> below says which groups a target installs before it
# builds anything (tools/install-deps.sh skips what is there);
# tests/scripts/package_lists_test.sh checks every name against Debian and
# that each tool the build looks for is in the list of the target using it.
TOOLCHAIN_PACKAGES := build-essential cmake
QT_PACKAGES := qt6-base-dev qt6-serialport-dev libgl-dev fonts-liberation
# The board's firmware, and the simulated ATmega8 that runs it.
FIRMWARE_PACKAGES := gcc-avr avr-libc binutils-avr
SIMULATOR_PACKAGES := simavr libsimavr-dev libelf-dev pkgconf
FLASH_PACKAGES := avrdude
# The bootloader images of the Arduino Uno and Nano, for the simulated Uno
# that the flash test writes through with avrdude.
BOOTLOADER_PACKAGES := arduino-core-avr
# cpack's Debian generator needs dpkg-shlibdeps (dpkg-dev) and file.
DEB_PACKAGES := dpkg-dev file
# The package check's validators and lintian.
CHECK_PACKAGES := lintian desktop-file-utils appstream man-db
# The driver test: QEMU, a static busybox for the guest's initramfs, apt's
# download of the kernel and udev packages; the unpacked udevadm needs
# systemd's shared library.
DRIVER_PACKAGES := qemu-system-x86 busybox-static libsystemd-shared apt dpkg
# A virtual X server and its window tools, for the window manager test, the
# test that the board's window stays in sight, the bench's start-up and the
# screenshot; a real window manager for the tests.
XVFB_PACKAGES := xvfb x11-utils
WM_PACKAGES := openbox
# A headless Wayland desktop with XWayland and Qt's plugin for running on it
# natively, for the test that ZERBO and the board take X11 where they can.
WAYLAND_PACKAGES := weston xwayland qt6-wayland
BENCH_PACKAGES := libxcb1-dev
SCREENSHOT_PACKAGES := imagemagick
SANITIZER_PACKAGES := clang libclang-rt-dev
# make test-fresh bootstraps its Debian root with mmdebstrap.
FRESH_PACKAGES := mmdebstrap

PACKAGES_run := $(TOOLCHAIN_PACKAGES) $(QT_PACKAGES) $(FIRMWARE_PACKAGES) $(SIMULATOR_PACKAGES)
PACKAGES_package := $(PACKAGES_run) $(DEB_PACKAGES)
PACKAGES_test := $(PACKAGES_package) $(CHECK_PACKAGES) $(DRIVER_PACKAGES) $(XVFB_PACKAGES) \
                 $(WM_PACKAGES) $(WAYLAND_PACKAGES) $(FLASH_PACKAGES) $(BOOTLOADER_PACKAGES)
PACKAGES_test-asan := $(PACKAGES_run) $(SANITIZER_PACKAGES)
PACKAGES_bench := $(PACKAGES_run) $(XVFB_PACKAGES) $(BENCH_PACKAGES)
PACKAGES_screenshot := $(PACKAGES_run) $(XVFB_PACKAGES) $(SCREENSHOT_PACKAGES)
PACKAGES_firmware := $(TOOLCHAIN_PACKAGES) $(FIRMWARE_PACKAGES)
PACKAGES_flash := $(PACKAGES_firmware) $(FLASH_PACKAGES)
PACKAGES_test-fresh := $(FRESH_PACKAGES)

# The public targets install their packages first; the steps below them run
# one after another (cmake builds in parallel inside a step).
.NOTPARALLEL:
.PHONY: all deps-% configure build programs programs-alone run test test-asan test-fresh \
        bench clean format screenshot package firmware firmware-image flash flash-check print-packages-%

all: deps-run build

deps-%:
	@./tools/install-deps.sh $(PACKAGES_$*)

# make print-packages-test: the list a target installs, for the tests.
print-packages-%:
	@echo $(PACKAGES_$*)

# ZERBO_COMPLETE: the firmware and the simulator are required, and a test
# that cannot run here fails. The firmware's options are given at every
# configure, so this tree always builds the image the tests expect.
configure:
	cmake -S . -B $(BUILD_DIR) -DZERBO_COMPLETE=ON -DZERBO_FIRMWARE_CLOCK=rc -DZERBO_FIRMWARE_PAUSE_MS=0

build: configure
	cmake --build $(BUILD_DIR) -j $(JOBS)

# Only the two programs: the tests and the bench are built by make test and
# make bench, so the first make run shows the window sooner.
programs: configure
	cmake --build $(BUILD_DIR) -j $(JOBS) --target zerbo zerbo-board

# Without PORT, ZERBO runs on the virtual board (tools/board); with it, on that device.
run: deps-run programs
ifeq ($(PORT),)
	./tools/run-with-board.sh $(BUILD_DIR)
else
	$(BUILD_DIR)/zerbo --port $(PORT)
endif

# The suite first, then the package check and the driver test on their own;
# tools/run-suite.sh fails on a test skipped or not run, as on one failed.
test: deps-test build programs-alone
	./tools/run-suite.sh $(BUILD_DIR) -j $(JOBS) --label-exclude 'package|drivers'
	./tools/run-suite.sh $(BUILD_DIR) --label-regex package
	./tools/run-suite.sh $(BUILD_DIR) --label-regex drivers

# The programs and the firmware build without the tests and the bench
# (BUILD_TESTING=OFF, as a distribution may build them), in a tree of their
# own. No build type: unoptimised, without debug information, it builds in
# a fraction of the time, and the release tree above has shown the warnings.
NOTEST_DIR ?= build-notest
CCACHE := $(shell command -v ccache 2>/dev/null)
programs-alone:
	cmake -S . -B $(NOTEST_DIR) -DBUILD_TESTING=OFF -DCMAKE_BUILD_TYPE=None -DZERBO_COMPLETE=ON \
	    $(if $(CCACHE),-DCMAKE_CXX_COMPILER_LAUNCHER=$(CCACHE))
	cmake --build $(NOTEST_DIR) -j $(JOBS)
	$(NOTEST_DIR)/zerbo --version
	$(NOTEST_DIR)/tools/zerbo-board --version

package: deps-package build
	cd $(BUILD_DIR) && cpack -G DEB
	@ls $(BUILD_DIR)/zerbo_*.deb

format:
	clang-format -i $$(git ls-files '*.cpp' '*.h')

clean:
	rm -rf $(BUILD_DIR) $(NOTEST_DIR) $(FIRMWARE_DIR)

# One table of every performance figure; CPU while waiting is measured over
# IDLE_SECONDS (make bench IDLE_SECONDS=5 for a quick look).
IDLE_SECONDS ?= 20
bench: deps-bench configure
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
test-asan: deps-test-asan
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
screenshot: deps-screenshot programs
	./tools/screenshot.sh $(BUILD_DIR) docs/screenshot.png

# The firmware alone, in a tree of its own (firmware/ is a CMake project by
# itself, without Qt), so that its options never reach build/, whose image
# the tests check: FIRMWARE_CLOCK=rc (8 MHz internal, the default) or
# crystal (7.3728 MHz) for the ATmega8A; FIRMWARE_PAUSE_MS=MS between the
# bytes of the table. BOARD picks the image: atmega8a (zerbo-board.hex), or
# uno, nano and nano-old, which share zerbo-board-uno.hex (ATmega328P, 16 MHz).
FIRMWARE_DIR ?= build-firmware
FIRMWARE_CLOCK ?= rc
FIRMWARE_PAUSE_MS ?= 0
BOARD ?= atmega8a
BOARD_IMAGE_atmega8a := zerbo-board
BOARD_IMAGE_uno := zerbo-board-uno
BOARD_IMAGE_nano := zerbo-board-uno
BOARD_IMAGE_nano-old := zerbo-board-uno
BOARD_IMAGE = $(or $(BOARD_IMAGE_$(BOARD)),$(error BOARD=$(BOARD) is no board here: atmega8a, uno, nano or nano-old))
firmware: deps-firmware firmware-image
firmware-image:
	@: $(BOARD_IMAGE)
	cmake -S firmware -B $(FIRMWARE_DIR) -DZERBO_COMPLETE=ON \
	    -DZERBO_FIRMWARE_CLOCK=$(FIRMWARE_CLOCK) -DZERBO_FIRMWARE_PAUSE_MS=$(FIRMWARE_PAUSE_MS)
	cmake --build $(FIRMWARE_DIR) --target firmware
	avr-size $(FIRMWARE_DIR)/firmware/$(BOARD_IMAGE).elf

# The ATmega8A: writes the firmware and the fuses for the chosen clock; with
# the internal RC, first copies the 8 MHz calibration byte to EEPROM byte 0,
# where the firmware loads it into OSCCAL. PROGRAMMER is avrdude's -c
# (usbasp, avrisp, arduino, ...), PORT its -P where the programmer needs one.
# The Uno and the Nano: through their bootloader over their own USB cable
# (tools/flash-bootloader.sh), PORT the board's port.
PROGRAMMER ?= usbasp
# PORT falls back to ZERBO_PORT (ZERBO's serial port for make run), which is no programmer's.
FLASH_PORT = $(filter-out $(ZERBO_PORT),$(PORT))
AVRDUDE = avrdude -p m8 -c $(PROGRAMMER) $(if $(FLASH_PORT),-P $(FLASH_PORT))
# Low fuse 0xE4: internal RC 8 MHz; 0xFF: external crystal above 3 MHz. High fuse 0xD9: the defaults.
FUSE_LOW_rc := 0xe4
FUSE_LOW_crystal := 0xff
# Programmers avrdude reaches through a serial port; without PORT it would
# quietly try a default port of its own.
SERIAL_PROGRAMMERS := avrisp arduino stk500 stk500v1 stk500v2 butterfly avr109 avr910 buspirate
flash-check:
ifeq ($(BOARD),atmega8a)
ifneq ($(filter $(PROGRAMMER),$(SERIAL_PROGRAMMERS)),)
ifeq ($(FLASH_PORT),)
	@echo "make flash: PROGRAMMER=$(PROGRAMMER) is reached through a serial port: name it with PORT=, e.g. PORT=/dev/ttyUSB0 (ZERBO_PORT is ZERBO's port, not the programmer's)" >&2
	@exit 2
endif
endif
endif

flash: flash-check deps-flash firmware-image
ifeq ($(BOARD),atmega8a)
	$(AVRDUDE) -U lfuse:w:$(FUSE_LOW_$(FIRMWARE_CLOCK)):m -U hfuse:w:0xd9:m
ifeq ($(FIRMWARE_CLOCK),rc)
	$(AVRDUDE) -U calibration:r:$(FIRMWARE_DIR)/firmware/calibration.bin:r
	$(AVRDUDE) -U eeprom:w:$$(od -An -tu1 -j3 -N1 $(FIRMWARE_DIR)/firmware/calibration.bin | tr -d ' '):m
endif
	$(AVRDUDE) -U flash:w:$(FIRMWARE_DIR)/firmware/zerbo-board.hex:i
else
	./tools/flash-bootloader.sh $(BOARD) "$(PORT)" $(FIRMWARE_DIR)/firmware/$(BOARD_IMAGE).hex
endif

# The README's two commands on a new Debian 12 root, as a newcomer runs them
# (tools/test-fresh.sh; as root, about 20 minutes).
# Root is checked first: nothing is installed for a user who cannot run it.
test-fresh:
	@./tools/test-fresh.sh --check-root
	@$(MAKE) --no-print-directory deps-test-fresh
	./tools/test-fresh.sh
