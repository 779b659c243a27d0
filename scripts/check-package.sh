#!/usr/bin/env bash
# Builds the four Debian packages in build/ (cpack -G DEB) and checks them:
#  - the same bytes from a second cpack run (reproducible);
#  - libwfcore1's shlibs line, its symbols file, its ldconfig trigger and no
#    maintainer scripts, every package's Installed-Size, and the hardening of
#    the programs and the library;
#  - wellfit-cli alone: libwfcore1 and wellfit-cli unpacked into a scratch root
#    (dpkg -x, in dependency order) run the bundled example with no Qt library
#    loaded, and the package's dependency closure on this system holds no Qt
#    and no X11 package;
#  - libwfcore-dev: a C program through pkg-config and a C++14 program through
#    the CMake package build against the unpacked headers; the C++ program,
#    built against libwfcore 1.0, still runs after the library is swapped for
#    one of a newer minor version with the same SONAME;
#  - wellfit: the desktop entry and the AppStream metadata validate, and the
#    programs answer --version from the unpacked tree;
#  - lintian on all four: no error.
# The scratch roots are plain folders (no chroot): nothing needs the network.
set -euo pipefail
cd "$(dirname "$0")/.."
build=${1:-build}

fail() { echo "check-package: $*" >&2; exit 1; }
version=$(sed -n 's/^#define WELLFIT_VERSION "\(.*\)"$/\1/p' "$build/generated/wellfit_version.h")
arch=$(dpkg --print-architecture)
multiarch=$(dpkg-architecture -qDEB_HOST_MULTIARCH)
packages=(libwfcore1 libwfcore-dev wellfit-cli wellfit)
deb() { echo "$build/${1}_${version}_${arch}.deb"; }

scratch=$(mktemp -d)
trap 'rm -rf "$scratch"' EXIT
unset LD_LIBRARY_PATH

# The CPack warnings about the missing postinst and postrm of libwfcore1 are
# expected: those names keep CPack from writing scripts that call ldconfig.
cpack_run() { (cd "$build" && env -u SOURCE_DATE_EPOCH cpack -G DEB > "$scratch/cpack.log" 2>&1) || { cat "$scratch/cpack.log" >&2; fail "cpack failed"; }; }
cpack_run
for p in "${packages[@]}"; do
  [ -f "$(deb "$p")" ] || fail "$(deb "$p") was not made"
done

# Reproducible: a second run gives the same bytes.
for p in "${packages[@]}"; do sha256sum "$(deb "$p")"; done > "$scratch/first.sha256"
cpack_run
sha256sum --quiet -c "$scratch/first.sha256" || fail "a second cpack run made other bytes"

# The library package: shlibs line, trigger, no maintainer scripts.
dpkg-deb -e "$(deb libwfcore1)" "$scratch/control-lib"
[ "$(cat "$scratch/control-lib/shlibs")" = "libwfcore 1 libwfcore1 (>= $version)" ] \
  || fail "libwfcore1's shlibs file says \"$(cat "$scratch/control-lib/shlibs")\""
grep -qx "activate-noawait ldconfig" "$scratch/control-lib/triggers" || fail "libwfcore1 has no ldconfig trigger"
# The symbols file names exactly the functions the library exports.
exported=$(dpkg-deb --fsys-tarfile "$(deb libwfcore1)" | tar -xO --wildcards './usr/lib/*/libwfcore.so.1.*' > "$scratch/lib.so" &&
           nm -D --defined-only "$scratch/lib.so" | awk '$2 == "T" { print $3 "@Base" }' | sort)
listed=$(awk 'NR > 1 && $1 != "*" { print $1 }' "$scratch/control-lib/symbols" | sort)
[ "$exported" = "$listed" ] || fail "libwfcore1's symbols file lists \"$listed\", the library exports \"$exported\""
for script in preinst postinst prerm postrm; do
  [ ! -e "$scratch/control-lib/$script" ] || fail "libwfcore1 has a $script script"
done

for p in libwfcore1 libwfcore-dev; do
  [ "$(dpkg-deb -f "$(deb "$p")" Multi-Arch)" = same ] || fail "$p is not Multi-Arch: same"
done

# Installed-Size as dpkg-gencontrol counts it: every file and symlink in whole
# KiB (at least 1), and 1 KiB for each folder.
for p in "${packages[@]}"; do
  dpkg-deb -x "$(deb "$p")" "$scratch/size-$p"
  expected=$(find "$scratch/size-$p" -mindepth 1 -printf '%y %s\n' |
             awk '$1 == "d" { n += 1; next } { k = int(($2 + 1023) / 1024); n += (k > 0 ? k : 1) } END { print n }')
  stated=$(dpkg-deb -f "$(deb "$p")" Installed-Size)
  [ "$stated" -eq "$expected" ] || fail "$p states Installed-Size $stated, its files take $expected KiB"
