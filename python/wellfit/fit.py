"""The outcome of an analysis: the fit report and the simulated drawdowns."""

from dataclasses import dataclass, field

import numpy as np


@dataclass
class Fit:
    """One analysis run of a project.

    ``report`` is the fit report as ``wellfit-cli --json`` prints it (a dict);
    ``times`` the model's time levels (input-time unit) and ``simulated`` the
    simulated drawdowns, one row per observation point (``simulated[0]`` is the
    first point); ``parameters`` the fitted TF, TM (transmissivity unit), SF,
    SM (with a well of the fine model also ``skin`` and ``rc``, the casing
    radius in the distance unit) and ``totals`` the totals T = TF + TM and
    S = SF + SM.
    """

    report: dict
    times: np.ndarray
    simulated: np.ndarray
    parameters: dict
    totals: dict
    messages: list = field(default_factory=list)  # information boxes and the search's notice

    @property
    def converged(self):
        """True for a clean run and for one that ended with the search's convergence notice."""
        return self.report.get("exit_code") in (0, 3)

    @property
    def rmse(self):
        return self.report.get("rmse")

    @property
    def verdict(self):
        return self.report.get("verdict")

    def __repr__(self):
        t, s = self.totals.get("T"), self.totals.get("S")
        return (f"Fit(passes={self.report.get('passes')}, rmse={self.rmse!r}, T={t!r}, S={s!r}, "
                f"message={self.report.get('message')!r})")


def read_simulation(path):
    """Times and simulated drawdowns of a simulation file ({base}.inv).

    Returns (times, simulated): the NT time levels of the first point and an
    array of shape (NOBS, NT).
    """
    with open(path, encoding="latin-1") as f:
        header = f.readline().split()
        if len(header) < 2:
            raise ValueError(f"Simulation file {path}: line 1 does not hold NOBS and NT")
        nobs, nt = int(header[0]), int(header[1])
        f.readline()
        rows = [line.split() for line in f if line.strip()]
    if len(rows) < nobs * nt:
        raise ValueError(f"Simulation file {path}: {len(rows)} records, {nobs * nt} expected")
    table = np.array([[float(v.replace("D", "E")) for v in row[1:3]] for row in rows[: nobs * nt]])
    times = table[:nt, 0].copy()
    simulated = table[:, 1].reshape(nobs, nt)
    return times, simulated
