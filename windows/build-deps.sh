#!/usr/bin/env bash
# Builds, once, the static MinGW-w64 libraries the Windows programs link (libpng, libjpeg, wxMSW, GoogleTest)
# into a cache folder outside the tree. Each library leaves a stamp in the install prefix; one whose stamp is
# missing or names other sources or options is built again, so deleting the cache or the prefix rebuilds it.
set -euo pipefail
cache=${1:?usage: build-deps.sh CACHE_FOLDER}
mkdir -p "$cache"
cache=$(cd "$cache" && pwd)
host=x86_64-w64-mingw32
prefix=$cache/prefix
stamps=$prefix/.stamps
jobs=${ORV_WIN_JOBS:-2}
here=$(cd "$(dirname "$0")" && pwd)
mkdir -p "$stamps"

export CC=$host-gcc-posix CXX=$host-g++-posix
export CPPFLAGS="-I$prefix/include" LDFLAGS="-L$prefix/lib"
export PKG_CONFIG_LIBDIR=$prefix/lib/pkgconfig PKG_CONFIG_PATH=
quiet_nice() { nice -n 10 "$@"; }

# Debian's source packages, through a source list of our own: the system's apt configuration stays untouched.
apt_source() {
    local apt=$cache/apt
    mkdir -p "$apt/lists/partial" "$apt/cache" "$cache/src"
    echo "deb-src [signed-by=/usr/share/keyrings/debian-archive-keyring.gpg] http://deb.debian.org/debian bookworm main" \
        > "$apt/sources.list"
    local options=(-o "Dir::Etc::SourceList=$apt/sources.list" -o Dir::Etc::SourceParts=/nonexistent
                   -o "Dir::State::Lists=$apt/lists" -o "Dir::Cache=$apt/cache" -qq)
    [ -n "$(ls "$apt/lists" 2>/dev/null | grep -v partial)" ] || apt-get "${options[@]}" update
    (cd "$cache/src" && apt-get "${options[@]}" source "$@" 2>&1 | grep -v "^W: Download is performed unsandboxed" || true)
}

# The unpacked source folder of a Debian source package, fetched when not there yet.
source_dir() {
    local package=$1 dir
    dir=$(ls -d "$cache/src/$package"-*/ 2>/dev/null | head -1)
    if [ -z "$dir" ]; then
        apt_source "$package" >&2
        dir=$(ls -d "$cache/src/$package"-*/ | head -1)
    fi
    echo "${dir%/}"
}

# Runs "build_NAME" unless the stamp of NAME holds KEY already.
cached() {
    local name=$1 key=$2
    if [ "$(cat "$stamps/$name" 2>/dev/null)" = "$key" ]; then
        echo "$name: cached ($key)"
        return
    fi
    echo "$name: building ($key)"
    local started=$SECONDS
    "build_$name"
    echo "$key" > "$stamps/$name"
    echo "$name: built in $((SECONDS - started)) s"
}

build_libpng() {
    local src; src=$(source_dir libpng1.6)
    rm -rf "$cache/build/libpng" && mkdir -p "$cache/build/libpng"
    (cd "$cache/build/libpng" &&
        quiet_nice "$src/configure" --host=$host --prefix="$prefix" --disable-shared --enable-static >/dev/null &&
        quiet_nice make -j"$jobs" >/dev/null && make install >/dev/null)
}

build_libjpeg() {
    local src; src=$(source_dir libjpeg-turbo)
    rm -rf "$cache/build/libjpeg"
    quiet_nice cmake -S "$src" -B "$cache/build/libjpeg" -DCMAKE_TOOLCHAIN_FILE="$here/../cmake/mingw-w64.cmake" \
        -DCMAKE_BUILD_TYPE=Release -DCMAKE_INSTALL_PREFIX="$prefix" -DENABLE_SHARED=OFF -DWITH_SIMD=OFF \
        -DWITH_TURBOJPEG=OFF >/dev/null
    quiet_nice cmake --build "$cache/build/libjpeg" -j"$jobs" >/dev/null
    cmake --install "$cache/build/libjpeg" >/dev/null
}

# Only what the programs use: the base and core libraries with PNG and JPEG images, without the controls and
# dialogs they never show.
wx_options=(--with-msw --disable-shared --disable-tests --with-libpng=sys --with-libjpeg=sys --with-zlib=sys
            --without-libtiff --without-expat --without-regex --without-liblzma --without-libcurl --without-opengl
            --disable-html --disable-htmlhelp --disable-mshtmlhelp --disable-xrc --disable-aui --disable-propgrid
            --disable-ribbon --disable-stc --disable-richtext --disable-webview --disable-mediactrl
            --disable-sockets --disable-protocols --disable-url --disable-fs_inet --disable-webrequest
            --disable-debugreport --disable-secretstore --disable-grid --disable-dataviewctrl --disable-treelist
            --disable-calendar --disable-datepick --disable-timepick --disable-wizarddlg --disable-sound
            --disable-joystick --disable-printarch --disable-postscript)
# The net and adv libraries are built by default although the programs link neither: their targets are left
# empty, so that only base and core are compiled and installed.
wx_skipped=(__netlib___depname= __install_netlib___depname= __advlib___depname= __install_advlib___depname=)

build_wxmsw() {
    local src; src=$(source_dir wxwidgets3.2)
    rm -rf "$cache/build/wxmsw" && mkdir -p "$cache/build/wxmsw"
    (cd "$cache/build/wxmsw" &&
        quiet_nice "$src/configure" --host=$host --build=x86_64-pc-linux-gnu --prefix="$prefix" "${wx_options[@]}" \
            >configure.log &&
        quiet_nice make -j"$jobs" "${wx_skipped[@]}" >make.log 2>&1 && make "${wx_skipped[@]}" install >/dev/null)
}

build_googletest() {
    rm -rf "$cache/build/googletest"
    quiet_nice cmake -S /usr/src/googletest -B "$cache/build/googletest" \
        -DCMAKE_TOOLCHAIN_FILE="$here/../cmake/mingw-w64.cmake" -DCMAKE_BUILD_TYPE=Release \
        -DCMAKE_INSTALL_PREFIX="$prefix" -DBUILD_GMOCK=OFF -Dgtest_disable_pthreads=ON >/dev/null
    quiet_nice cmake --build "$cache/build/googletest" -j"$jobs" >/dev/null
    cmake --install "$cache/build/googletest" >/dev/null
}

cached libpng "$(basename "$(source_dir libpng1.6)")"
cached libjpeg "$(basename "$(source_dir libjpeg-turbo)")"
cached wxmsw "$(basename "$(source_dir wxwidgets3.2)") $(echo "${wx_options[*]} ${wx_skipped[*]}" | md5sum | cut -c1-8)"
cached googletest "$(dpkg-query -W -f='googletest-${Version}' googletest)"
rm -rf "$cache/build"
