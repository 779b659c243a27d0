"""Wellfit for Python: pumping-test projects, fits and model runs in memory.

>>> import wellfit
>>> p = wellfit.Project.open("examples/oude-korendijk/OKORENDIJK.wft")
>>> fit = p.fit()
>>> fit.totals["T"], fit.report["rmse"]
"""

from . import _core
from .analysis import log_derivative
from .errors import SolverError, WellfitError
from .fit import Fit, read_simulation
from .project import Project

__version__ = "1.0"

#: True when runs of different projects go on at the same time (each run
#: thread has a working directory of its own); False where the system does
#: not allow it, and runs are then made one at a time.
parallel_runs = _core.runs_in_parallel()

__all__ = ["Project", "Fit", "WellfitError", "SolverError", "log_derivative", "read_simulation",
           "parallel_runs"]
