#!/usr/bin/env bash
# Checks the Python package wellfit of a build (default build/):
#  1. pip installs it with --no-build-isolation into a fresh virtual
#     environment made with --system-site-packages (numpy and the rest from
#     Debian, no package index), and its pytest tests run against the
#     installed package, among them the comparison with wellfit-cli --all --json;
#  2. the example script fits the bundled example and draws its plot;
#  3. CPack makes the Debian package python3-wellfit (component "python"),
#     which imports from an unpacked root.
set -euo pipefail
cd "$(dirname "$0")/.."
source_dir=$(pwd)
build=$(realpath "${1:-build}")
python=/usr/bin/python3

scratch=$(mktemp -d)
trap 'rm -rf "$scratch"' EXIT
fail() { echo "check-python: $*" >&2; exit 1; }

"$python" -m venv --system-site-packages "$scratch/venv"
WELLFIT_BUILD_DIR="$build" "$scratch/venv/bin/python" -m pip install --quiet --no-build-isolation --no-index \
  "$source_dir/python"
where=$(cd "$scratch" && "$scratch/venv/bin/python" -c 'import wellfit; print(wellfit.__file__)')
case "$where" in "$scratch/venv/"*) ;; *) fail "wellfit was imported from $where, not from the environment" ;; esac

# From a folder outside the sources, so that only the installed package can be imported.
# Any exit status but 0 fails, among them pytest's 5 (no test collected).
(cd "$scratch" && WELLFIT_CLI="$build/app/cli/wellfit-cli" WELLFIT_EXAMPLES="$source_dir/examples" MPLBACKEND=Agg \
  "$scratch/venv/bin/python" -P -m pytest -q -p no:cacheprovider "$source_dir/python/tests")

(cd "$scratch" && MPLBACKEND=Agg "$scratch/venv/bin/python" "$source_dir/examples/notebooks/fit_example.py" \
  "$scratch/fit.png")
[ -s "$scratch/fit.png" ] || fail "the example script drew no plot"

(cd "$build" && cpack -G DEB -D CPACK_DEB_COMPONENT_INSTALL=ON -D CPACK_COMPONENTS_ALL=python -B "$scratch/deb" \
  > "$scratch/cpack.log" 2>&1) || { cat "$scratch/cpack.log" >&2; fail "cpack made no python3-wellfit package"; }
deb=$(ls "$scratch"/deb/python3-wellfit_*_amd64.deb 2>/dev/null | head -n 1)
[ -n "$deb" ] || fail "cpack made no python3-wellfit package"
dpkg-deb -f "$deb" Depends | grep -q python3-numpy || fail "python3-wellfit does not depend on python3-numpy"
dpkg-deb -x "$deb" "$scratch/root"
(cd "$scratch" && PYTHONPATH="$scratch/root/usr/lib/python3/dist-packages" "$python" -P -c \
  'import wellfit, sys; assert wellfit.__file__.startswith(sys.argv[1]), wellfit.__file__' "$scratch/root")
echo "check-python: the wellfit package of $build is sound ($(basename "$deb"))"
