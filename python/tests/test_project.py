"""Projects made, changed, saved and read back from Python."""

import numpy as np
import pytest

import wellfit


def test_new_project_takes_its_settings_and_reads_back_the_same(tmp_path):
    path = tmp_path / "SITE1.wft"
    times = np.array([1.0, 2.0, 5.0, 10.0, 20.0])
    p = wellfit.Project.new(
        path,
        units={"distance": "m", "time": "min", "conductivity": "m/day", "discharge": "m3/day"},
        geometry={"thickness": 12.5, "fracture_ratio": 0.1, "distance": 25.0, "position": "matrix",
                  "outer_radius": 2000.0},
        schedule=[(0.0, 500.0), (30.0, 750.0)],
        guesses={"TF": 50.0, "TM": 300.0, "SF": 1e-4, "SM": 2e-5},
        options={"max_passes": 40},
        data=(times, [0.1, 0.25, 0.5, 0.75, 1.0]),
        borehole="PB-25")
    q = wellfit.Project.open(path)
    assert q.name == "SITE1"
    assert q.units.as_dict() == p.units.as_dict()
    assert q.units.discharge == "m3/day" and q.units.time == "min"
    assert q.geometry.thickness == 12.5 and q.geometry.fracture_ratio == 0.1
    assert q.geometry.position == "matrix" and q.geometry.outer_radius == 2000.0
    assert q.schedule == [(0.0, 500.0), (30.0, 750.0)]
    assert q.guesses.as_dict() == {"TF": 50.0, "TM": 300.0, "SF": 1e-4, "SM": 2e-5}
    assert q.options.max_passes == 40
    assert q.borehole == "PB-25"
    np.testing.assert_array_equal(q.times, times)
    np.testing.assert_array_equal(q.values, [0.1, 0.25, 0.5, 0.75, 1.0])
    # The test-data file was written at once, beside the project file.
    assert [f.name.lower() for f in tmp_path.iterdir() if f.suffix.lower() == ".dat"] == ["site1.dat"]


def test_new_refuses_to_replace_a_project_unless_asked(example):
    with pytest.raises(wellfit.WellfitError, match="already exists"):
        wellfit.Project.new(example)
    wellfit.Project.new(example, overwrite=True)
    assert wellfit.Project.open(example).geometry.thickness == 40.0  # the program's default


@pytest.mark.parametrize("section, name, value, words", [
    ("units", "distance", "furlong", "mm, cm, m, km"),
    ("units", "discharge", 9, "L/s"),
    ("geometry", "position", "aquitard", "fracture, matrix"),
])
def test_bad_settings_are_refused_naming_the_field(example, section, name, value, words):
    p = wellfit.Project.open(example)
    with pytest.raises(wellfit.WellfitError, match=f"{section}.{name}") as caught:
        setattr(getattr(p, section), name, value)
    assert words in str(caught.value)


def test_bad_data_and_records_are_refused_with_the_field_named(example):
    p = wellfit.Project.open(example)
    with pytest.raises(wellfit.WellfitError, match="not a finite number"):
        p.set_data([1.0, 2.0], [0.1, float("nan")])
    with pytest.raises(wellfit.WellfitError, match="times but"):
        p.set_data([1.0, 2.0], [0.1])
    with pytest.raises(wellfit.WellfitError, match="PUMP has no field QQ"):
        p._handle.get_field("PUMP", "QQ")
    with pytest.raises(wellfit.WellfitError, match=r"\[0\] to \[19\]"):
        p._handle.get_field("PUMP", "Q[20]")
    with pytest.raises(AttributeError, match="settings: thickness"):
        p.geometry.thikness = 3.0
    with pytest.raises(wellfit.WellfitError, match="1 to 20"):
        p.schedule = []


def test_bounds_and_records(example):
    p = wellfit.Project.open(example)
    p.bounds["TM"] = (10.0, 5000.0)
    assert p.bounds["TM"] == (10.0, 5000.0)
    assert p.record("PINIT")["TMMAX"] == 5000.0
    assert p.record("PUMP")["Q"][0] == 788.0 and len(p.record("PUMP")["Q"]) == 20
    with pytest.raises(KeyError):
        p.bounds["TX"]


def test_several_observation_points(example):
    p = wellfit.Project.open(example)
    first = p.points[0]
    second = {"name": "PB90", "distance": 90.0, "position": "matrix", "weight": 2.0,
              "times": first["times"], "values": first["values"] * 0.5}
    p.points = [second, first]  # sorted by distance on the way in
    assert "distance" in p.sorting_note or p.sorting_note
    points = p.points
    assert [pt["distance"] for pt in points] == [30.0, 90.0]
    assert points[1]["name"] == "PB90" and points[1]["position"] == "matrix" and points[1]["weight"] == 2.0
    np.testing.assert_allclose(points[1]["values"], first["values"] * 0.5)
