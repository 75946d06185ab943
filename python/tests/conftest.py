import os
import shutil
import sysconfig

import pytest


@pytest.fixture(scope="session")
def batch_exe():
    """The tresol-batch program built beside the module (CTest passes its path)."""
    path = os.environ.get("TRESOL_BATCH") or shutil.which("tresol-batch")
    if not path or not os.access(path, os.X_OK):
        pytest.skip("tresol-batch is not built: set TRESOL_BATCH to its path")
    return path


def pytest_configure(config):
    """TRESOL_INSTALLED=1: the suite checks an installed module (a wheel in a virtual
    environment), which must then be the one imported, not a build tree's."""
    if os.environ.get("TRESOL_INSTALLED"):
        import tresol

        site = os.path.realpath(sysconfig.get_paths()["platlib"])
        if not os.path.realpath(tresol.__file__).startswith(site + os.sep):
            raise pytest.UsageError(f"tresol is imported from {tresol.__file__}, not from {site}")
