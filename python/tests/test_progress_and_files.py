"""Progress listeners and the reader of the simulation file."""

import numpy as np
import pytest

import wellfit
from wellfit import progress


def test_listeners_by_kind(capsys):
    assert progress.listener(None) is None and progress.listener(False) is None
    seen = []
    call = progress.listener(lambda line: seen.append(line) or True)
    assert call(2, "Iteration   3: Error Estimate (RMSE) =  0.5") is True
    assert seen == ["Iteration   3: Error Estimate (RMSE) =  0.5"]
    with pytest.raises(TypeError, match="callable"):
        progress.listener(42)


def test_the_tqdm_bar_counts_the_passes():
    pytest.importorskip("tqdm")
    bar = progress.listener(True, total=10)
    for line in ("WELLFIT: Start Computation", "Iteration   1: Error Estimate (RMSE) =  0.5",
                 "Multipliers: 1 2 3 4", "Iteration   4: Error Estimate (RMSE) =  0.1"):
        bar(2, line)
    assert bar._bar.n == 4
    bar(2, "WELLFIT: Computation Complete")


def test_simulation_file_of_two_points(tmp_path):
    # Layout of {base}.inv: NOBS NT; the node line; NOBS x NT records of node,
    # time, drawdown (the exponent may be written with D).
    text = ("   2   3\n     Node:    101   205\n"
            "       101         0.0000  0.0000000000E+00\n"
            "       101         1.5000  1.2500000000E-01\n"
            "       101        10.0000  2.5000000000D-01\n"
            "       205         0.0000  0.0000000000E+00\n"
            "       205         1.5000  2.0000000000E-02\n"
            "       205        10.0000  7.5000000000E-02\n")
    path = tmp_path / "TWO.inv"
    path.write_text(text)
    times, simulated = wellfit.read_simulation(path)
    np.testing.assert_array_equal(times, [0.0, 1.5, 10.0])
    np.testing.assert_array_equal(simulated, [[0.0, 0.125, 0.25], [0.0, 0.02, 0.075]])
    path.write_text(text.splitlines(keepends=True)[0] + "     Node:\n" + "".join(text.splitlines(True)[2:5]))
    with pytest.raises(ValueError, match="3 records, 6 expected"):
        wellfit.read_simulation(path)
