#!/bin/bash
# Cross-builds the Windows programs here, with mingw-w64 and the posix
# thread model (the win32 model has no std::thread). The libraries they
# link statically (wxMSW, libjpeg-turbo, libpng, libtiff, zlib, lcms2,
# FreeType, HarfBuzz, libwebp, utf8proc, GoogleTest)
# are built from Debian's own source packages, into a cache outside the
# checkout keyed by their versions: a second run costs seconds.
#
#   scripts/build-windows.sh [BUILD_FOLDER]
#
# Prints the build folder's path last. TESSALY_WINDOWS_CACHE moves the cache
# (default: ~/.cache/tessaly-windows).
set -euo pipefail

root=$(cd "$(dirname "$0")/.." && pwd)
build=$(mkdir -p "${1:-$root/build/windows}" && cd "${1:-$root/build/windows}" && pwd)
cache=${TESSALY_WINDOWS_CACHE:-${XDG_CACHE_HOME:-$HOME/.cache}/tessaly-windows}
host=x86_64-w64-mingw32
cc=$host-gcc-posix
cxx=$host-g++-posix
jobs=$(nproc)
log() { echo "build-windows: $*" >&2; }

install_tools() {
    local wanted=(g++-mingw-w64-x86-64-posix nasm nsis dpkg-dev cmake make wine64 wine fonts-dejavu-core gettext) missing=()
    for package in "${wanted[@]}"; do
        dpkg-query -W -f='${Status}' "$package" 2>/dev/null | grep -q "install ok installed" || missing+=("$package")
    done
    [ ${#missing[@]} -eq 0 ] && return
    log "installing ${missing[*]}"
    local sudo=""
    [ "$(id -u)" -ne 0 ] && sudo=sudo
    $sudo env DEBIAN_FRONTEND=noninteractive apt-get install -y -q --no-install-recommends "${missing[@]}" >&2
}

# apt-get source needs deb-src lines for the system's own suites.
ensure_sources() {
    [ -n "$(apt-cache showsrc zlib 2>/dev/null | awk '/^Version:/')" ] && return
    local sudo=""
    [ "$(id -u)" -ne 0 ] && sudo=sudo
    local list=/etc/apt/sources.list.d/tessaly-deb-src.sources
    if [ -f /etc/apt/sources.list.d/debian.sources ]; then
        sed 's/^Types: deb$/Types: deb-src/' /etc/apt/sources.list.d/debian.sources | $sudo tee "$list" >/dev/null
    else
        grep '^deb ' /etc/apt/sources.list | sed 's/^deb /deb-src /' | $sudo tee /etc/apt/sources.list.d/tessaly-deb-src.list >/dev/null
    fi
    log "added the Debian source packages' lines; updating"
    $sudo apt-get update -q >&2
}

# Unpacks the newest version of a source package that the mirror hands out
# (it may lack a security update's sources) into the cache, once; prints
# its folder.
unpacked() {
    local package=$1 version
    for version in $(apt-cache showsrc "$package" | awk '/^Version:/ {print $2}' | sort -Vru); do
        local folder=$cache/src/$package-${version#*:} download=$cache/src/download-$package
        if [ -f "$folder/.unpacked" ]; then
            echo "$folder"
            return 0
        fi
        log "fetching $package $version"
        rm -rf "$folder" "$download"
        mkdir -p "$download"
        if (cd "$download" && apt-get source -q --download-only "$package=$version" >&2 &&
            dpkg-source --no-check -x ./*.dsc "$folder" >&2); then
            rm -rf "$download"
            touch "$folder/.unpacked"
            echo "$folder"
            return 0
        fi
        rm -rf "$folder" "$download"
    done
    log "cannot fetch the sources of $package"
    return 1
}

toolchain_file=$root/cmake/mingw-w64.cmake
# Raised whenever a library's recipe below changes.
recipe=1

# Debian's zlib source has no Windows makefile: its few files compiled directly.
build_zlib() {
    local source=${sources[zlib]} work=$cache/work/zlib
    rm -rf "$work"
    mkdir -p "$work" "$prefix/lib" "$prefix/include"
    (cd "$work" && for file in adler32 compress crc32 deflate gzclose gzlib gzread gzwrite infback inffast inflate \
        inftrees trees uncompr zutil; do $cc -O2 -c "$source/$file.c" -o "$file.o" || exit 1; done &&
        $host-ar rcs "$prefix/lib/libz.a" ./*.o)
    install -m 644 "$source/zlib.h" "$source/zconf.h" "$prefix/include/"
    # FreeType's pkg-config file requires zlib's.
    mkdir -p "$prefix/lib/pkgconfig"
    printf 'prefix=%s\nName: zlib\nDescription: zlib compression library\nVersion: %s\nLibs: -L${prefix}/lib -lz\nCflags: -I${prefix}/include\n' \
        "$prefix" "$(sed -n 's/^#define ZLIB_VERSION "\(.*\)"/\1/p' "$source/zlib.h")" >"$prefix/lib/pkgconfig/zlib.pc"
    rm -rf "$work"
}

cmake_library() {
    local source=$1
    shift
    local work=$cache/work/$(basename "$source")
    rm -rf "$work"
    cmake -S "$source" -B "$work" -DCMAKE_TOOLCHAIN_FILE="$toolchain_file" -DTESSALY_WINDOWS_PREFIX="$prefix" \
        -DCMAKE_INSTALL_PREFIX="$prefix" -DCMAKE_BUILD_TYPE=Release "$@" >&2
    cmake --build "$work" -j"$jobs" >&2
    cmake --install "$work" >&2
    rm -rf "$work"
}

configure_library() {
    local source=$1
    shift
    local work=$cache/work/$(basename "$source")
    rm -rf "$work"
    mkdir -p "$work"
    (cd "$work" && "$source/configure" --host=$host --prefix="$prefix" --disable-shared \
        CC=$cc CXX=$cxx CPPFLAGS="-I$prefix/include" LDFLAGS="-L$prefix/lib" \
        PKG_CONFIG_LIBDIR="$prefix/lib/pkgconfig" "$@" >&2 &&
        make -j"$jobs" >&2 && make install >&2)
    rm -rf "$work"
}

build_libjpeg() {
    cmake_library "${sources[libjpeg-turbo]}" -DENABLE_SHARED=OFF -DENABLE_STATIC=ON -DWITH_SIMD=ON \
        -DWITH_TURBOJPEG=OFF -DCMAKE_ASM_NASM_COMPILER=nasm
}

build_libpng() {
    configure_library "${sources[libpng1.6]}"
}

# TIFF pictures are read as on Linux: JPEG and deflate inside, nothing else.
build_libtiff() {
    cmake_library "${sources[tiff]}" -DBUILD_SHARED_LIBS=OFF -Dtiff-tools=OFF -Dtiff-tests=OFF -Dtiff-contrib=OFF \
        -Dtiff-docs=OFF -Dcxx=OFF -Djpeg=ON -Dzlib=ON -Dlzma=OFF -Dzstd=OFF -Dwebp=OFF -Djbig=OFF -Dlerc=OFF \
        -Dlibdeflate=OFF -Dpixarlog=OFF
}

build_lcms2() {
    configure_library "${sources[lcms2]}" --without-jpeg --without-tiff
}

# The text mark's glyphs, with the zlib above for compressed fonts (its own
# copy would clash with it).
build_freetype() {
    cmake_library "${sources[freetype]}" -DBUILD_SHARED_LIBS=OFF -DFT_REQUIRE_ZLIB=ON -DFT_DISABLE_BZIP2=ON \
        -DFT_DISABLE_PNG=ON -DFT_DISABLE_HARFBUZZ=ON -DFT_DISABLE_BROTLI=ON
}

# Shaping with HarfBuzz's own font functions: FreeType only draws.
build_harfbuzz() {
    cmake_library "${sources[harfbuzz]}" -DBUILD_SHARED_LIBS=OFF -DHB_HAVE_FREETYPE=OFF -DHB_BUILD_SUBSET=OFF \
        -DHB_BUILD_UTILS=OFF -DHB_HAVE_GLIB=OFF -DHB_HAVE_ICU=OFF -DHB_HAVE_GOBJECT=OFF
}

# WebP results: the encoder and the container's muxer, no tools.
build_libwebp() {
    cmake_library "${sources[libwebp]}" -DBUILD_SHARED_LIBS=OFF -DWEBP_BUILD_ANIM_UTILS=OFF -DWEBP_BUILD_CWEBP=OFF \
        -DWEBP_BUILD_DWEBP=OFF -DWEBP_BUILD_GIF2WEBP=OFF -DWEBP_BUILD_IMG2WEBP=OFF -DWEBP_BUILD_VWEBP=OFF \
        -DWEBP_BUILD_WEBPINFO=OFF -DWEBP_BUILD_WEBPMUX=OFF -DWEBP_BUILD_EXTRAS=OFF
}

# Unicode's case folding and normal forms, for comparing result names: its
# two C files compiled directly, as the Linux package does.
build_utf8proc() {
    local source=${sources[utf8proc]} work=$cache/work/utf8proc
    rm -rf "$work"
    mkdir -p "$work" "$prefix/lib" "$prefix/include"
    (cd "$work" && $cc -O2 -DUTF8PROC_STATIC -c "$source/utf8proc.c" -o utf8proc.o && $host-ar rcs "$prefix/lib/libutf8proc.a" utf8proc.o)
    install -m 644 "$source/utf8proc.h" "$prefix/include/"
    printf 'prefix=%s\nName: libutf8proc\nDescription: UTF-8 processing\nVersion: %s\nLibs: -L${prefix}/lib -lutf8proc\nCflags: -I${prefix}/include -DUTF8PROC_STATIC\n' \
        "$prefix" "$(basename "$source" | sed 's/^utf8proc-//; s/-[^-]*$//')" >"$prefix/lib/pkgconfig/libutf8proc.pc"
    rm -rf "$work"
}

build_googletest() {
    cmake_library "${sources[googletest]}" -DBUILD_GMOCK=OFF -DINSTALL_GTEST=ON -Dgtest_force_shared_crt=OFF
}

build_wxwidgets() {
    configure_library "${sources[wxwidgets3.2]}" --with-msw --disable-debug_flag --disable-precomp-headers \
        --with-libjpeg=sys --with-libpng=sys --with-zlib=sys --with-libtiff=sys --without-expat \
        --without-regex --without-liblzma --disable-xrc --disable-html --disable-webview \
        --disable-mediactrl --disable-stc --disable-richtext --disable-ribbon --disable-propgrid --disable-aui \
        --disable-sockets --without-opengl --enable-accessibility
}

install_tools
ensure_sources
mkdir -p "$cache"
# One prefix for each set of versions: a new Debian version builds afresh.
declare -A sources
key="recipe $recipe $($cxx --version | head -1)"
for package in zlib libjpeg-turbo libpng1.6 tiff lcms2 freetype harfbuzz libwebp utf8proc googletest wxwidgets3.2; do
    sources[$package]=$(unpacked "$package")
    key+=" $(basename "${sources[$package]}")"
done
prefix=$cache/prefix-$(echo "$key" | sha256sum | cut -c1-16)
for step in zlib libjpeg libpng libtiff lcms2 freetype harfbuzz libwebp utf8proc googletest wxwidgets; do
    if [ ! -f "$prefix/.built-$step" ]; then
        log "building $step into $prefix"
        start=$SECONDS
        "build_$step"
        touch "$prefix/.built-$step"
        log "$step took $((SECONDS - start)) s"
    fi
done

# The programs, against those libraries; warnings are errors here too.
log "building the programs into $build"
PKG_CONFIG_LIBDIR=$prefix/lib/pkgconfig cmake -S "$root" -B "$build" -DCMAKE_TOOLCHAIN_FILE="$toolchain_file" \
    -DTESSALY_WINDOWS_PREFIX="$prefix" -DWX_CONFIG="$prefix/bin/wx-config" -DCMAKE_BUILD_TYPE=Release \
    -DTESSALY_WERROR=ON >&2
PKG_CONFIG_LIBDIR=$prefix/lib/pkgconfig cmake --build "$build" -j"$jobs" --target tessaly tessaly-batch tessaly_tests tessaly_gui_tests manual >&2
# The toolkit's own words, from the catalogs of its Debian sources, beside ours.
for po in "${sources[wxwidgets3.2]}"/locale/{de,es,fr,it}.po; do
    language=$(basename "$po" .po)
    msgfmt -o "$build/locale/$language/LC_MESSAGES/wxstd.mo" "$po"
done

# The portable zip: the program with its data and documents folders beside it.
version=$(sed -n 's/^project(Tessaly VERSION \([0-9.]*\).*/\1/p' "$root/CMakeLists.txt")
zip=tessaly-$version-windows-x64.zip
# portable.txt keeps the settings beside the programs; the installer leaves it out.
(cd "$build" && rm -rf zip && mkdir -p zip/data zip/documents && cp tessaly.exe tessaly-batch.exe zip/ &&
    cp data/wm.png data/DejaVuSans.ttf zip/data/ && cp "documents/Tessaly_${version}_manual.pdf" zip/documents/ &&
    cp -r locale zip/ && cp "$root/packaging/windows/portable.txt" zip/ && rm -f "$zip" &&
    cd zip && cmake -E tar cf "../$zip" --format=zip portable.txt tessaly.exe tessaly-batch.exe data documents locale)
log "made $build/$zip"

# The installer, from the same files.
setup=tessaly-$version-setup-x64.exe
makensis -V2 -DVERSION="$version" -DFILES="$build/zip" -DOUTFILE="$build/$setup" \
    -DICON="$build/generated/tessaly.ico" -DLICENCE="$root/packaging/copyright" \
    "$root/packaging/windows/tessaly.nsi" >&2
log "made $build/$setup"
echo "$build"
