"""Attribute views of a project's settings, written through to its records.

Each view maps plain names to one field of a solver record (``UNITS.IDIST``,
``OBSV.THICK``...), with the record's codes turned into words where the
program shows words (unit names, "fracture"/"matrix").
"""

import numpy as np

from . import _core

DISTANCE_UNITS = ("mm", "cm", "m", "km")
TIME_UNITS = ("s", "min", "h")
CONDUCTIVITY_UNITS = ("mm/s", "mm/min", "mm/h", "mm/day", "cm/s", "cm/min", "cm/h", "cm/day",
                      "m/s", "m/min", "m/h", "m/day")
DISCHARGE_UNITS = ("L/s", "L/min", "L/h", "L/day", "m3/s", "m3/min", "m3/h", "m3/day")
POSITIONS = ("fracture", "matrix")
PUMP_POSITIONS = ("both", "fracture", "matrix")
BOUNDARIES = ("no-flow", "constant-head")
PARAMETERS = ("TF", "TM", "SF", "SM")


def _coded(words, first=1):
    """A field holding the index of a word (1-based unless first says otherwise)."""

    def get(value):
        index = int(value) - first
        return words[index] if 0 <= index < len(words) else int(value)

    def put(value, name):
        if isinstance(value, str):
            if value not in words:
                raise _core.ProjectError(f"{name}: \"{value}\" is not one of {', '.join(words)}")
            return words.index(value) + first
        if isinstance(value, bool) or not float(value).is_integer() or not first <= value < first + len(words):
            raise _core.ProjectError(f"{name}: {value!r} is not one of {', '.join(words)} "
                                     f"(or their codes {first} to {first + len(words) - 1})")
        return int(value)

    return get, put


def _single(value):
    """A single-precision field as the shortest decimal that names it (0.2, not 0.2000000029)."""
    return float(repr(np.float32(value)))


def _real():
    return _single, lambda value, name: float(value)


def _flag():
    return (lambda value: bool(value)), (lambda value, name: 1 if value else 0)


class _Section:
    """A set of named fields of the project's records."""

    _fields = {}  # name -> (record, field, (get, put))

    def __init__(self, handle):
        object.__setattr__(self, "_handle", handle)

    def __getattr__(self, name):
        try:
            record, field, (get, _) = self._fields[name]
        except KeyError:
            raise AttributeError(f"{type(self).__name__} has no setting {name!r} "
                                 f"(settings: {', '.join(self._fields)})") from None
        return get(self._handle.get_field(record, field))

    def __setattr__(self, name, value):
        if name not in self._fields:
            raise AttributeError(f"{type(self).__name__} has no setting {name!r} "
                                 f"(settings: {', '.join(self._fields)})")
        record, field, (_, put) = self._fields[name]
        self._handle.set_field(record, field, put(value, f"{type(self).__name__.lower()}.{name}"))

    def __dir__(self):
        return list(self._fields)

    def as_dict(self):
        return {name: getattr(self, name) for name in self._fields}

    def update(self, **values):
        for name, value in values.items():
            setattr(self, name, value)

    def __repr__(self):
        inner = ", ".join(f"{k}={v!r}" for k, v in self.as_dict().items())
        return f"{type(self).__name__}({inner})"


class Units(_Section):
    """Units of the project's data and results (names as in the units dialog)."""

    _fields = {
        "distance": ("UNITS", "IDIST", _coded(DISTANCE_UNITS)),
        "time": ("UNITS", "ITIN", _coded(TIME_UNITS)),
        "output_time": ("UNITS", "ITOUT", _coded(TIME_UNITS)),
        "conductivity": ("UNITS", "ICOND", _coded(CONDUCTIVITY_UNITS)),
        "flux": ("UNITS", "IFLUX", _coded(CONDUCTIVITY_UNITS)),
        "discharge": ("UNITS", "IDISCH", _coded(DISCHARGE_UNITS)),
    }


class Geometry(_Section):
    """The aquifer and the first observation point (distances in the distance unit)."""

    _fields = {
        "thickness": ("OBSV", "THICK", _real()),
        "fracture_ratio": ("OBSV", "RATIO", _real()),
        "outer_radius": ("MESH", "RMAX", _real()),
        "distance": ("OBSV", "ROBS[0]", _real()),
        "position": ("OBSV", "IPOS[0]", _coded(POSITIONS)),
        "pump_position": ("PUMP", "IPUMP", _coded(PUMP_POSITIONS, first=0)),
        "opposite_boundary": ("PUMP", "IOPP", _coded(BOUNDARIES, first=0)),
        "water_levels": ("PUMP", "IWLO", _flag()),
    }


class Guesses(_Section):
    """Starting values of the fit: TF, TM (transmissivity unit), SF, SM."""

    _fields = {name: ("PINIT", name, _real()) for name in PARAMETERS}


class Mesh(_Section):
    """The mesh counts of the last mesh run (read only by habit: a mesh run sets them)."""

    _fields = {name: ("MESH", name, (int, lambda v, n: int(v)))
               for name in ("NR", "NZ", "NN", "NE", "NB", "NMAT", "NZF", "NZM")}


class Bounds:
    """Lower and upper bounds of TF, TM, SF, SM: ``bounds["TF"] = (low, high)``."""

    def __init__(self, handle):
        self._handle = handle

    def __getitem__(self, name):
        self._check(name)
        return (_single(self._handle.get_field("PINIT", name + "MIN")),
                _single(self._handle.get_field("PINIT", name + "MAX")))

    def __setitem__(self, name, pair):
        self._check(name)
        low, high = pair
        self._handle.set_field("PINIT", name + "MIN", float(low))
        self._handle.set_field("PINIT", name + "MAX", float(high))

    def _check(self, name):
        if name not in PARAMETERS:
            raise KeyError(f"{name!r} is not one of {', '.join(PARAMETERS)}")

    def keys(self):
        return list(PARAMETERS)

    def items(self):
        return [(name, self[name]) for name in PARAMETERS]

    def as_dict(self):
        return dict(self.items())

    def __iter__(self):
        return iter(PARAMETERS)

    def __repr__(self):
        return f"Bounds({self.as_dict()!r})"


class Options:
    """The analysis and model options of the project, by their names in the option schema.

    ``options.search = "bound-aware"``, ``options.hold = ["tf"]``; every name and
    its rule: ``Options.help(name)``.
    """

    def __init__(self, handle):
        object.__setattr__(self, "_handle", handle)

    @staticmethod
    def names():
        return list(_core.option_keys())

    @staticmethod
    def words(name):
        """The words a choice or a parameter set takes (the searches: plain, bound-aware...)."""
        return list(_core.option_words(name))

    @staticmethod
    def help(name):
        return _core.option_help(name)

    def __getattr__(self, name):
        if name.startswith("_"):
            raise AttributeError(name)
        try:
            return self._handle.get_option(name)
        except _core.ProjectError as error:
            raise AttributeError(str(error)) from None

    def __setattr__(self, name, value):
        self._handle.set_option(name, value)

    def __dir__(self):
        return self.names()

    def as_dict(self):
        return {name: getattr(self, name) for name in self.names()}

    def update(self, **values):
        for name, value in values.items():
            setattr(self, name, value)

    def __repr__(self):
        inner = ", ".join(f"{k}={v!r}" for k, v in self.as_dict().items())
        return f"Options({inner})"
