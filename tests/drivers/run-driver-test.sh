#!/usr/bin/env bash
# SPDX-License-Identifier: GPL-3.0-or-later
# The driver test: boots Debian's kernel in QEMU (TCG, no KVM needed) with a
# 16550 on ttyS1, an FTDI adapter on ttyUSB0 and no UART behind ttyS0 and
# ttyS2, and runs the real zerbo inside (guest-checks.sh). The far ends of
# both lines are zerbo-board processes on this machine.
# Usage: run-driver-test.sh BUILD_DIR [--shell]   (ctest runs it as driver_test)
# Exit status: 0 passed, 1 failed, 77 skipped (what is missing is named).
set -euo pipefail
build=$(cd "${1:?build directory}" && pwd)
mode=${2:-}
here=$(cd "$(dirname "$0")" && pwd)
cache=$build/driver-test-cache
scratch=$build/driver-test
boot_limit=${ZERBO_DRIVER_BOOT_LIMIT:-90} # seconds to the guest's first line
run_limit=${ZERBO_DRIVER_RUN_LIMIT:-200}  # seconds for the whole guest run

skip() {
    echo "SKIPPED: $* (make test installs it: tools/install-deps.sh)"
    exit 77
}
command -v qemu-system-x86_64 >/dev/null || skip "no qemu-system-x86_64: package qemu-system-x86"
[ -x /bin/busybox ] && /bin/busybox --list | grep -x cpio >/dev/null || # not -q: pipefail
    skip "no static busybox: package busybox-static"
# The guest's udevadm comes unpacked from Debian's udev; its library from systemd here.
compgen -G "/usr/lib/*/systemd/libsystemd-shared-*.so" >/dev/null ||
    skip "no libsystemd-shared for the guest's udevadm: package libsystemd-shared"
board=$build/tools/zerbo-board
for binary in "$build/zerbo" "$board"; do
    [ -x "$binary" ] || { echo "FAIL: $binary is not built"; exit 1; }
done

