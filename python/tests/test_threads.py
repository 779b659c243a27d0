"""Several projects fitted at once from Python threads."""

import json
import os
import subprocess
import sys
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



def test_runs_that_share_the_process_folder_take_turns(example, example_copies):
    # Where unshare is refused, runs enter the project folder for the whole
    # process one at a time and go back afterwards; WELLFIT_SHARED_FOLDER
    # chooses that way here. The reports stay those of the serial fit.
    serial = wellfit.Project.open(example).fit().report
    paths = example_copies(3)
    script = (
        "import json, os, sys, threading, wellfit\n"
        "assert wellfit.parallel_runs is False\n"
        "cwd = os.getcwd(); out = [None] * 3\n"
        "def work(i): out[i] = wellfit.Project.open(sys.argv[1 + i]).fit().report\n"
        "ts = [threading.Thread(target=work, args=(i,)) for i in range(3)]\n"
        "[t.start() for t in ts]; [t.join() for t in ts]\n"
        "assert os.getcwd() == cwd, os.getcwd()\n"
        "print(json.dumps(out))\n")
    env = dict(os.environ, WELLFIT_SHARED_FOLDER="1", PYTHONPATH=os.pathsep.join(sys.path))
    done = subprocess.run([sys.executable, "-P", "-c", script, *map(str, paths)], capture_output=True, text=True,
                          env=env, cwd=str(example.parent.parent), check=False)
    assert done.returncode == 0, done.stderr
    assert json.loads(done.stdout) == [serial] * 3
