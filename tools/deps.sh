#!/usr/bin/env bash
# Builds the third-party libraries (SQLite, jsoncpp, protobuf, tinyxml2, GoogleTest) for the MinGW-w64
# Windows targets and for 32-bit Linux from Debian's own source packages, and installs each
# target's set into
#   build/deps/<triple>/{include,lib,lib/cmake}
# Usage: tools/deps.sh [TRIPLE...]
#        TRIPLE: i686-w64-mingw32 | x86_64-w64-mingw32 | i686-linux-gnu (default: the two Windows ones)
# Env:   VX_DEPS_JOBS=N  parallel jobs (default: nproc)
# A library is rebuilt only when its stamp build/deps/<triple>/.stamp-<lib> is missing or was
# written by a different recipe; delete the stamp (or build/deps/<triple>) to force a rebuild.
# Logs: build/deps/log/<lib>-<triple>.log. Needs root for apt-get (only when something is missing).
set -euo pipefail

ROOT="$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)"
DEPS="$ROOT/build/deps"
SRC="$DEPS/src"
WORK="$DEPS/work"
LOG="$DEPS/log"
JOBS="${VX_DEPS_JOBS:-$(nproc)}"

SQLITE_VER=3.40.1
JSONCPP_VER=1.9.5
PROTOBUF_VER=3.21.12
TINYXML2_VER=9.0.0
GTEST_SRC=/usr/src/googletest

