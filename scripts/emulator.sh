#!/bin/bash
# Runs a command inside a full-system emulator that executes 32-bit code, for machines that refuse it.
#
#   scripts/emulator.sh [--] COMMAND [ARGUMENTS...]
#
# The guest boots Debian's own kernel (downloaded once as a package, never installed on the host) with a
# small busybox initramfs. It sees the host's root file system read-only over 9p, under a tmpfs overlay,
# so it runs the host's installed Wine (wine32 included) on the host's build folder; the build folder
# itself is shared writable, so whatever the command writes there (test reports, the Wine prefix) stays.
# The command runs as the calling user, in the current folder, with a veth adapter 192.0.2.10/24 whose
# gateway 192.0.2.1 has a known MAC address (the guest has no network of its own). Its output is this
# script's output and its exit status this script's exit status (125: the guest did not report one).
#
# Prepared once and cached in $XIRARP_BUILD/emulator. XIRARP_EMULATOR_MEMORY (default 6G) and
# XIRARP_EMULATOR_CPUS (default: all) size the guest.
set -u
source "$(dirname "$0")/common.sh"
[ "${1:-}" = "--" ] && shift
if [ $# -eq 0 ]; then
    echo "usage: $0 [--] COMMAND [ARGUMENTS...]" >&2
    exit 2
fi

lane="$XIRARP_BUILD/emulator"
kernel_dir="$lane/kernel"
initrd="$lane/initrd.cpio.gz"
# In the order of the kernel's modules.dep: virtio transport, 9p over virtio, overlayfs, veth.
modules=(virtio_ring virtio virtio_pci_legacy_dev virtio_pci_modern_dev virtio_pci netfs fscache 9pnet 9pnet_virtio
    9p overlay veth)

for tool in qemu-system-x86_64 busybox; do
    command -v "$tool" >/dev/null || { echo "emulator.sh: $tool is missing (packages qemu-system-x86, busybox-static)" >&2; exit 1; }
done
mkdir -p "$lane"
exec 8>"$lane/.lock"
flock 8 # one guest at a time per build folder: they share the job folder and the Wine prefixes

# Debian's kernel with just the modules the guest loads.
prepare_kernel() {
    [ -f "$kernel_dir/vmlinuz" ] && return 0
    local package unpacked
    package="$(apt-cache depends linux-image-amd64 2>/dev/null | sed -n 's/^ *Depends: \(linux-image-[^ ]*\)$/\1/p' | head -1)"
    [ -n "$package" ] || { echo "emulator.sh: no kernel package found behind linux-image-amd64" >&2; return 1; }
    echo "emulator.sh: fetching the guest kernel ($package, once)" >&2
    unpacked="$(mktemp -d "$lane/unpack.XXXXXX")"
    (cd "$unpacked" && apt-get download "$package" >/dev/null 2>&1 && dpkg-deb -x ./*.deb root) ||
        { echo "emulator.sh: could not download $package" >&2; rm -rf "$unpacked"; return 1; }
    mkdir -p "$kernel_dir/modules"
    for module in "${modules[@]}"; do
        find "$unpacked/root/lib/modules" -name "$module.ko" -exec cp {} "$kernel_dir/modules/" \;
        [ -f "$kernel_dir/modules/$module.ko" ] || { echo "emulator.sh: module $module missing in $package" >&2; rm -rf "$unpacked"; return 1; }
    done
    cp "$unpacked"/root/boot/vmlinuz-* "$kernel_dir/vmlinuz"
    rm -rf "$unpacked"
}

# /init: load the drivers, stack a tmpfs over the host's root, share the build folder writable, and hand
# over to the job. Kernel parameters it reads: xirarp_build (the build folder), xirarp_job (the job script).
write_init() {
    cat <<EOF
#!/bin/busybox sh
/bin/busybox --install -s /bin
mount -t proc proc /proc
mount -t sysfs sys /sys
mount -t devtmpfs dev /dev
for module in ${modules[*]}; do insmod /modules/\$module.ko || echo "init: \$module did not load"; done
mkdir -p /lower /overlay /root
mount -t 9p -o trans=virtio,version=9p2000.L,msize=262144,ro hostroot /lower
mount -t tmpfs -o mode=0755 overlay /overlay
mkdir -p /overlay/upper /overlay/work
mount -t overlay overlay -o lowerdir=/lower,upperdir=/overlay/upper,workdir=/overlay/work /root
mount -t 9p -o trans=virtio,version=9p2000.L,msize=262144 build "/root\$xirarp_build"
for fs in proc sys dev; do mount --move /\$fs /root/\$fs; done
exec switch_root /root /bin/bash "\$xirarp_job"
EOF
}

prepare_initrd() {
    [ -f "$initrd" ] && [ "$initrd" -nt "$0" ] && return 0
    local tree
    tree="$(mktemp -d "$lane/initrd.XXXXXX")"
    mkdir -p "$tree/bin" "$tree/modules" "$tree/proc" "$tree/sys" "$tree/dev"
    cp "$(command -v busybox)" "$tree/bin/busybox"
    cp "$kernel_dir"/modules/*.ko "$tree/modules/"
    write_init >"$tree/init"
    chmod 755 "$tree/init"
    (cd "$tree" && find . | busybox cpio -o -H newc 2>/dev/null | gzip -1) >"$initrd.new" && mv "$initrd.new" "$initrd"
    rm -rf "$tree"
}

# The job, run as the guest's first process: a guest that looks enough like a workstation, then the
# command, its status left in the build folder, and power off.
write_job() {
    local as_user="" kept=() path other inside
    [ "$(id -u)" -ne 0 ] && as_user="setpriv --reuid=$(id -u) --regid=$(id -g) --init-groups"
    # The folders the command needs at their own paths: the build share, the checkout and the current folder,
    # each only once (a folder inside another comes along with it).
    for path in "$XIRARP_BUILD" "$XIRARP_ROOT" "$PWD"; do
        inside=0
        for other in "$XIRARP_BUILD" "$XIRARP_ROOT" "$PWD"; do
            [ "$other" != "$path" ] && [ "${path#"$other"/}" != "$path" ] && inside=1
        done
        [[ $inside -eq 0 && " ${kept[*]} " != *" $path "* ]] && kept+=("$path")
    done
    cat <<EOF
#!/bin/bash
# Fresh /tmp, /run and /dev/shm as after a boot. A kept folder below one of them (a checkout under /tmp) would
# vanish under the new file system: it is held aside and put back at its own path.
kept=($(printf '%q ' "${kept[@]}"))
mkdir -p /xirarp-held
for fs in /tmp /run /dev/shm; do
    mkdir -p \$fs
    held=()
    for path in "\${kept[@]}"; do
        [ "\${path#\$fs/}" != "\$path" ] || continue
        hold="/xirarp-held/\${path//\//_}"
        mkdir -p "\$hold" && mount --rbind "\$path" "\$hold" && held+=("\$path")
    done
    mount -t tmpfs -o mode=1777 tmpfs \$fs
    for path in "\${held[@]}"; do
        hold="/xirarp-held/\${path//\//_}"
        mkdir -p "\$path" && mount --move "\$hold" "\$path" || echo "emulator.sh (guest): \$path is not visible" >/dev/console
    done
done
# Without the build share the command's status cannot come back: say why before the host says it is missing.
if [ ! -d $(printf %q "$lane/job") ]; then
    echo "emulator.sh (guest): the build folder $(printf %q "$XIRARP_BUILD") is not visible; the command did not run" >/dev/console
    echo o >/proc/sysrq-trigger
    sleep 30
fi
mkdir -p /dev/pts && mount -t devpts devpts /dev/pts
ip link set lo up
hostname "\$(cat /etc/hostname 2>/dev/null || echo localhost)"
grep -qw "\$(hostname)" /etc/hosts || echo "127.0.1.1 \$(hostname)" >>/etc/hosts
ip link add xirarp0 type veth peer name xirarp1
ip link set xirarp1 up
ip link set xirarp0 up
ip addr add 192.0.2.10/24 dev xirarp0
ip route add default via 192.0.2.1
ip neigh replace 192.0.2.1 lladdr 02:00:5e:00:02:01 dev xirarp0 nud reachable
# Wine reads the sections of a program that are not page-aligned with one read each. From the 9p share, the
# test programs (over a megabyte of code) came up with the tail of their code as zeros and crashed at once;
# from memory they run. So the build's programs run from a copy in memory, at their own paths.
for bin in $(printf %q "$XIRARP_BUILD")/win-*/bin; do
    [ -d "\$bin" ] || continue
    copy="/run/xirarp-bin/\${bin//\//_}"
    mkdir -p "\$copy" && cp -a "\$bin/." "\$copy/" && mount --bind "\$copy" "\$bin"
done
export HOME=$(printf %q "$HOME") PATH=$(printf %q "$PATH") LANG=C.UTF-8 XIRARP_BUILD=$(printf %q "$XIRARP_BUILD")
if cd $(printf %q "$PWD"); then
    $as_user $(printf '%q ' "$@") </dev/null >/dev/console 2>&1
    echo \$? >$(printf %q "$lane/job/status")
else
    echo "emulator.sh (guest): the command did not run" >/dev/console
    echo 125 >$(printf %q "$lane/job/status")
fi
sync
echo o >/proc/sysrq-trigger
sleep 30
EOF
}

prepare_kernel || exit 1
prepare_initrd || exit 1
mkdir -p "$lane/job"
rm -f "$lane/job/status"
write_job "$@" >"$lane/job/run.sh"

memory="${XIRARP_EMULATOR_MEMORY:-6G}"
cpus="${XIRARP_EMULATOR_CPUS:-$(nproc)}"
# qemu64: with -cpu max the guest kernel oopses in every Wine process under TCG.
qemu-system-x86_64 -machine q35 -cpu qemu64 -smp "$cpus" -m "$memory" \
    -display none -monitor none -serial stdio -no-reboot \
    -kernel "$kernel_dir/vmlinuz" -initrd "$initrd" \
    -append "console=ttyS0 quiet loglevel=1 panic=-1 rdinit=/init xirarp_build=$XIRARP_BUILD xirarp_job=$lane/job/run.sh" \
    -fsdev local,id=hostroot,path=/,security_model=none,readonly=on,multidevs=remap \
    -device virtio-9p-pci,fsdev=hostroot,mount_tag=hostroot \
    -fsdev local,id=build,path="$XIRARP_BUILD",security_model=none,multidevs=remap \
    -device virtio-9p-pci,fsdev=build,mount_tag=build </dev/null |
    sed -u -E 's/\r$//; /\[ *[0-9]+\.[0-9]+\] (sysrq|reboot): /d'

if [ ! -f "$lane/job/status" ]; then
    echo "emulator.sh: the guest ended without reporting the command's exit status" >&2
    exit 125
fi
exit "$(cat "$lane/job/status")"
