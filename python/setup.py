"""The wheel of the module tresol, built by CMake.

python/ is a part of the project, not a project of its own: CMake configures the whole of it
(the window, the tests and the benchmarks off, Release), builds the module's target alone, and
the wheel holds the module as the package tresol, whose __init__ it is, with its stubs and
PEP 561's marker beside it, as `cmake --install` lays it out. The version is project()'s.
"""

import os
import re
import shutil
import subprocess
import sys
import sysconfig
from pathlib import Path

from setuptools import Extension, setup
from setuptools.command.build_ext import build_ext

HERE = Path(__file__).resolve().parent
ROOT = HERE.parent


def project_version():
    cmake_lists = ROOT / "CMakeLists.txt"
    if not cmake_lists.is_file():
        sys.exit(f"tresol: the project's CMakeLists.txt is not at {ROOT}: build the wheel from a "
                 "checkout (pip wheel ./python --no-build-isolation)")
    found = re.search(r"^project\(Tresol\s+VERSION\s+([0-9.]+)", cmake_lists.read_text("utf-8"),
                      re.M)
    if not found:
        sys.exit(f"tresol: no project(Tresol VERSION ...) in {cmake_lists}")
    return found.group(1)


class CMakeBuild(build_ext):
    def build_extension(self, ext):
        build = Path(self.build_temp).resolve() / "cmake"
        configure = ["cmake", "-S", str(ROOT), "-B", str(build), "-DCMAKE_BUILD_TYPE=Release",
                     "-DTRESOL_BUILD_GUI=OFF", "-DTRESOL_BUILD_TESTS=OFF",
                     "-DTRESOL_BUILD_BENCH=OFF", f"-DPython3_EXECUTABLE={sys.executable}"]
        if shutil.which("ninja") and not (build / "CMakeCache.txt").exists():
            configure += ["-G", "Ninja"]
        subprocess.run(configure, check=True)
        # CMAKE_BUILD_PARALLEL_LEVEL, when set, says how many jobs.
        jobs = [] if os.environ.get("CMAKE_BUILD_PARALLEL_LEVEL") else ["-j", str(os.cpu_count() or 1)]
        subprocess.run(["cmake", "--build", str(build), "--target", "tresol_python", *jobs],
                       check=True)

        built = build / "python" / ("tresol" + sysconfig.get_config_var("EXT_SUFFIX"))
        target = Path(self.get_ext_fullpath(ext.name))
        target.parent.mkdir(parents=True, exist_ok=True)
        shutil.copyfile(built, target)
        shutil.copyfile(HERE / "tresol.pyi", target.parent / "__init__.pyi")
        shutil.copyfile(HERE / "py.typed", target.parent / "py.typed")


setup(
    version=project_version(),
    ext_modules=[Extension("tresol.__init__", sources=[])],
    cmdclass={"build_ext": CMakeBuild},
    packages=[],
    py_modules=[],
    zip_safe=False,
)