# Debian's kernel and udev, fetched through apt and unpacked into the cache:
# never installed on this machine.
fetch() {
    local package=$1 into=$2
    [ -d "$into" ] && return 0
    local download=$cache/download
    rm -rf "$download" && mkdir -p "$download"
    (cd "$download" && apt-get download "$package" >"$download/apt.log" 2>&1) || {
        cat "$download/apt.log"
        skip "could not download Debian package $package"
    }
    dpkg-deb -x "$download"/*.deb "$into.part" && mv "$into.part" "$into"
    rm -rf "$download"
}
mkdir -p "$cache"
kernel_package=$(apt-cache depends linux-image-amd64 2>/dev/null | awk '/Depends: linux-image-/ {print $2; exit}')
[ -n "$kernel_package" ] || kernel_package=$(ls "$cache" | grep -m1 '^linux-image-' || true)
[ -n "$kernel_package" ] || skip "apt knows no linux-image-amd64 (kernel package)"
fetch "$kernel_package" "$cache/$kernel_package"
fetch udev "$cache/udev"
kernel_root=$cache/$kernel_package
vmlinuz=$(ls "$kernel_root"/boot/vmlinuz-* | head -1)
modules=$(ls -d "$kernel_root"/lib/modules/* | head -1)

# The initramfs: busybox, the modules the lines and the 9p root need, /init.
rm -rf "$scratch" && mkdir -p "$scratch/initrd"/{bin,proc,sys,dev,modules} "$scratch/out"
cp /bin/busybox "$scratch/initrd/bin/"
for name in usb-common usbcore xhci-hcd xhci-pci usbserial ftdi_sio virtio virtio_ring \
    virtio_pci_modern_dev virtio_pci_legacy_dev virtio_pci virtio_console netfs fscache \
    9pnet 9pnet_virtio 9p; do
    find "$modules" -name "$name.ko" -exec cp {} "$scratch/initrd/modules/" \;
done
cp "$here/guest-init.sh" "$scratch/initrd/init"
echo "$here/guest-checks.sh" >"$scratch/initrd/checks-path"
# The guest gives the chroot a /tmp and a /run of its own; a clone or build
# tree under them must stay in sight.
printf '%s\n' "$here" "$build" >"$scratch/initrd/keep-paths"
(cd "$scratch/initrd" && find . | /bin/busybox cpio -o -H newc 2>/dev/null | gzip -1) >"$scratch/initrd.gz"
cat >"$scratch/out/env" <<ENV
build=$build
udev_root=$cache/udev
ENV

# The far ends: a virtual board on each line, echoing (the wire of a cable
# test) and sending the table at "key1" on its standard input.
pids=()
cleanup() {
    for pid in "${pids[@]}"; do kill "$pid" 2>/dev/null || true; done
    wait 2>/dev/null || true
}
trap cleanup EXIT
start_board() {
    local name=$1
    mkfifo "$scratch/$name.keys"
    "$board" --headless --echo --key-from-stdin --link "$scratch/$name" \
        <"$scratch/$name.keys" >"$scratch/$name.log" 2>&1 &
    pids+=($!)
    exec {fd}>"$scratch/$name.keys" # keeps its standard input open
    eval "${name}_keys=$fd"
    eval "${name}_pid=$!"
    for _ in $(seq 100); do [ -e "$scratch/$name" ] && return; sleep 0.1; done
    echo "FAIL: zerbo-board did not publish $scratch/$name"
    exit 1
}
start_board uart
start_board usb

printf '%s\n' usb_serial_handle_control serial_write >"$scratch/trace-events"
append="console=hvc0 panic=-1 quiet"
[ "$mode" = --shell ] && append="$append zerbo.shell"
qemu=(qemu-system-x86_64 -machine pc -accel tcg -smp 1 -m 768 -nodefaults -no-user-config
    -display none -no-reboot -kernel "$vmlinuz" -initrd "$scratch/initrd.gz" -append "$append"
    -device virtio-serial-pci
    -device isa-serial,index=1,chardev=uart -chardev serial,id=uart,path="$scratch/uart"
    -device qemu-xhci -device usb-serial,id=adapter,chardev=usb -chardev serial,id=usb,path="$scratch/usb"
    -virtfs local,path=/,mount_tag=hostroot,security_model=none,readonly=on,multidevs=remap
    -virtfs local,path="$scratch/out",mount_tag=out,security_model=none
    -trace events="$scratch/trace-events",file="$scratch/trace.log")
if [ "$mode" = --shell ]; then
    "${qemu[@]}" -chardev stdio,id=con,signal=off -device virtconsole,chardev=con
    exit 0
fi
# QEMU's monitor on two pipes: the adapter is unplugged (its device and
# chardev removed, a USB disconnect in the guest) and plugged in again there.
mkfifo "$scratch/monitor.in" "$scratch/monitor.out"
cat "$scratch/monitor.out" >"$scratch/monitor.log" &
pids+=($!)
start=$(date +%s)
"${qemu[@]}" -chardev file,id=con,path="$scratch/console.log" -device virtconsole,chardev=con \
    -chardev pipe,id=monitor,path="$scratch/monitor" -mon chardev=monitor,mode=readline &
qemu_pid=$!
pids+=($qemu_pid)
exec {monitor}>"$scratch/monitor.in"
busy_seen=0 # the chardev's "is busy" answers seen while it was still held
chardev_busy() { grep -c "is busy" "$scratch/monitor.log" || true; }
adapter=adapter chardev=usb plugs=0
unplug_adapter() { # the device first; its chardev is free once QEMU has let go
    printf 'device_del %s\n' "$adapter" >&"$monitor"
    for _ in $(seq 30); do
        sleep 0.3
        printf 'chardev-remove %s\n' "$chardev" >&"$monitor"
        sleep 0.3
        [ "$(chardev_busy)" -gt "$busy_seen" ] || return 0
        busy_seen=$(chardev_busy)
    done
}

# The guest asks for what only this side can do by files in the shared
# directory: "key1-NAME" presses key 1 on a board, "stop-NAME"/"cont-NAME"
# silence and resume its echo, "unplug-usb"/"plug-usb" pull out the adapter
# and plug it in again.
boot_logged=""
while kill -0 "$qemu_pid" 2>/dev/null; do
    elapsed=$(($(date +%s) - start))
    if [ -z "$boot_logged" ] && [ -e "$scratch/out/results" ]; then
        boot_logged=yes
        echo "guest up after $elapsed s"
    fi
    if { [ -z "$boot_logged" ] && [ "$elapsed" -ge "$boot_limit" ]; } || [ "$elapsed" -ge "$run_limit" ]; then
        phase=boot && [ -n "$boot_logged" ] && phase=finish
        echo "FAIL: the guest did not $phase within $elapsed s; its console:"
        cat "$scratch/console.log" 2>/dev/null || true
        [ -e "$scratch/out/results" ] && cat "$scratch/out/results"
        exit 1
    fi
    for request in "$scratch"/out/request-*; do
        case $request in *.done) continue ;; esac
        [ -e "$request" ] || continue
        case ${request##*/request-} in
        key1-uart) echo key1 >&"$uart_keys" ;;
        key1-usb) echo key1 >&"$usb_keys" ;;
        stop-uart) kill -STOP "$uart_pid" ;;
        cont-uart) kill -CONT "$uart_pid" ;;
        unplug-usb) unplug_adapter ;;
        plug-usb) # new names: QEMU frees the old ones only later
            plugs=$((plugs + 1)) adapter=adapter$plugs chardev=usb$plugs
            printf '%s\n' "chardev-add serial,id=$chardev,path=$scratch/usb" \
                "device_add usb-serial,id=$adapter,chardev=$chardev" >&"$monitor"
            ;;
        esac
        rm -f "$request"
        touch "$request.done"
    done
    sleep 0.2
