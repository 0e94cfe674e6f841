"""The Ostrel forest ecosystem model from Python.

``run`` makes the run of ``modelbatch`` with the same options and checks and
hands its records over as numpy arrays; ``read_output`` and ``read_csv`` read
the files of earlier runs into the same result; ``catalogue`` lists the
variables; ``Params`` reads and writes parameter files by symbol.

The model's tables are one per process: one run goes at a time, and a run
started from another thread while one is going is refused (``ModelBusy``).
For ensembles use processes (``multiprocessing``,
``concurrent.futures.ProcessPoolExecutor``). The interpreter is not held
during a run, and Ctrl+C ends it after its step (``RunInterrupted``, a
``KeyboardInterrupt`` carrying the records so far).
"""

import collections
import os
import warnings as _warnings

from . import _ostrel
from ._params import Params
from ._result import Result, read_csv, read_output

__all__ = ["run", "read_output", "read_csv", "catalogue", "Params", "Result", "OstrelWarning", "OstrelError",
           "RunRefused", "RunFailed", "RunInterrupted", "ModelBusy", "MetricError", "FileError"]

model_name = _ostrel.model_name
model_version = _ostrel.model_version
ModelBusy = _ostrel.ModelBusy
MetricError = _ostrel.MetricError
FileError = _ostrel.FileError


class OstrelWarning(UserWarning):
    """What modelbatch warns of: files that would give wrong results without a word."""


class OstrelError(Exception):
    """A run that was refused or failed; ``result`` holds the records written before."""

    def __init__(self, message, result=None):
        super().__init__(message)
        self.result = result


class RunRefused(OstrelError, ValueError):
    """Nothing was run: an option, or a file read before the run."""


class RunFailed(OstrelError, RuntimeError):
    """The run failed after it started; ``result`` holds the records before the failure."""


class RunInterrupted(KeyboardInterrupt):
    """Ctrl+C ended the run after its step; ``result`` holds the records so far."""

    def __init__(self, message, result=None):
        super().__init__(message)
        self.result = result


def _warn(text):
    _warnings.warn(text, OstrelWarning, stacklevel=3)


def _text(value):
    """An option as modelbatch reads it from its command line."""
    if value is None:
        return None
    if isinstance(value, bool):
        raise TypeError("a time or period must be a number, not a truth value")
    if isinstance(value, float):
        return repr(value)
    return str(value)


def _symbols(value):
    if value is None:
        return []
    if isinstance(value, str):
        value = [value]
    # A list of one text may name several, comma-separated, as on the command line.
    return [s for v in value for s in str(v).split(",")]


def _steady_state(steady_state, ss_time):
    if isinstance(steady_state, (tuple, list)):
        if len(steady_state) != 2 or ss_time is not None:
            raise TypeError("steady_state is PERCENT or (PERCENT, SS_TIME)")
        return steady_state
    return steady_state, ss_time


def run(params, drivers, start=1, stop=2, step=1, output_every=None, offset=None, end_only=False,
        repeat_drivers=None, hold=(), reset=(), reset_every=None, steady_state=None, ss_time=None, set=None,
        columns=None, metrics=(), output=None, progress=None):
    """Runs the model as modelbatch does and returns its records as a Result.

    params: a parameter file or a Params; drivers: a driver file. The times
    and the special-run options are those of modelbatch (``reset_every`` is
    --reset-states, ``steady_state=(PERCENT, SS_TIME)`` or ``steady_state=P,
    ss_time=N`` is --steady-state with --ss-time); ``set`` gives parameters
    or states values after the file is read ({"mF": 40}); ``columns`` chooses
    the columns of the result (all without); ``metrics`` are --metric texts,
    their values in ``result.metrics``; ``output`` also writes a file: a CSV
    or TSV table of the columns for a name ending in .csv or .tsv, else the
    model's output file. ``progress(percent, time)``, when given, is called
    during the run (at most ten times a second, and at its end).

    Warnings are OstrelWarning; a refusal raises RunRefused, a failure
    RunFailed and Ctrl+C RunInterrupted, with the records written before in
    their ``result``.
    """
    percent, every = _steady_state(steady_state, ss_time)
    options = {
        "driver_file": os.fspath(drivers),
        "start": _text(start), "stop": _text(stop), "step": _text(step),
        "output_every": _text(output_every), "offset": _text(offset), "end_only": bool(end_only),
        "repeat_drivers": _text(repeat_drivers), "reset_every": _text(reset_every),
        "steady_state": _text(percent), "ss_time": _text(every),
        "hold": _symbols(hold), "reset": _symbols(reset), "columns": _symbols(columns),
        "set": [f"{k}={_text(v)}" for k, v in (set or {}).items()],
        "metrics": _symbols(metrics),
    }
    values = None
    if isinstance(params, Params):
        values = params._values()
    else:
        options["param_file"] = os.fspath(params)
    outcome = _ostrel.run(options, values, os.fspath(output) if output is not None else "", progress)
    for text in outcome["warnings"]:
        _warn(text)
    return _finish(outcome)


def _finish(outcome):
    end = outcome["end"]
    if end == "refused":
        raise RunRefused(outcome["message"])
    # The metrics of a run that did not end as it should are those of part of it: none, as in modelbatch.
    metrics = outcome["metrics"] if end == "completed" else {}
    result = Result(outcome, statistics=outcome["statistics"], metrics=metrics,
                    final_params=Params(outcome["final_states"], outcome["final_params"]))
    raised = outcome["raised"]
    if raised is not None and not isinstance(raised, KeyboardInterrupt):
        raise raised
    if end == "cancelled":
        raise RunInterrupted(outcome["message"], result) from raised
    if end == "failed":
        raise RunFailed(outcome["message"], result)
    missing = [value for value in result.metrics.values() if isinstance(value, str)]
    if missing:
        raise RunFailed("; ".join(missing), result)
    return result


# One entry of the catalogue, as --list-variables lists it; None where a
# column does not apply to the entry's kind.
Variable = collections.namedtuple(
    "Variable", ["kind", "index", "symbol", "name", "units", "paramcount", "tabcategory", "marked", "owner"])


def catalogue(*symbols):
    """The variables of the model (only those named, when symbols are given)
    as --list-variables lists them: kind, index, symbol, name, units,
    paramcount, tabcategory, marked, owner (None where a column does not
    apply)."""
    lines = _ostrel.list_variables(list(symbols)).splitlines()[1:]
    entries = []
    for line in lines:
        fields = line.split("\t")
        kind, index, symbol, name, units = fields[:5]
        numbers = [int(f) if f else None for f in fields[5:]]
        entries.append(Variable(kind, int(index), symbol, name, units, *numbers))
    return entries
