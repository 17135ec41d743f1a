#!/usr/bin/env bash
# Builds the Windows version with MinGW-w64 into build-windows/ (orvtool.exe, orvtool-sim.exe, orvctl.exe and
# the installer orvtool-1.32-setup.exe) and runs its tests under Wine, then installs and uninstalls it there.
# The static libraries it links are built once into ${ORV_WIN_CACHE:-~/.cache/orvtool-windows} and reused from
# there. A failing step names itself.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
cache=${ORV_WIN_CACHE:-$HOME/.cache/orvtool-windows}
build=$root/build-windows
host=x86_64-w64-mingw32

step() {
    local name=$1 started=$SECONDS
    shift
    echo "== Windows: $name"
    if ! "$@"; then
        echo "Windows step failed: $name" >&2
        exit 1
    fi
    echo "== Windows: $name done in $((SECONDS - started)) s"
}

install_packages() {
    local packages=(g++-mingw-w64-x86-64 libz-mingw-w64-dev libgtest-dev cmake make dpkg-dev wine wine64 nsis
                    imagemagick xvfb xauth xdotool socat openbox x11-utils) missing=() p
    for p in "${packages[@]}"; do
        dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed" || missing+=("$p")
    done
    [ ${#missing[@]} -eq 0 ] && return 0
    local sudo=""
    [ "$(id -u)" -ne 0 ] && sudo="sudo"
    $sudo apt-get update -qq
    DEBIAN_FRONTEND=noninteractive $sudo apt-get install -y -qq "${missing[@]}"
}

configure() {
    cmake -S "$root" -B "$build" -DCMAKE_TOOLCHAIN_FILE="$root/cmake/mingw-w64.cmake" \
        -DORV_WIN_DEPS="$cache/prefix" -DCMAKE_BUILD_TYPE=Release >/dev/null
}

# Every DLL the programs import is part of Windows itself.
check_static() {
    local program dlls
    for program in orvtool orvtool-sim orvctl; do
        dlls=$($host-objdump -p "$(find "$build" -name "$program.exe" | head -1)" | awk '/DLL Name/ {print $3}')
        if echo "$dlls" | grep -qiE '^(lib|wx)'; then
            echo "$program.exe needs $(echo "$dlls" | grep -iE '^(lib|wx)' | tr '\n' ' ')" >&2
            return 1
        fi
    done
}

# The icon holds the sizes Windows shows, and every program carries the manifest: per-monitor DPI awareness and
# the supported Windows versions (10 and 11 share one entry), and a version naming the program itself.
check_resources() {
    local sizes program
    sizes=$(identify -format '%wx%h ' "$build/windows/orvtool.ico")
    for size in 16x16 32x32 48x48 256x256; do
        [[ " $sizes" == *" $size "* ]] || { echo "the icon has no $size image (it has: $sizes)" >&2; return 1; }
    done
    for program in orvtool orvtool-sim orvctl; do
        for entry in "PerMonitorV2, PerMonitor" "true/pm" "{8e0f7a12-bfb3-4fe8-b9a5-48fd50a15a9a}" \
                     "{35138b9a-5d96-4fbd-8e2d-a2440225f93a}" "Microsoft.Windows.Common-Controls"; do
            grep -qF "$entry" "$(find "$build" -name "$program.exe" | head -1)" ||
                { echo "the manifest of $program.exe lacks $entry" >&2; return 1; }
        done
        # The version's strings are UTF-16: "orvctl.exe" as o\x00r\x00...
        for entry in "$program.exe" "The ORVANTA TOOL developers"; do
            grep -qaP "$(printf '%s' "$entry" | sed 's/[.()-]/\\&/g; s/\(\\\?.\)/\1\\x00/g')" \
                "$(find "$build" -name "$program.exe" | head -1)" ||
                { echo "the version of $program.exe lacks $entry" >&2; return 1; }
        done
    done
}

# One Wine prefix per run: made afresh by the first test.
run_tests() {
    rm -rf "$build/wine-prefix" "$build/wine-prefix.lock"
    ctest --test-dir "$build" --output-on-failure --timeout 600
}

step "packages" install_packages
step "libraries (cache $cache)" "$root/windows/build-deps.sh" "$cache"
step "configure" configure
step "build" cmake --build "$build" -j"${ORV_WIN_JOBS:-2}"
step "static linking" check_static
step "resources" check_resources
step "installer" makensis -V2 "$build/orvtool.nsi"
step "tests under Wine" run_tests
step "installer under Wine" "$root/tests/windows/installer_check.sh" "$build/wine-prefix" \
    "$build/orvtool-1.32-setup.exe"
echo "Windows build ready: $build/orvtool-1.32-setup.exe"