done

# The runner alone, in a root that holds only libwfcore1 and wellfit-cli.
cli="$scratch/cli-root"
dpkg-deb -x "$(deb libwfcore1)" "$cli"
dpkg-deb -x "$(deb wellfit-cli)" "$cli"
lib=$(ldd "$cli/usr/bin/wellfit-cli" | awk '$1 == "libwfcore.so.1" { print $3 }')
[ "$(realpath "$lib")" = "$(realpath "$cli/usr/lib/$multiarch/libwfcore.so.1")" ] \
  || fail "wellfit-cli takes libwfcore.so.1 from \"$lib\""
if ldd "$cli/usr/bin/wellfit-cli" | grep -i 'libQt\|libX11\|libxcb'; then
  fail "wellfit-cli loads a Qt or X11 library"
fi
printed=$("$cli/usr/bin/wellfit-cli" --version)
[ "$printed" = "wellfit-cli $version" ] || fail "wellfit-cli --version printed \"$printed\""
cp -r "$cli/usr/share/doc/wellfit-cli/examples/oude-korendijk" "$scratch/example"
status=0
"$cli/usr/bin/wellfit-cli" --all "$scratch/example/OKORENDIJK.wft" > "$scratch/example.out" || status=$?
# 3: converged with the damping factor still large; the fit is printed.
[ "$status" -eq 0 ] || [ "$status" -eq 3 ] || fail "the example ended with status $status"
[ -s "$scratch/example/OKORENDIJK.RES" ] || [ -s "$scratch/example/OKORENDIJK.res" ] \
  || fail "the example wrote no result file"

# What installing wellfit-cli would pull in: its dependencies and theirs, as
# this system's package lists know them. libwfcore1 is ours and is not there.
depends=$(dpkg-deb -f "$(deb wellfit-cli)" Depends)
grep -q "libwfcore1 (>= $version)" <<< "$depends" || fail "wellfit-cli does not depend on libwfcore1 (>= $version)"
roots=$(tr ',|' '\n\n' <<< "$depends" | sed 's/(.*)//; s/[[:space:]]//g' | grep -v '^libwfcore1$' | grep .)
# shellcheck disable=SC2086
closure=$(apt-cache depends --recurse --no-recommends --no-suggests --no-conflicts --no-breaks --no-replaces \
            --no-enhances $roots | grep -v '^ ' | sort -u)
if grep -i '^libqt\|^qt6\|^libx11\|^libxcb' <<< "$closure"; then
  fail "installing wellfit-cli would pull in the packages above"
fi
echo "check-package: wellfit-cli needs $(wc -l <<< "$closure") packages besides libwfcore1, none of Qt or X11"

# The whole set, for the library's callers and the desktop program.
root="$scratch/root"
for p in "${packages[@]}"; do dpkg-deb -x "$(deb "$p")" "$root"; done
usr="$root/usr"
libdir="$usr/lib/$multiarch"

# Hardening: read-only relocations bound at start-up, position-independent
# programs, the stack protector and fortified libc calls.
for binary in "$usr/bin/wellfit-cli" "$usr/bin/Wellfit" "$libdir/libwfcore.so.1"; do
  name=$(basename "$binary")
  # Read whole first: grep -q would close the pipe early under pipefail.
  segments=$(readelf -lW "$binary"); dynamic=$(readelf -dW "$binary"); symbols=$(readelf --dyn-syms -W "$binary")
  grep -q GNU_RELRO <<< "$segments" || fail "$name has no RELRO segment"
  grep -q BIND_NOW <<< "$dynamic" || fail "$name is not linked with -z now"
  grep -q __stack_chk_fail <<< "$symbols" || fail "$name has no stack protector"
  grep -q '__[a-z]*_chk@' <<< "$symbols" || fail "$name calls no fortified function"
done
for program in wellfit-cli Wellfit; do
  header=$(readelf -hW "$usr/bin/$program")
  grep -q 'Type: *DYN' <<< "$header" || fail "$program is not position-independent"
done

# A C program through pkg-config.
mkdir "$scratch/consumer"
cat > "$scratch/consumer/main.c" <<'CODE'
#include <limits.h>
#include <wfcore/wfcore.h>
int main(void) { wfSetHost(0); return sizeof(PUMP) == 184 && sizeof(WfNZero) == 4 ? 0 : 1; }
CODE
# shellcheck disable=SC2046
cc -std=c99 -Wall -Wextra -pedantic -Werror -o "$scratch/consumer/by-pkg-config" "$scratch/consumer/main.c" \
   $(PKG_CONFIG_PATH="$libdir/pkgconfig" pkg-config --cflags --libs wfcore) -Wl,-rpath,"$libdir"
