"""Exceptions of the wellfit package."""

from . import _core


#: A refused operation: bad input, a missing or stale side file, a busy
#: project. The message names the file or the field.
WellfitError = _core.ProjectError


class SolverError(WellfitError):
    """The solver showed one or more error boxes during a run.

    ``messages`` holds the text of every box, in order; the exception's text is
    the first of them.
    """

    def __init__(self, messages, stage=None):
        self.messages = list(messages)
        self.stage = stage
        first = self.messages[0] if self.messages else "the solver failed"
        super().__init__(f"{stage}: {first}" if stage else first)
