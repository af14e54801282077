# Shared by the README's commands: packages, build folders and the Wine that can run our programs.
# Sourced, not run.

XIRARP_ROOT="$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)"
# XIRARP_BUILD may name another build folder (for example to keep a benchmark away from the test builds).
XIRARP_BUILD="${XIRARP_BUILD:-$XIRARP_ROOT/build}"

XIRARP_PACKAGES=(cmake ninja-build g++ clang libclang-rt-14-dev libgtest-dev googletest
    g++-mingw-w64-i686-posix gcc-mingw-w64-i686-posix g++-mingw-w64-x86-64-posix gcc-mingw-w64-x86-64-posix
    binutils-mingw-w64-i686 binutils-mingw-w64-x86-64 wine wine64 wine32:i386 qemu-system-x86 busybox-static
    xvfb xauth x11-utils xdotool fonts-wine fonts-wqy-microhei fonts-liberation imagemagick iproute2 iputils-ping dsniff
    iptables rsyslog)

xirarp_missing_packages() {
    local missing=() package
    for package in "${XIRARP_PACKAGES[@]}"; do
        dpkg-query -W -f='${Status}' "$package" 2>/dev/null | grep -q "install ok installed" || missing+=("$package")
    done
    echo "${missing[@]}"
}

# Installs what is missing when run as root; otherwise names the one command that would.
xirarp_ensure_packages() {
    local missing
    missing="$(xirarp_missing_packages)"
    [ -z "$missing" ] && return 0
    if [ "$(id -u)" -ne 0 ]; then
        echo "Missing packages: $missing" >&2
        echo "Install them with:" >&2
        echo "  sudo sh -c 'dpkg --add-architecture i386 && apt-get update && apt-get install -y $missing'" >&2
        return 1
    fi
    echo "Installing: $missing" >&2
    dpkg --add-architecture i386
    # A mirror in the middle of a sync fails one index or another; the install then goes on with the lists
    # that did arrive and fails by itself if a package really cannot be had.
    apt-get update -q >&2 || echo "apt-get update reported errors; installing from the lists it has" >&2
    # shellcheck disable=SC2086
    DEBIAN_FRONTEND=noninteractive apt-get install -y -q $missing >&2 && return 0
    # Without one architecture's security index the two architectures' versions of a shared library differ:
    # the release's own versions then match on both.
    local release
    release="$(. /etc/os-release && echo "${VERSION_CODENAME:-}")"
    [ -n "$release" ] || return 1
    echo "Installing from the $release release's own versions" >&2
    # shellcheck disable=SC2086
    DEBIAN_FRONTEND=noninteractive apt-get install -y -q -t "$release" $missing >&2 || return 1
}

# Where the shipped 32-bit build runs: "host" where this machine runs 32-bit code (Wine's 32-bit loader
# starts), otherwise "emulator": the 64-bit build of the same sources stands in on the host and the 32-bit
# build's end-to-end suite runs inside the full-system emulator (scripts/emulator.sh). XIRARP_I686_LANE
# chooses instead; "none" leaves the emulator out.
xirarp_i686_lane() {
    if [ -x /usr/lib/wine/wine ] && /usr/lib/wine/wine --version >/dev/null 2>&1; then
        echo host
    else
        echo emulator
    fi
}

# The architecture programs are run in on the host: the shipped 32-bit build where the host runs it,
# otherwise the 64-bit build of the same sources under Wine's 64-bit loader.
xirarp_test_arch() {
    if [ "$(xirarp_i686_lane)" = host ]; then echo i686; else echo x86_64; fi
}

# The Wine suites that the emulator lane runs on the 32-bit build (ctest names, a regular expression): the
# end-to-end suite (the acceptance walk of both roads, start-up, apply, tray and uninstall) on the image
# itself. The in-process, robustness, attack and system-language suites run on the host's 64-bit build
# there: inside the emulator they would take the test command past its time, and the robustness suite's
# figures mean nothing at a twentieth of the speed.
XIRARP_EMULATOR_SUITES="${XIRARP_EMULATOR_SUITES:-^e2e_tests$}"
# How many times longer the end-to-end steps wait there before they give up.
XIRARP_EMULATOR_PATIENCE="${XIRARP_EMULATOR_PATIENCE:-8}"

xirarp_wine_loader() {
    if [ "$1" = x86_64 ] && [ -x /usr/lib/wine/wine64 ]; then echo /usr/lib/wine/wine64; else echo wine; fi
}

xirarp_configure_and_build() {  # native | i686 | x86_64, then optional targets
    local kind="$1" dir="$XIRARP_BUILD/$1"
    shift
    local args=(-S "$XIRARP_ROOT" -B "$dir" -G Ninja)
    [ "$kind" != native ] && dir="$XIRARP_BUILD/win-$kind" && args=(-S "$XIRARP_ROOT" -B "$dir" -G Ninja
        -DCMAKE_TOOLCHAIN_FILE="$XIRARP_ROOT/cmake/toolchain-mingw-$kind.cmake")
    [ -f "$dir/CMakeCache.txt" ] || cmake "${args[@]}" >"$XIRARP_BUILD/configure-$kind.log" 2>&1 ||
        { cat "$XIRARP_BUILD/configure-$kind.log" >&2; return 1; }
    if [ $# -gt 0 ]; then cmake --build "$dir" --target "$@"; else cmake --build "$dir"; fi
}
