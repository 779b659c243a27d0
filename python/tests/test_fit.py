"""Fits of the bundled example: the report, the arrays, the search options."""

import json
import math
import subprocess

import numpy as np
import pytest

import wellfit


def test_report_is_the_one_of_wellfit_cli_all_json(example, example_copies, cli):
    # The same project fitted by wellfit-cli --all --json in another folder:
    # the two reports are one dict, figure for figure.
    (other,) = example_copies(1)
    done = subprocess.run([cli, "--all", "--json", str(other)], capture_output=True, text=True, check=False)
    assert done.returncode in (0, 3), done.stderr
    expected = json.loads(done.stdout)

    fit = wellfit.Project.open(example).fit()
    assert fit.report == expected
    assert fit.report["search"] == "plain" and fit.report["passes"] > 1


def test_arrays_parameters_and_totals_agree_with_the_report(example):
    p = wellfit.Project.open(example)
    fit = p.fit()
    measured = p.values
    # The model's time levels: the initial level at 0, then one per reading.
    assert fit.times[0] == 0.0
    np.testing.assert_allclose(fit.times[1:], p.times, rtol=0, atol=5e-5)  # F15.4 in the simulation file
    assert fit.simulated.shape == (1, len(measured) + 1)
    # The error estimate S is the sum of squared residuals over the readings;
    # the simulation file prints 11 significant digits, the report 9.
    residuals = fit.simulated[0][1:] - measured
    assert math.isclose(float(np.sum(residuals**2)), fit.report["error_estimate"], rel_tol=1e-7)
    assert fit.parameters == {k: fit.report["parameters"][k]["value"] for k in ("TF", "TM", "SF", "SM")}
    assert math.isclose(fit.totals["T"], fit.parameters["TF"] + fit.parameters["TM"], rel_tol=1e-6)
    assert math.isclose(fit.totals["S"], fit.parameters["SF"] + fit.parameters["SM"], rel_tol=1e-6)
    # The fitted parameters are the project's guesses now, as after the program's analysis.
    assert math.isclose(p.guesses.TF, fit.parameters["TF"], rel_tol=1e-6)


def test_search_and_options_come_from_the_option_schema(example):
    p = wellfit.Project.open(example)
    words = wellfit.Project.open(example).options.words("search")
    assert {"plain", "bound-aware"} <= set(words)
    with pytest.raises(wellfit.WellfitError, match="search"):
        p.fit(search="no-such-search")

    fit = p.fit(search="bound-aware", hold=["tf"], max_passes=5)
    assert fit.report["search"] == "bound-aware"
    assert fit.report["parameters"]["TF"]["held"] is True
    assert fit.report["passes"] <= 5
    # The options are kept in the project and saved with it.
    p.save()
    again = wellfit.Project.open(example)
    assert again.options.search == "bound-aware" and again.options.hold == ["tf"]
    assert again.options.max_passes == 5


def test_failed_runs_raise_with_the_solvers_message(tmp_path):
    long_name = wellfit.Project.new(tmp_path / "ABCDEFGHIJKLMN.wft")
    with pytest.raises(wellfit.SolverError, match="1 to 12 characters") as caught:
        long_name.mesh()
    assert caught.value.messages and caught.value.stage == "Mesh construction"

    empty = wellfit.Project.new(tmp_path / "EMPTY.wft")
    with pytest.raises(wellfit.WellfitError, match="no test data"):
        empty.fit()


def test_progress_lines_reach_the_callback_and_true_cancels(example):
    p = wellfit.Project.open(example)
    lines = []
    refusals = []

    def watch(line):
        lines.append(line)
        if line.startswith("Iteration"):
            try:
                p.save()  # the project is busy with the run
            except wellfit.WellfitError as error:
                refusals.append(str(error))
            return True  # "Cancel" after the first pass
        return None

    fit = p.fit(progress=watch)
    assert lines[0] == "WELLFIT: Start Computation"
    assert lines[-1] == "WELLFIT: Computation Complete"
    assert fit.report["stop_rule"] == "cancel" and fit.report["passes"] == 1
    assert refusals and "busy" in refusals[0]


def test_an_error_in_the_callback_ends_the_run_and_is_raised(example):
    p = wellfit.Project.open(example)

    def broken(line):
        raise KeyError("from the callback")

    with pytest.raises(KeyError, match="from the callback"):
        p.fit(progress=broken)


def test_ctrl_c_ends_the_run_after_its_pass_and_is_raised(example):
    import os
    import signal
    import threading
    import time

    p = wellfit.Project.open(example)
    p.mesh()
    p.prepare()
    passes = []
    # SIGINT once the search has started: Python raises KeyboardInterrupt in
    # the waiting caller, the run stops at the end of its pass.
    timer = threading.Timer(0.05, lambda: os.kill(os.getpid(), signal.SIGINT))

    def watch(line):
        if line.startswith("Iteration"):
            passes.append(line)
            if len(passes) == 1:
                timer.start()

    start = time.perf_counter()
    with pytest.raises(KeyboardInterrupt):
        p.fit(progress=watch)
    timer.cancel()
    assert 1 <= len(passes) < 50  # the whole search takes 54 passes
    assert time.perf_counter() - start < 5
