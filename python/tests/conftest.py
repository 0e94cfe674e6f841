import os
import subprocess
from pathlib import Path

import pytest

SAMPLES = Path(os.environ.get("OSTREL_SAMPLES", Path(__file__).resolve().parents[2] / "samples"))
MODELBATCH = os.environ.get("OSTREL_MODELBATCH", "modelbatch")
PARAMS = SAMPLES / "forest.par"
DRIVERS = SAMPLES / "weather.drr"


def modelbatch(*args, check=True, quiet=True):
    """Runs modelbatch; its exit status, standard output and error."""
    done = subprocess.run([MODELBATCH, *(["--quiet"] if quiet else []), *map(str, args)], capture_output=True,
                          text=True)
    if check and done.returncode != 0:
        raise AssertionError(f"modelbatch {' '.join(map(str, args))}: {done.stderr}")
    return done


@pytest.fixture
def batch():
    return modelbatch
