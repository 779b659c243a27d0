#!/bin/sh
# Regenerates golden.txt, the gfortran output records that the textio tests
# compare the C++ formatter against. Needs gfortran; the tests themselves do not.
#
#   sh tests/data/textio/make_golden.sh
#
# To add a case, add a call to fcase/rcases/icases/lcase at the end of
# make_golden.f90. A case whose value kinds have no WRITE statement yet makes
# the program print "MISSING F <kinds>" (or "MISSING L"): add that signature
# to emit_formatted (or emit_list) and run again.
set -eu
here=$(cd "$(dirname "$0")" && pwd)
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
gfortran -ffree-line-length-none -Wall -o "$work/make_golden" "$here/make_golden.f90"
(cd "$work" && ./make_golden > missing.txt)
if [ -s "$work/missing.txt" ]; then
    cat "$work/missing.txt" >&2
    exit 1
fi
cp "$work/golden.txt" "$here/golden.txt"
echo "wrote $here/golden.txt ($(grep -c '^CASE' "$here/golden.txt") cases)"