"$scratch/consumer/by-pkg-config" || fail "the pkg-config consumer did not run"

# A C++14 program through the CMake package: a mesh run of the default project.
cat > "$scratch/consumer/main.cpp" <<'CODE'
#include <climits>
#include <cstdio>
#include <cstring>
#include <wfcore/wfcore.h>
int main() {
    WfFilename filename{};
    filename.baseLength = 4;
    std::memcpy(filename.projectName, "CONS", 4);
    WfMesh mesh = wf::defaults::mesh();
    WfObsv obsv = wf::defaults::obsv();
    WfPump pump = wf::defaults::pump();
    WfGuess guess = wf::defaults::guess();
    WfPinit pinit = wf::defaults::pinit();
    WfUnits units = wf::defaults::units();
    WfNZero nzero = wf::defaults::nzero();
    wftDLL(WF_MODE_MESH, 0, &filename, &mesh, &obsv, &pump, &guess, &pinit, &units, &nzero);
    std::printf("NR %d NZ %d NN %d\n", mesh.NR, mesh.NZ, mesh.NN);
    return mesh.NR > 0 && mesh.NZ == 20 && mesh.NN == mesh.NR * mesh.NZ ? 0 : 1;
}
CODE
cat > "$scratch/consumer/CMakeLists.txt" <<'CODE'
cmake_minimum_required(VERSION 3.25)
project(consumer CXX)
set(CMAKE_CXX_STANDARD 14)
set(CMAKE_CXX_STANDARD_REQUIRED ON)
set(CMAKE_CXX_EXTENSIONS OFF)
find_package(wfcore 1 REQUIRED)
add_executable(consumer main.cpp)
target_compile_options(consumer PRIVATE -Wall -Wextra -pedantic -Werror)
target_link_libraries(consumer PRIVATE wfcore::wfcore)
CODE
cmake -S "$scratch/consumer" -B "$scratch/consumer/build" -DCMAKE_PREFIX_PATH="$usr" >/dev/null
cmake --build "$scratch/consumer/build" >/dev/null
mkdir "$scratch/run-1.0" "$scratch/run-next"
(cd "$scratch/run-1.0" && "$scratch/consumer/build/consumer" >/dev/null) || fail "the CMake-package consumer did not run"

# The same program after an upgrade of libwfcore1 to a newer minor version.
cmake --build "$build" --target wfcore_next_minor >/dev/null
next=$(find "$build/packaging/next-minor" -name 'libwfcore.so.1.*' -type f)
[ -n "$next" ] || fail "the library of the newer minor version was not built"
[ "$(objdump -p "$next" | awk '$1 == "SONAME" { print $2 }')" = "libwfcore.so.1" ] \
  || fail "$next does not have the SONAME libwfcore.so.1"
rm "$libdir"/libwfcore.so.1*
cp "$next" "$libdir/"
ln -s "$(basename "$next")" "$libdir/libwfcore.so.1"
lib=$(ldd "$scratch/consumer/build/consumer" | awk '$1 == "libwfcore.so.1" { print $3 }')
[ "$(realpath "$lib")" = "$(realpath "$libdir/$(basename "$next")")" ] || fail "the consumer took \"$lib\""
(cd "$scratch/run-next" && "$scratch/consumer/build/consumer" >/dev/null) \
  || fail "the consumer built against $version failed with $(basename "$next")"
cmp -s "$scratch/run-1.0/CONS.fem" "$scratch/run-next/CONS.fem" || fail "the two libraries made other meshes"

desktop-file-validate "$usr/share/applications/org.wellfit.Wellfit.desktop"
appstreamcli validate --no-net "$usr/share/metainfo/org.wellfit.Wellfit.metainfo.xml" >/dev/null
[ -s "$usr/share/wellfit/screenshots/main-window.png" ] || fail "the screenshot is not shipped"
for page in wellfit-cli Wellfit; do
  [ -s "$usr/share/man/man1/$page.1.gz" ] || fail "manual page $page.1 is missing"
done

# lintian: errors fail the check; the warnings left are printed.
debs=()
for p in "${packages[@]}"; do debs+=("$(deb "$p")"); done
# The Python package comes from the same run when the build has it.
if [ -f "$(deb python3-wellfit)" ]; then debs+=("$(deb python3-wellfit)"); fi
lintian --fail-on error --tag-display-limit 0 "${debs[@]}" || fail "lintian found errors"
echo "check-package: ${packages[*]} ($version) are sound"
