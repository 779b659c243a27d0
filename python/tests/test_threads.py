"""Several projects fitted at once from Python threads."""

import os
import threading

import wellfit


def test_threads_fit_projects_in_their_own_folders(example, example_copies):
    serial = wellfit.Project.open(example).fit().report
    paths = example_copies(4)
    reports = [None] * len(paths)
    failures = []
    cwd = os.getcwd()

    def work(i):
        try:
            reports[i] = wellfit.Project.open(paths[i]).fit().report
        except Exception as error:  # reported below
            failures.append(error)

    threads = [threading.Thread(target=work, args=(i,)) for i in range(len(paths))]
    for t in threads:
        t.start()
    for t in threads:
        t.join()
    assert not failures
    assert all(r == serial for r in reports)
    assert os.getcwd() == cwd  # the process's working directory never moved
    for path in paths:
        assert (path.parent / "OKORENDIJK.res").exists()

