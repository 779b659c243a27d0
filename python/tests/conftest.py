"""Fixtures of the wellfit tests: copies of the bundled examples in scratch folders."""

import os
import shutil
from pathlib import Path

import pytest

SOURCE = Path(__file__).resolve().parents[2]
EXAMPLES = Path(os.environ.get("WELLFIT_EXAMPLES", SOURCE / "examples"))


def _copy_example(folder):
    folder.mkdir(parents=True, exist_ok=True)
    for name in ("OKORENDIJK.wft", "OKORENDIJK.DAT"):
        shutil.copy(EXAMPLES / "oude-korendijk" / name, folder / name)
    return folder / "OKORENDIJK.wft"


@pytest.fixture
def example(tmp_path):
    """The Oude Korendijk project, copied into a folder of its own."""
    return _copy_example(tmp_path / "example")


@pytest.fixture
def example_copies(tmp_path):
    """A maker of further copies of the example, each in its own folder."""
    return lambda n: [_copy_example(tmp_path / f"copy{i}") for i in range(n)]


@pytest.fixture
def cli():
    """The command-line runner of the same build (WELLFIT_CLI), or the one beside the sources' build."""
    path = os.environ.get("WELLFIT_CLI") or str(SOURCE / "build" / "app" / "cli" / "wellfit-cli")
    if not os.access(path, os.X_OK):
        pytest.fail(f"wellfit-cli not found at {path} (set WELLFIT_CLI)")
    return path
