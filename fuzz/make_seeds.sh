#!/usr/bin/env bash
# Remakes the seed corpora in fuzz/corpus/ from the files the bundled example
# writes: runs wellfit-cli --all on a copy of examples/oude-korendijk and puts
# each side file, with the harness's leading selector bytes, into the corpus of
# the harness that reads it. Usage: fuzz/make_seeds.sh [path/to/wellfit-cli]
set -euo pipefail
cd "$(dirname "$0")/.."
cli=${1:-build/app/cli/wellfit-cli}
run=$(mktemp -d)
trap 'rm -rf "$run"' EXIT
cp examples/oude-korendijk/OKORENDIJK.wft examples/oude-korendijk/OKORENDIJK.DAT "$run"/
status=0
"$cli" --all "$run/OKORENDIJK.wft" >/dev/null || status=$?
[ "$status" -eq 0 ] || [ "$status" -eq 3 ] || { echo "make_seeds: the example ended with $status" >&2; exit 1; }
"$cli" --new "$run/NEW.wft" >/dev/null

corpus=fuzz/corpus
rm -rf "$corpus"
mkdir -p "$corpus"/{fuzz_list_read,fuzz_project_file,fuzz_test_data,fuzz_paste,fuzz_solver_run}
ex="$run/OKORENDIJK"

# Project files: the example after its fit, and a new project with the defaults.
cp "$run/OKORENDIJK.wft" "$corpus/fuzz_project_file/example.wft"
cp "$run/NEW.wft" "$corpus/fuzz_project_file/new.wft"
cp "$ex.DAT" "$corpus/fuzz_test_data/example.DAT"

# Paste: the example's points as the clipboard of a spreadsheet holds them.
awk 'NR > 4 && NF >= 2 { printf "%s\t%s\r\n", $1, $2 }' "$ex.DAT" > "$corpus/fuzz_paste/example.txt"

# List-directed and column reads: the number of operations less one, the operation pairs
# (kind, argument), then the file. The sequences follow the solver's reads of
# each file: title records "(a72)", then list-directed integers and reals.
seed() { # name, operation bytes (octal escapes), file
  { printf "$2"; cat "$3"; } > "$corpus/fuzz_list_read/$1"
}
seed tim '\016\005\107\005\107\006\000\002\377\002\010\002\011\002\012\004\000\003\000\001\001\002\200\002\040\000\000\002\377\002\377' "$ex.tim"
seed obs '\010\005\107\005\107\003\000\002\003\002\002\002\003\004\000\002\006\000\000' "$ex.obs"
seed dat '\006\005\107\005\107\004\000\001\001\002\012\002\012\002\012' "$ex.DAT"
seed inv '\006\003\000\000\000\002\006\002\006\002\006\001\002\002\006' "$ex.inv"
head -c 4096 "$ex.fem" > "$run/fem-head"
seed fem '\010\005\107\003\000\002\037\002\006\002\052\002\052\002\052\001\003\002\052' "$run/fem-head"

# Whole runs: selector (file), analysis type, then the file.
{ printf '\000\000'; cat "$ex.fem"; } > "$corpus/fuzz_solver_run/fem-fixed"
{ printf '\001\001'; cat "$ex.tim"; } > "$corpus/fuzz_solver_run/tim-prediction"
{ printf '\002\000'; cat "$ex.obs"; } > "$corpus/fuzz_solver_run/obs-fixed"
{ printf '\003\000'; cat "$ex.inv"; } > "$corpus/fuzz_solver_run/inv-fixed"
{ printf '\004\000'; cat "$ex.DAT"; } > "$corpus/fuzz_solver_run/dat-preparation"
du -sh "$corpus"
