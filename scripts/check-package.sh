#!/usr/bin/env bash
# Builds the Debian package in build/ (cpack -G DEB), unpacks it into a scratch
# root and checks it from there, with LD_LIBRARY_PATH unset: the programs find
# their library, wellfit-cli prints its version and analyses the bundled
# example, a C program builds against the installed header through pkg-config
# and through the CMake package, and the desktop entry and the AppStream
# metadata validate.
set -euo pipefail
cd "$(dirname "$0")/.."
build=${1:-build}

(cd "$build" && cpack -G DEB)
version=$(sed -n 's/^#define WELLFIT_VERSION "\(.*\)"$/\1/p' "$build/generated/wellfit_version.h")
deb="$build/wellfit_${version}_amd64.deb"
[ -f "$deb" ] || { echo "check-package: $deb was not made" >&2; exit 1; }

scratch=$(mktemp -d)
trap 'rm -rf "$scratch"' EXIT
root="$scratch/root"
dpkg-deb -x "$deb" "$root"
unset LD_LIBRARY_PATH
usr="$root/usr"

fail() { echo "check-package: $*" >&2; exit 1; }

# The programs resolve libwfcore.so.1 inside the unpacked tree.
for program in wellfit-cli Wellfit; do
  lib=$(ldd "$usr/bin/$program" | awk '$1 == "libwfcore.so.1" { print $3 }')
  [ "$(realpath "$lib")" = "$(realpath "$usr/lib/libwfcore.so.1")" ] || fail "$program takes libwfcore.so.1 from \"$lib\""
done

printed=$("$usr/bin/wellfit-cli" --version)
[ "$printed" = "wellfit-cli $version" ] || fail "wellfit-cli --version printed \"$printed\""

# The example as the package ships it, in a folder of its own.
cp -r "$usr/share/doc/wellfit/examples/oude-korendijk" "$scratch/example"
status=0
"$usr/bin/wellfit-cli" --all "$scratch/example/OKORENDIJK.wft" || status=$?
# 3: converged with the damping factor still large; the fit is printed.
[ "$status" -eq 0 ] || [ "$status" -eq 3 ] || fail "the example ended with status $status"
[ -s "$scratch/example/OKORENDIJK.res" ] || fail "the example wrote no OKORENDIJK.res"

# Another program links the solver library from the installed header.
mkdir "$scratch/consumer"
cat > "$scratch/consumer/main.c" <<'CODE'
#include <wfcore/wfcore.h>
int main(void) { wfSetHost(0); return sizeof(PUMP) == 184 ? 0 : 1; }
CODE
cat > "$scratch/consumer/CMakeLists.txt" <<'CODE'
cmake_minimum_required(VERSION 3.25)
project(consumer C)
find_package(wfcore 1 REQUIRED)
add_executable(consumer main.c)
target_link_libraries(consumer PRIVATE wfcore::wfcore)
CODE
# shellcheck disable=SC2046
cc -o "$scratch/consumer/by-pkg-config" "$scratch/consumer/main.c" \
   $(PKG_CONFIG_PATH="$usr/lib/pkgconfig" pkg-config --cflags --libs wfcore) -Wl,-rpath,"$usr/lib"
"$scratch/consumer/by-pkg-config" || fail "the pkg-config consumer did not run"
cmake -S "$scratch/consumer" -B "$scratch/consumer/build" -DCMAKE_PREFIX_PATH="$usr" >/dev/null
cmake --build "$scratch/consumer/build" >/dev/null
"$scratch/consumer/build/consumer" || fail "the CMake-package consumer did not run"

desktop-file-validate "$usr/share/applications/org.wellfit.Wellfit.desktop"
appstreamcli validate --no-net "$usr/share/metainfo/org.wellfit.Wellfit.metainfo.xml"
for page in wellfit-cli Wellfit; do
  [ -s "$usr/share/man/man1/$page.1.gz" ] || fail "manual page $page.1 is missing"
done
echo "check-package: $deb is sound"
