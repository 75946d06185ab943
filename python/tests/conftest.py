import os
import shutil

import pytest


@pytest.fixture(scope="session")
def batch_exe():
    """The tresol-batch program built beside the module (CTest passes its path)."""
    path = os.environ.get("TRESOL_BATCH") or shutil.which("tresol-batch")
    if not path or not os.access(path, os.X_OK):
        pytest.skip("tresol-batch is not built: set TRESOL_BATCH to its path")
    return path
