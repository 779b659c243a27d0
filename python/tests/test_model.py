"""What-if model runs (simulate) and the logarithmic derivative."""

import hashlib
import math

import numpy as np
import pytest

import wellfit

PARAMS = {"TF": 20.0, "TM": 440.0, "SF": 2e-5, "SM": 8e-5}


def _digest(folder):
    return {f.name: hashlib.sha256(f.read_bytes()).hexdigest() for f in sorted(folder.iterdir())}


def test_simulate_is_the_fixed_time_run_and_leaves_the_side_files(example):
    p = wellfit.Project.open(example)
    p.mesh()
    p.prepare()
    before = _digest(example.parent)
    simulated = p.simulate(PARAMS, p.times)
    assert _digest(example.parent) == before  # no side file of the project changed

    # The same model run as a fixed-time analysis of the project: the same digits.
    fixed = p.fit(type="fixed", guesses=PARAMS)
    assert simulated.shape == (1, len(p.times))
    assert np.array_equal(simulated[0], fixed.simulated[0][1:])


def test_drawdown_is_linear_in_the_discharge(example):
    # A confined aquifer is a linear system: doubling the discharge doubles
    # every drawdown (superposition). Tolerance 1e-6 relative: the simulation
    # file prints 11 digits, the model runs in double precision.
    p = wellfit.Project.open(example)
    times = [1.0, 3.0, 10.0, 30.0, 100.0, 300.0]
    single = p.simulate(PARAMS, times)[0]
    p.schedule = [(0.0, 2 * 788.0)]
    double = p.simulate(PARAMS, times)[0]
    np.testing.assert_allclose(double, 2 * single, rtol=1e-6)
    # Drawdown grows with time while pumping goes on.
    assert np.all(np.diff(single) > 0)


def test_simulate_refuses_bad_times_and_parameters(example):
    p = wellfit.Project.open(example)
    with pytest.raises(wellfit.WellfitError, match="positive and ascending"):
        p.simulate(PARAMS, [1.0, 0.5])
    with pytest.raises(wellfit.WellfitError, match="lack SM"):
        p.simulate({"TF": 1, "TM": 1, "SF": 1e-5}, [1.0])
    with pytest.raises(wellfit.WellfitError, match="at most 252"):
        p.simulate(PARAMS, np.arange(1.0, 300.0))


def test_log_derivative_of_a_straight_line_in_log_time_is_its_slope():
    # Cooper-Jacob: s = Q/(4 pi T) ln(2.25 T t / (r^2 S)) has ds/dln t = Q/(4 pi T)
    # exactly; with Q = 788 m3/day and T = 460 m2/day that is 0.13632...
    q, t_, s_, r = 788.0, 460.0, 1e-4, 30.0
    times = np.geomspace(0.01, 1.0, 25)  # days
    drawdown = q / (4 * math.pi * t_) * np.log(2.25 * t_ * times / (r * r * s_))
    slope = wellfit.log_derivative(times, drawdown)
    np.testing.assert_allclose(slope, q / (4 * math.pi * t_), rtol=1e-12)
    np.testing.assert_allclose(wellfit.log_derivative(times, drawdown, spacing=0.3), slope, rtol=1e-12)


def test_log_derivative_weights_uneven_neighbours_and_checks_its_input():
    # s = (ln t)^2 has ds/dln t = 2 ln t; the weighted central slope is exact
    # for a parabola in ln t at an interior point.
    times = np.array([1.0, 2.0, 7.0, 9.0])
    x = np.log(times)
    d = wellfit.log_derivative(times, x**2)
    np.testing.assert_allclose(d[1:3], 2 * x[1:3], rtol=1e-12)
    with pytest.raises(ValueError, match="ascending"):
        wellfit.log_derivative([2.0, 1.0], [0.0, 1.0])
    with pytest.raises(ValueError, match="two readings"):
        wellfit.log_derivative([1.0], [0.0])
