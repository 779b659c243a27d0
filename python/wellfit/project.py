"""A Wellfit project (.wft) for scripts and notebooks."""

import json
import math
import os

import numpy as np

from . import _core
from .errors import SolverError, WellfitError
from .fit import Fit, read_simulation
from .progress import listener
from .sections import PARAMETERS, POSITIONS, Bounds, Geometry, Guesses, Mesh, Options, Units

_TYPES = {"optimization": 0, "optimisation": 0, "fixed": 1, "fixed-time": 1, "prediction": 2}
_CONVERGENCE_NOTICE = "CONVERGENCE REQUIREMENTS SATISFIED BUT LAMBDA STILL"


def _number_text(value):
    """A number as the test-data file keeps it (the shortest text that reads back the same)."""
    value = float(value)
    if not math.isfinite(value):
        raise WellfitError(f"Test data: {value!r} is not a finite number")
    return repr(value)


def _side_file(folder, name):
    """The side file a name addresses, whatever the letter case of its extension."""
    exact = os.path.join(folder, name)
    if os.path.exists(exact):
        return exact
    for entry in os.listdir(folder):
        if entry.lower() == name.lower():
            return os.path.join(folder, entry)
    return exact


class Project:
    """A pumping-test project: settings, test data, and the solver's runs.

    Open one with ``Project.open(path)`` or make one with ``Project.new(path,
    **settings)``. Settings are attributes (``units``, ``geometry``,
    ``schedule``, ``times``/``values``, ``guesses``, ``bounds``, ``options``);
    ``save()`` writes the project file. The runs ``mesh()``, ``prepare()``,
    ``fit()`` write the side files in the project's folder as the desktop
    program does; ``simulate()`` touches none of them. Runs release the GIL:
    several projects can be fitted at once from threads.
    """

    def __init__(self, handle, warning=""):
        self._handle = handle
        self.warning = warning  # the project file ended before its last item
        self._prepared = False  # a preparation run was made on this object

    # ---- Making and keeping projects ----

    @classmethod
    def open(cls, path):
        """Opens a project file and its test data."""
        handle, warning = _core.ProjectHandle.open(os.fspath(path))
        return cls(handle, warning)

    @classmethod
    def new(cls, path, overwrite=False, **settings):
        """Makes a new project with the program's defaults, then the given settings.

        Settings: ``units``, ``geometry``, ``guesses``, ``options`` (dicts of
        their attributes), ``schedule`` (list of (start time, rate)),
        ``data`` ((times, values)), ``borehole`` (name). The file is saved at
        once and again after the settings.
        """
        project = cls(_core.ProjectHandle.create(os.fspath(path), overwrite))
        project.set(**settings)
        project.save()
        return project

    def set(self, units=None, geometry=None, guesses=None, bounds=None, options=None, schedule=None,
            data=None, borehole=None, points=None):
        """Takes over several settings at once (see ``new``)."""
        for section, values in ((self.units, units), (self.geometry, geometry), (self.guesses, guesses),
                                (self.options, options)):
            if values:
                section.update(**values)
        if bounds:
            for name, pair in dict(bounds).items():
                self.bounds[name] = pair
        if schedule is not None:
            self.schedule = schedule
        if borehole is not None:
            self._handle.borehole = borehole
        if data is not None:
            self.set_data(*data)
        if points is not None:
            self.points = points

    def save(self):
        """Writes the project file (a failed write leaves the previous file as it was)."""
        self._handle.save()

    @property
    def path(self):
        return self._handle.path

    @property
    def folder(self):
        return self._handle.folder

    @property
    def name(self):
        """The base name of the side files (the project file's name without .wft)."""
        return self._handle.stem

    # ---- Settings ----

    @property
    def units(self):
        return Units(self._handle)

    @property
    def geometry(self):
        return Geometry(self._handle)

    @property
    def guesses(self):
        return Guesses(self._handle)

    @property
    def bounds(self):
        return Bounds(self._handle)

    @property
    def options(self):
        return Options(self._handle)

    @property
    def mesh_counts(self):
        return Mesh(self._handle)

    @property
    def schedule(self):
        """The pumping steps: a list of (start time, discharge) in the input-time and discharge units."""
        h = self._handle
        steps = int(h.get_field("PUMP", "NQ"))
        return [(h.get_field("PUMP", f"TQ[{k}]"), h.get_field("PUMP", f"Q[{k}]")) for k in range(steps)]

    @schedule.setter
    def schedule(self, steps):
        steps = [(float(t), float(q)) for t, q in steps]
        if not 1 <= len(steps) <= 20:
            raise WellfitError(f"schedule: {len(steps)} pumping steps; 1 to 20 are allowed")
        for k in range(20):
            t, q = steps[k] if k < len(steps) else (0.0, 0.0)
            self._handle.set_field("PUMP", f"TQ[{k}]", t)
            self._handle.set_field("PUMP", f"Q[{k}]", q)
        self._handle.set_field("PUMP", "NQ", len(steps))

    @property
    def borehole(self):
        return self._handle.borehole

    @borehole.setter
    def borehole(self, name):
        self._handle.borehole = name

    def record(self, name):
        """A solver record as a dict of its fields (arrays as lists), e.g. ``record("GUESS")``."""
        fields = _core.record_fields()
        if name not in fields:
            raise WellfitError(f"There is no record {name} ({', '.join(fields)})")
        out = {}
        for field in fields[name]:
            try:
                out[field] = self._handle.get_field(name, field)
            except WellfitError:
                slots = []
                while True:
                    try:
                        slots.append(self._handle.get_field(name, f"{field}[{len(slots)}]"))
                    except WellfitError:
                        break
                out[field] = slots
        return out

    # ---- Test data ----

    @property
    def times(self):
        """Times of the first point's readings (input-time unit), as a numpy array."""
        return np.array([float(t) for t in self._handle.points()[0]["times"]], dtype=float)

    @property
    def values(self):
        """Drawdowns (or water levels) of the first point's readings, as a numpy array."""
        return np.array([float(v) for v in self._handle.points()[0]["values"]], dtype=float)

    def set_data(self, times, values, borehole=None):
        """Takes over the first point's readings and writes the test-data file at once."""
        times = [_number_text(t) for t in np.asarray(times, dtype=float).ravel()]
        values = [_number_text(v) for v in np.asarray(values, dtype=float).ravel()]
        self._handle.set_test_data(self._handle.borehole if borehole is None else borehole, times, values)

    @property
    def points(self):
        """Every observation point: dicts of name, distance, position, weight, node, times, values."""
        out = []
        for p in self._handle.points():
            p = dict(p)
            p["position"] = POSITIONS[p["position"] - 1] if p["position"] in (1, 2) else p["position"]
            p["times"] = np.array([float(t) for t in p["times"]], dtype=float)
            p["values"] = np.array([float(v) for v in p["values"]], dtype=float)
            out.append(p)
        return out

    @points.setter
    def points(self, points):
        given = []
        for number, p in enumerate(points, start=1):
            p = dict(p)
            if isinstance(p.get("position"), str):
                if p["position"] not in POSITIONS:
                    raise WellfitError(f"Observation point {number}: position \"{p['position']}\" is not "
                                       f"fracture or matrix")
                p["position"] = POSITIONS.index(p["position"]) + 1
            p.pop("node", None)
            p["times"] = [_number_text(t) for t in np.asarray(p["times"], dtype=float).ravel()]
            p["values"] = [_number_text(v) for v in np.asarray(p["values"], dtype=float).ravel()]
            given.append(p)
        self.sorting_note = self._handle.set_points(given)

    # ---- Runs ----

    def mesh(self, graded=False, progress=None):
        """Mesh construction: writes {base}.fem and {base}.plt and sets the observation nodes."""
        self._raise(self._handle.run_mesh(1 if graded else 0, listener(progress)), "Mesh construction")

    def prepare(self, subset=0, progress=None):
        """Data preparation: {base}.obs and {base}.tim from the test data (subset: number of times, 0 all)."""
        self._raise(self._handle.run_preparation(int(subset), listener(progress)), "Data preparation")
        self._prepared = True

    def stale(self):
        """Why the preparation files cannot serve an analysis as they are, or None."""
        return self._handle.stale_preparation()

    def fit(self, search=None, type="optimization", ignore=None, rmse=None, guesses=None, bounds=None,
            reset=False, sim_days=None, time_steps=None, progress=None, prepare="auto", **options):
        """Runs an analysis and returns a :class:`Fit`.

        ``search`` names the search (a word of ``Options.words("search")``:
        "plain", "bound-aware", ...); further keyword options are options of
        the schema (``hold=["tf"]``, ``max_passes=50``...). Search and options
        are kept in the project as the command-line runner keeps them. The
        starting guesses and bounds are those the analysis dialog opens with
        (bounds from the guesses) unless ``guesses`` or ``bounds``
        ({"TF": (low, high)}) are given. ``type``: "optimization", "fixed" or
        "prediction". With ``prepare="auto"`` the mesh and the preparation
        files are made first, as ``wellfit-cli --all`` makes them, on the
        first analysis of the opened project and whenever they are stale
        since; ``prepare=False`` takes the files as they are. A failed run
        raises :class:`SolverError` with the solver's message.
        """
        if type not in _TYPES:
            raise WellfitError(f"type: \"{type}\" is not one of optimization, fixed, prediction")
        if search is not None:
            options["search"] = search
        if options:
            self.options.update(**options)
        if prepare is True or (prepare == "auto" and (not self._prepared or self.stale() is not None)):
            self.mesh()
            self.prepare()
        settings = {"type": _TYPES[type], "ignore": ignore, "rmse": rmse, "sim_days": sim_days,
                    "time_steps": time_steps, "reset": bool(reset), "guesses": dict(guesses or {}),
                    "minimum": {k: v[0] for k, v in dict(bounds or {}).items()},
                    "maximum": {k: v[1] for k, v in dict(bounds or {}).items()}}
        outcome = self._handle.run_analysis(settings, listener(progress, total=self.options.max_passes))
        report = json.loads(outcome["json"])
        if outcome["exit_code"] not in (0, 3):
            raise SolverError(outcome["errors"] or [report["message"]], "Analysis")
        times, simulated = read_simulation(_side_file(self.folder, self.name + ".inv"))
        if report.get("parameters"):
            parameters = {name: report["parameters"][name]["value"] for name in PARAMETERS}
            # With a well of the fine model also its skin factor and casing radius.
            parameters.update({name: report["parameters"][name]["value"] for name in ("skin", "rc")
                               if name in report["parameters"]})
            totals = {name: report["totals"][name]["value"] for name in ("T", "S")}
        else:
            g = self.guesses
            parameters = {name: getattr(g, name) for name in PARAMETERS}
            totals = {"T": parameters["TF"] + parameters["TM"], "S": parameters["SF"] + parameters["SM"]}
        messages = list(outcome["informations"]) + [e for e in outcome["errors"] if _CONVERGENCE_NOTICE in e]
        return Fit(report=report, times=times, simulated=simulated, parameters=parameters, totals=totals,
                   messages=messages)

    def simulate(self, params, times, progress=None):
        """Simulated drawdowns of the project's model at the given parameters and times.

        ``params``: dict (or sequence) of TF, TM (transmissivity unit), SF, SM;
        ``times``: ascending times in the input-time unit (at most 252). The
        run goes on in a scratch folder: no side file of the project changes.
        Returns an array of shape (points, times); ``[0]`` is the first point.
        """
        if isinstance(params, dict):
            missing = [name for name in PARAMETERS if name not in params]
            if missing:
                raise WellfitError(f"simulate: the parameters lack {', '.join(missing)}")
            values = [float(params[name]) for name in PARAMETERS]
        else:
            values = [float(v) for v in params]
        times = [float(t) for t in np.asarray(times, dtype=float).ravel()]
        return self._handle.simulate(values, times, listener(progress))

    @staticmethod
    def _raise(errors, stage):
        if errors:
            raise SolverError(errors, stage)

    def __repr__(self):
        return f"Project({self.path!r})"
