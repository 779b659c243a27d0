"""The solver's progress lines for a Python caller: a callback, or a tqdm bar."""

import re

_PASS = re.compile(r"^\s*Iteration\s+(\d+)")


def listener(progress, total=None):
    """The callback that a run hands to the solver.

    ``progress`` may be None (nothing shown), a callable taking one progress
    line (its return value True stops an optimisation after the current
    pass), or True for a tqdm bar counting the passes of the search when tqdm
    is installed (else the lines are printed).
    """
    if progress is None or progress is False:
        return None
    if progress is True:
        return _TqdmPasses(total) if _have_tqdm() else _print_line
    if not callable(progress):
        raise TypeError("progress must be None, True or a callable taking one line")
    return lambda code, line: progress(line)


def _have_tqdm():
    try:
        import tqdm  # noqa: F401
    except ImportError:
        return False
    return True


def _print_line(code, line):
    print(line, flush=True)


class _TqdmPasses:
    """A tqdm bar that moves by one for every pass line of the search."""

    def __init__(self, total):
        from tqdm import tqdm

        self._bar = tqdm(total=total, unit="pass", desc="Wellfit")
        self._passes = 0

    def __call__(self, code, line):
        match = _PASS.match(line)
        if match:
            passes = int(match.group(1))
            if passes > self._passes:
                self._bar.update(passes - self._passes)
                self._passes = passes
        elif "Computation Complete" in line:
            self._bar.close()
        else:
            self._bar.set_postfix_str(line.strip()[:40], refresh=False)
        return None
