"""The analysis dialog's settings given to fit(), and the options of the schema."""

import numpy as np
import pytest

import wellfit


@pytest.fixture
def prepared(example):
    p = wellfit.Project.open(example)
    p.mesh()
    p.prepare()
    return p


def test_ignored_readings_and_typed_guesses_and_bounds_reach_the_search(prepared):
    p = prepared
    fit = p.fit(type="fixed", ignore=5, guesses={"TF": 30.0, "TM": 400.0, "SF": 1e-5, "SM": 8e-5})
    # NSKIP = 5: the first five observations (the initial level at t = 0 with
    # drawdown 0 is the first of them) take no part in the error estimate.
    observed = np.concatenate([[0.0], p.values])
    residuals = fit.simulated[0] - observed
    assert fit.report["points"][0]["residuals"] == len(observed) - 5
    assert np.isclose(np.sum(residuals[5:] ** 2), fit.report["error_estimate"], rtol=1e-7)
    assert not np.isclose(np.sum(residuals**2), fit.report["error_estimate"], rtol=1e-3)
    assert fit.report["stop_rule"] == "fixed_time" and fit.report["passes"] == 1

    # Bounds typed over the dialog's: a search held inside them ends on one.
    fit = p.fit(search="bound-aware", guesses={"TM": 320.0}, bounds={"TM": (300.0, 350.0)}, max_passes=30)
    assert 300.0 <= fit.parameters["TM"] <= 350.0 + 1e-3
    assert p.bounds["TM"] == (300.0, 350.0)
    assert fit.report["parameters"]["TM"]["at_bound"] == "upper"


def test_refused_analysis_settings_leave_the_project_as_it_was(prepared):
    p = prepared
    before = p.record("PINIT"), p.record("GUESS")
    with pytest.raises(wellfit.WellfitError, match="Guesses not between minimum and maximum"):
        p.fit(guesses={"TF": 10.0}, bounds={"TF": (20.0, 30.0)})
    with pytest.raises(wellfit.WellfitError, match="timesteps cannot be zero"):
        p.fit(type="prediction", time_steps=0)
    with pytest.raises(wellfit.WellfitError, match="not TF, TM, SF or SM"):
        p.fit(guesses={"KF": 1.0})
    with pytest.raises(wellfit.WellfitError, match="optimization, fixed, prediction"):
        p.fit(type="steady")
    assert (p.record("PINIT"), p.record("GUESS")) == before


def test_a_prediction_extends_the_time_axis(prepared):
    p = prepared
    fit = p.fit(type="prediction", sim_days=5, time_steps=20)
    # 5 days in the input-time unit (minutes), reached by the last time level.
    assert np.isclose(fit.times[-1], 5 * 24 * 60, rtol=1e-6)
    assert len(fit.times) > len(p.times) + 1
    assert np.all(np.diff(fit.simulated[0][1:]) > 0)  # drawdown keeps growing while pumping


def test_options_take_values_and_texts_as_the_command_line_does(example):
    o = wellfit.Project.open(example).options
    assert set(o.names()) >= {"hold", "one_aquifer", "search", "stop_tolerance", "max_passes", "fine_model"}
    o.hold = "tf,sm"
    assert o.hold == ["tf", "sm"]
    o.hold = []
    assert o.hold == []
    o.one_aquifer = True
    assert o.one_aquifer is True
    o.stop_tolerance = "1e-4"
    assert np.isclose(o.stop_tolerance, 1e-4)
    o.max_passes = 17
    assert o.max_passes == 17
    with pytest.raises(wellfit.WellfitError, match="max_passes"):
        o.max_passes = 0
    with pytest.raises(wellfit.WellfitError, match="Unknown option"):
        o.no_such_option = 1
    with pytest.raises(AttributeError):
        o.no_such_option  # noqa: B018
    assert "passes" in wellfit.Project.open(example).options.help("max_passes")


def test_holding_every_parameter_is_refused(example):
    o = wellfit.Project.open(example).options
    with pytest.raises(wellfit.WellfitError, match="hold"):
        o.hold = ["tf", "tm", "sf", "sm"]
    assert o.hold == []
