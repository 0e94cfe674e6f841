"""The records of a run, or of a file a run wrote, as numpy arrays."""

import os

from . import _ostrel


class Result:
    """Records: ``times`` (one per record), ``values`` (a row per record, a
    column per symbol of ``columns``), with ``units`` and ``names`` of the
    columns. A run's result also has ``statistics``, ``metrics`` (the values
    of the metrics asked for; a text where a metric has none),
    ``final_states`` and ``final_params``."""

    def __init__(self, table, statistics=None, metrics=None, final_params=None):
        self.times = table["times"]
        self.values = table["values"]
        self.columns = list(table["columns"])
        self.units = list(table["units"])
        self.names = list(table["names"])
        self.statistics = statistics
        self.metrics = metrics if metrics is not None else {}
        self.final_params = final_params

    @property
    def final_states(self):
        """The states at the end of the run, by symbol."""
        return None if self.final_params is None else self.final_params.states

    def save_params(self, path):
        """Writes a parameter file with the values at the end of the run."""
        if self.final_params is None:
            raise ValueError("records read from a file have no final states to save")
        self.final_params.write(os.fspath(path))

    def __len__(self):
        return len(self.times)

    def __getitem__(self, symbol):
        """The values of one column."""
        return self.values[:, self._column(symbol)]

    def _column(self, symbol):
        if symbol in self.columns:
            return self.columns.index(symbol)
        raise KeyError(f"{symbol!r} is not among the columns of the records")

    def metric(self, text):
        """One metric of the records, as --metric computes it (mean(NPP)@366..731)."""
        value = _ostrel.metrics(self.times, self.values, self.columns, [text])[text]
        if isinstance(value, str):
            raise ValueError(value)
        return value

    def to_pandas(self):
        """A DataFrame indexed by time, its units in ``attrs["units"]``."""
        try:
            import pandas as pd
        except ImportError:
            raise ImportError("to_pandas() needs pandas (Debian: python3-pandas)") from None
        frame = pd.DataFrame(self.values, index=pd.Index(self.times, name="Time"), columns=self.columns, copy=False)
        frame.attrs["units"] = dict(zip(self.columns, self.units))
        frame.attrs["names"] = dict(zip(self.columns, self.names))
        frame.attrs["time_unit"] = _ostrel.time_unit
        return frame

    def __repr__(self):
        return f"Result({len(self.times)} records, {len(self.columns)} columns)"


def read_output(path):
    """The records of a model output file (all columns after the time)."""
    return Result(_ostrel.read_output(os.fspath(path)))


def read_csv(path):
    """The records of a CSV table (or TSV, by its extension) as modelbatch
    --format csv writes it: symbols, units, then the records."""
    return Result(_ostrel.read_csv(os.fspath(path)))
