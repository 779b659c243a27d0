"""Builds the extension wellfit._core with the project's CMake build.

The package sits in python/ of the Wellfit source tree; the extension links the
solver and the project document statically, so it is built from the tree's top
CMakeLists.txt (target wellfit_core). WELLFIT_BUILD_DIR names a build folder to
use (an existing one is only brought up to date); otherwise a folder of its own
under setuptools' build folder is configured. WELLFIT_CMAKE_ARGS adds options.
"""

import os
import shlex
import shutil
import subprocess
import sys
from pathlib import Path

from setuptools import Extension, setup
from setuptools.command.build_ext import build_ext

HERE = Path(__file__).resolve().parent
SOURCE = HERE.parent


class CMakeExtension(Extension):
    def __init__(self, name):
        super().__init__(name, sources=[])


class CMakeBuild(build_ext):
    def build_extension(self, ext):
        if not (SOURCE / "CMakeLists.txt").exists():
            raise RuntimeError(f"{SOURCE} is not the Wellfit source tree (python/ must stay inside it)")
        build = Path(os.environ.get("WELLFIT_BUILD_DIR") or Path(self.build_temp).resolve() / "cmake")
        build.mkdir(parents=True, exist_ok=True)
        if not (build / "CMakeCache.txt").exists():
            args = ["cmake", "-S", str(SOURCE), "-B", str(build), "-DCMAKE_BUILD_TYPE=RelWithDebInfo",
                    "-DWF_BUILD_UI=OFF", "-DWF_BUILD_BENCH=OFF", "-DWF_BUILD_PYTHON=ON",
                    f"-DPython_EXECUTABLE={sys.executable}"]
            if shutil.which("ccache"):
                args += ["-DCMAKE_CXX_COMPILER_LAUNCHER=ccache", "-DCMAKE_C_COMPILER_LAUNCHER=ccache"]
            args += shlex.split(os.environ.get("WELLFIT_CMAKE_ARGS", ""))
            subprocess.check_call(args)
        jobs = os.environ.get("WELLFIT_BUILD_JOBS", "2")
        subprocess.check_call(["cmake", "--build", str(build), "--target", "wellfit_core", "-j", jobs])
        built = sorted((build / "python" / "wellfit").glob("_core*.so"))
        if not built:
            raise RuntimeError(f"the build in {build} made no wellfit/_core module")
        target = Path(self.get_ext_fullpath(ext.name))
        target.parent.mkdir(parents=True, exist_ok=True)
        shutil.copyfile(built[-1], target)


setup(ext_modules=[CMakeExtension("wellfit._core")], cmdclass={"build_ext": CMakeBuild})
