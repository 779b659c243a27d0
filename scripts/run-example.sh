#!/usr/bin/env bash
# Builds Wellfit and analyses the bundled Oude Korendijk pumping test:
# installs missing packages, builds into ./build, copies the example into
# build/example-run (fresh) and runs the mesh, data preparation and
# optimisation with wellfit-cli, which prints the fitted parameters.
set -euo pipefail
cd "$(dirname "$0")/.."

scripts/install-deps.sh
# The desktop program needs a display and Qt; the example needs only the solver
# and the command-line runner. Extra CMake options may be passed to this script.
scripts/build.sh "$@"

run_dir=build/example-run
rm -rf "$run_dir"
mkdir -p "$run_dir"
cp examples/oude-korendijk/OKORENDIJK.wft examples/oude-korendijk/OKORENDIJK.DAT "$run_dir"/

status=0
build/app/cli/wellfit-cli --all "$run_dir/OKORENDIJK.wft" || status=$?
if [ "$status" -eq 3 ]; then
  # The search converged with its damping factor still large; the parameters
  # printed above are the converged fit.
  echo "Note: the solver reported \"CONVERGENCE REQUIREMENTS SATISFIED BUT LAMBDA STILL\"."
  status=0
fi
if [ "$status" -eq 0 ]; then
  echo "Results and simulated drawdowns: $run_dir/OKORENDIJK.res, $run_dir/OKORENDIJK.inv"
fi
exit "$status"