# The packages of tools/packages.txt marked "deps".
mapfile -t APT_PACKAGES < <(awk '!/^#/ && $2 == "deps" { print $1 }' "$ROOT/tools/packages.txt")
[ ${#APT_PACKAGES[@]} -gt 0 ] || { echo "deps: no packages in $ROOT/tools/packages.txt" >&2; exit 1; }

say() { echo "deps: $*"; }
die() { echo "deps: error: $*" >&2; exit 1; }

# run LOGFILE CMD...: appends the command's output to LOGFILE; on failure shows its tail and exits.
run() {
  local log="$1"; shift
  echo "+ $*" >>"$log"
  if ! "$@" >>"$log" 2>&1; then
    echo "deps: FAILED: $*" >&2
    echo "deps: ---- last 40 lines of $log ----" >&2
    tail -n 40 "$log" >&2
    exit 1
  fi
}

# ---------------------------------------------------------------------------------------------
# Arguments
TRIPLES=("$@")
[ ${#TRIPLES[@]} -gt 0 ] || TRIPLES=(i686-w64-mingw32 x86_64-w64-mingw32)
for t in "${TRIPLES[@]}"; do
  case "$t" in
    i686-w64-mingw32|x86_64-w64-mingw32|i686-linux-gnu) ;;
    -h|--help) sed -n '2,11p' "$0"; exit 0 ;;
    *) die "unknown triple '$t' (use i686-w64-mingw32, x86_64-w64-mingw32 or i686-linux-gnu)" ;;
  esac
done

# ---------------------------------------------------------------------------------------------
# 1. Build tools from apt (no apt-get at all when everything is already installed)
pkg_installed() {
  [ "$(dpkg-query -W -f='${db:Status-Status}' "$1" 2>/dev/null)" = installed ]
}
missing=()
for p in "${APT_PACKAGES[@]}"; do pkg_installed "$p" || missing+=("$p"); done
if [ ${#missing[@]} -gt 0 ]; then
  say "installing apt packages: ${missing[*]}"
  [ "$(id -u)" = 0 ] || die "need root to install: ${missing[*]}"
  export DEBIAN_FRONTEND=noninteractive
  apt-get update -q
  apt-get install -y -q --no-install-recommends "${missing[@]}"
fi
[ -f "$GTEST_SRC/CMakeLists.txt" ] || die "$GTEST_SRC missing (package googletest)"

mkdir -p "$DEPS" "$SRC" "$WORK" "$LOG"
# One run at a time per build folder (parallel CI jobs on one work tree).
exec 9>"$DEPS/.lock"
flock 9

# ---------------------------------------------------------------------------------------------
# 2. Debian source packages, fetched and unpacked once into build/deps/src/<name>
SRCPKGS=(sqlite3 libjsoncpp protobuf tinyxml2)
declare -A SRCDIR=([sqlite3]="$SRC/sqlite3" [libjsoncpp]="$SRC/jsoncpp" [protobuf]="$SRC/protobuf"
                   [tinyxml2]="$SRC/tinyxml2")
# Debian repacked tinyxml2's upstream tarball ("+dfsg"); the version part of its file names says so.
declare -A SRCVER=([sqlite3]="$SQLITE_VER" [libjsoncpp]="$JSONCPP_VER" [protobuf]="$PROTOBUF_VER"
                   [tinyxml2]="$TINYXML2_VER+dfsg")

need_fetch=0
for s in "${SRCPKGS[@]}"; do [ -f "${SRCDIR[$s]}/.unpacked" ] || need_fetch=1; done
if [ $need_fetch = 1 ]; then
  slog="$LOG/sources.log"; : >"$slog"
  say "fetching Debian source packages: ${SRCPKGS[*]}"
  have_dsc=1
  for s in "${SRCPKGS[@]}"; do
    compgen -G "$SRC/${s}_${SRCVER[$s]}-*.dsc" >/dev/null || have_dsc=0
  done
  if [ $have_dsc = 0 ]; then
    srclist=/etc/apt/sources.list.d/vx-src.sources
    if [ ! -f "$srclist" ]; then
      [ "$(id -u)" = 0 ] || die "need root to write $srclist"
      [ -f /etc/apt/sources.list.d/debian.sources ] || die "/etc/apt/sources.list.d/debian.sources missing"
      sed -E 's/^Types:.*/Types: deb-src/' /etc/apt/sources.list.d/debian.sources >"$srclist"
    fi
    export DEBIAN_FRONTEND=noninteractive
    run "$slog" apt-get update -q
    (cd "$SRC" && run "$slog" apt-get source -q --download-only "${SRCPKGS[@]}")
  fi
  for s in "${SRCPKGS[@]}"; do
    dir="${SRCDIR[$s]}"
    [ -f "$dir/.unpacked" ] && continue
    dsc="$(ls -1 "$SRC/${s}_${SRCVER[$s]}"-*.dsc 2>/dev/null | sort -V | tail -n 1 || true)"
    [ -n "$dsc" ] || die "no ${s}_${SRCVER[$s]}-*.dsc in $SRC (see $slog; Debian version changed?)"
    rm -rf "$dir" "$dir.tmp"
    run "$slog" dpkg-source -x --no-check "$dsc" "$dir.tmp"
    mv "$dir.tmp" "$dir"
    basename "$dsc" >"$dir/.unpacked"
    say "unpacked $(basename "$dsc")"
  done
fi

# ---------------------------------------------------------------------------------------------
# 3. Per-target builds
now() { date +%s; }

# The C compiler of a target: MinGW's posix thread model (std::thread, std::mutex; protobuf needs
# it), or the Linux cross compiler, which has only that model.
target_cc() {
  case "$1" in
    *-mingw32) echo "$1-gcc-posix" ;;
    *) echo "$1-gcc" ;;
  esac
}

# Linux executables are position independent (Debian's default), so the static libraries
# linked into them are built position independent too.
is_linux() { [[ $1 == *-linux-gnu ]]; }

# stamp_ok TRIPLE LIB RECIPE: true when the library was installed by this same recipe.
stamp_ok() { [ -f "$DEPS/$1/.stamp-$2" ] && [ "$(cat "$DEPS/$1/.stamp-$2")" = "$3" ]; }

# Generated amalgamation, shared by all targets.
sqlite_amalgamation() {
  local out="$WORK/sqlite3-native"
  [ -f "$out/.done" ] && return 0
  local log="$LOG/sqlite3-amalgamation.log"; : >"$log"
  say "generating sqlite3.c (native configure + make sqlite3.c)"
  local t0; t0=$(now)
  rm -rf "$out"; mkdir -p "$out"
  (cd "$out" && run "$log" "${SRCDIR[sqlite3]}/configure" --disable-tcl --disable-shared)
  (cd "$out" && run "$log" make -j"$JOBS" sqlite3.c)
  [ -f "$out/sqlite3.c" ] && [ -f "$out/sqlite3.h" ] || die "sqlite3.c/sqlite3.h not generated (see $log)"
  grep -q "#define SQLITE_VERSION *\"$SQLITE_VER\"" "$out/sqlite3.h" \
    || die "generated sqlite3.h is not version $SQLITE_VER"
  touch "$out/.done"
  say "sqlite3.c generated in $(( $(now) - t0 )) s"
}

# The program ships these libraries: built for size, each function in its own section so the
# program's link drops what it never calls.
SIZE_FLAGS="-Os -ffunction-sections -fdata-sections"
SIZE_CMAKE=(-DCMAKE_CXX_FLAGS="-ffunction-sections -fdata-sections" -DCMAKE_CXX_FLAGS_RELEASE="-Os -DNDEBUG")
# SQLite without what the program never uses (extensions, shared cache, JSON functions, the
# deprecated and progress interfaces); no unwind tables, since no exception crosses it.
SQLITE_FLAGS="$SIZE_FLAGS -fno-asynchronous-unwind-tables -DSQLITE_THREADSAFE=1 -DSQLITE_OMIT_LOAD_EXTENSION
  -DSQLITE_OMIT_DEPRECATED -DSQLITE_OMIT_PROGRESS_CALLBACK -DSQLITE_OMIT_SHARED_CACHE -DSQLITE_OMIT_JSON
  -DSQLITE_DEFAULT_MEMSTATUS=0 -DSQLITE_MAX_EXPR_DEPTH=0"

build_sqlite3() {
  local t="$1" prefix="$2" log="$3" bdir="$4"
  sqlite_amalgamation
  local a="$WORK/sqlite3-native" pic=
  is_linux "$t" && pic=-fPIC
  mkdir -p "$bdir" "$prefix/include" "$prefix/lib"
  # shellcheck disable=SC2086
  run "$log" "$(target_cc "$t")" $SQLITE_FLAGS $pic -c "$a/sqlite3.c" -o "$bdir/sqlite3.o"
  rm -f "$bdir/libsqlite3.a"
  run "$log" "$t-ar" rcs "$bdir/libsqlite3.a" "$bdir/sqlite3.o"
  run "$log" install -m 644 "$bdir/libsqlite3.a" "$prefix/lib/libsqlite3.a"
  run "$log" install -m 644 "$a/sqlite3.h" "${SRCDIR[sqlite3]}/src/sqlite3ext.h" "$prefix/include/"
}

# cmake_build TRIPLE PREFIX LOG BUILDDIR SOURCEDIR [CMAKE ARGS...]
cmake_build() {
  local t="$1" prefix="$2" log="$3" bdir="$4" sdir="$5" pic=OFF; shift 5
  is_linux "$t" && pic=ON
  run "$log" cmake -S "$sdir" -B "$bdir" -G Ninja \
    -DCMAKE_TOOLCHAIN_FILE="$ROOT/cmake/toolchain-$t.cmake" \
    -DVX_DEPS_PREFIX="$prefix" \
    -DCMAKE_INSTALL_PREFIX="$prefix" \
    -DCMAKE_INSTALL_LIBDIR=lib \
    -DCMAKE_BUILD_TYPE=Release \
    -DCMAKE_POSITION_INDEPENDENT_CODE=$pic \
    -DCMAKE_CXX_STANDARD=17 \
    -DBUILD_SHARED_LIBS=OFF \
    "$@"
  run "$log" cmake --build "$bdir" -j "$JOBS"
  run "$log" cmake --install "$bdir"
}

build_jsoncpp() {
  cmake_build "$@" "${SRCDIR[libjsoncpp]}" "${SIZE_CMAKE[@]}" \
    -DBUILD_STATIC_LIBS=ON -DBUILD_OBJECT_LIBS=OFF \
    -DJSONCPP_WITH_TESTS=OFF -DJSONCPP_WITH_POST_BUILD_UNITTEST=OFF \
    -DJSONCPP_WITH_EXAMPLE=OFF -DJSONCPP_WITH_CMAKE_PACKAGE=ON \
    -DJSONCPP_WITH_PKGCONFIG_SUPPORT=ON
}

build_protobuf() {
  cmake_build "$@" "${SRCDIR[protobuf]}" "${SIZE_CMAKE[@]}" \
    -Dprotobuf_BUILD_TESTS=OFF -Dprotobuf_BUILD_PROTOC_BINARIES=OFF \
    -Dprotobuf_BUILD_LIBPROTOC=OFF -Dprotobuf_BUILD_SHARED_LIBS=OFF \
    -Dprotobuf_WITH_ZLIB=OFF -Dprotobuf_BUILD_EXAMPLES=OFF -Dprotobuf_INSTALL=ON
}

# The skin reader of the UI library.
build_tinyxml2() {
  cmake_build "$@" "${SRCDIR[tinyxml2]}" "${SIZE_CMAKE[@]}" \
    -Dtinyxml2_BUILD_TESTING=OFF
}

build_googletest() {
  cmake_build "$@" "$GTEST_SRC" \
    -DBUILD_GMOCK=ON -DINSTALL_GTEST=ON -Dgtest_build_tests=OFF -Dgtest_build_samples=OFF \
    -Dgmock_build_tests=OFF
}

# The recipe text is stored in the stamp: changing a library's version or flags here rebuilds it.
# recipe LIB TRIPLE
recipe() {
  is_linux "$2" && echo -n "pic "
  case "$1" in
    sqlite3)   echo "sqlite3 $SQLITE_VER" $SQLITE_FLAGS ;;
    jsoncpp)   echo "jsoncpp $JSONCPP_VER static cxx17 $SIZE_FLAGS r1" ;;
    protobuf)  echo "protobuf $PROTOBUF_VER static nozlib noprotoc full+lite cxx17 $SIZE_FLAGS r1" ;;
    tinyxml2)  echo "tinyxml2 $TINYXML2_VER static cxx17 $SIZE_FLAGS r1" ;;
    googletest) echo "googletest $(dpkg-query -W -f='${Version}' googletest) static gtest+gmock cxx17 r1" ;;
  esac
}

LIBS=(sqlite3 jsoncpp protobuf tinyxml2 googletest)
for t in "${TRIPLES[@]}"; do
  prefix="$DEPS/$t"
  mkdir -p "$prefix"
  for lib in "${LIBS[@]}"; do
    r="$(recipe "$lib" "$t")"
    if stamp_ok "$t" "$lib" "$r"; then
      continue
    fi
    log="$LOG/$lib-$t.log"; : >"$log"
    bdir="$WORK/$lib-$t"
    rm -rf "$bdir" "$prefix/.stamp-$lib"
    say "building $lib for $t"
    t0=$(now)
    "build_$lib" "$t" "$prefix" "$log" "$bdir"
    echo "$r" >"$prefix/.stamp-$lib"
    rm -rf "$bdir"
    say "built $lib for $t in $(( $(now) - t0 )) s"
  done
  say "$t ready: $prefix"
done