done
echo "guest ran $(($(date +%s) - start)) s"

[ -e "$scratch/out/results" ] || {
    echo "FAIL: the guest ended without results; its console:"
    cat "$scratch/console.log"
    exit 1
}
cat "$scratch/out/results"
failures=$(grep -c '^FAIL' "$scratch/out/results" || true)
[ "$failures" -eq 0 ] || cat "$scratch/out/outputs" 2>/dev/null || true
fail() {
    echo "FAIL: $*"
    failures=$((failures + 1))
}
grep -q '^done$' "$scratch/out/results" || fail "the guest checks did not finish"

# The FTDI's own requests: SET_MODEM_CTRL (0x4001) with a DTR (0x100) or RTS
# (0x200) mask and the line's bit clear drops it. Nothing in the run may.
drops=0
for value in $(sed -n 's/.*got control 0x4001, value \(0x[0-9a-f]*\).*/\1/p' "$scratch/trace.log"); do
    if (((value & 0x100) && !(value & 1))) || (((value & 0x200) && !(value & 2))); then
        drops=$((drops + 1))
    fi
done
if [ "$drops" -eq 0 ]; then
    echo "ok: the FTDI adapter got no request to drop DTR or RTS"
else
    fail "the FTDI adapter was told $drops times to drop DTR or RTS"
    grep 0x4001 "$scratch/trace.log" | head -20
fi

# The 16550's modem-control register (offset 4): once DTR and RTS (bits 0
# and 1) are up, no close or reopen may clear them.
raised="" uart_drops=0
for value in $(sed -n 's/.*serial_write write addr 0x04 val \(0x[0-9a-f]*\).*/\1/p' "$scratch/trace.log"); do
    if (((value & 3) == 3)); then
        raised=yes
    elif [ -n "$raised" ]; then
        uart_drops=$((uart_drops + 1))
    fi
done
if [ -z "$raised" ]; then
    fail "the 16550 never had DTR and RTS up"
elif [ "$uart_drops" -eq 0 ]; then
    echo "ok: the 16550's modem-control register kept DTR and RTS up across every close"
else
    fail "the 16550's modem-control register dropped DTR or RTS $uart_drops times"
fi
# Busy answers the unplugging saw were retried; any other error is a fault.
if [ "$(chardev_busy)" -eq "$busy_seen" ] && ! grep -a '^Error' "$scratch/monitor.log" | grep -qv 'is busy'; then
    echo "ok: QEMU removed and added the adapter and its chardev without an error"
else
    fail "QEMU's monitor answered with an error:"
    tr -d '\r' <"$scratch/monitor.log" | grep -a '^Error'
fi
[ "$failures" -eq 0 ] || { echo "$failures failed"; exit 1; }
echo "driver test passed"
