"""Values of the states and parameters of the model, by symbol."""

import functools
import os

from . import _ostrel


@functools.lru_cache(maxsize=None)
def _symbols():
    """The qualified symbols of the states and of the parameters: the catalogue's, fixed."""
    return _ostrel.symbols()


class Params:
    """The states and parameters of a parameter file, by symbol.

    Keys are the symbols as the catalogue qualifies them (``mF``,
    ``none.process109`` for a shared one); a key is looked up as ``--set``
    takes it, so a symbol of a driver or a mistyped one is refused with the
    nearest symbols.
    """

    def __init__(self, states, params):
        state_symbols, param_symbols = _symbols()
        if len(states) != len(state_symbols) or len(params) != len(param_symbols):
            raise ValueError(f"the values must hold {len(state_symbols)} states and {len(param_symbols)} parameters")
        self._states = [float(v) for v in states]
        self._params = [float(v) for v in params]
        self._state_index = {s: i for i, s in enumerate(state_symbols)}
        self._param_index = {s: i for i, s in enumerate(param_symbols)}

    @classmethod
    def read(cls, path):
        """Reads a parameter file; what modelbatch warns of becomes warnings."""
        from . import _warn

        states, params, warnings = _ostrel.read_params(os.fspath(path))
        for text in warnings:
            _warn(text)
        return cls(states, params)

    def write(self, path):
        """Writes a parameter file; the file is replaced only once it is complete."""
        _ostrel.write_params(os.fspath(path), self._states, self._params)

    def copy(self):
        return Params(self._states, self._params)

    def _place(self, symbol):
        if symbol in self._state_index:
            return self._states, self._state_index[symbol]
        if symbol in self._param_index:
            return self._params, self._param_index[symbol]
        try:
            qualified = _ostrel.resolve(symbol)
        except ValueError as e:
            raise KeyError(str(e)) from None
        return self._place(qualified)

    def __getitem__(self, symbol):
        values, i = self._place(symbol)
        return values[i]

    def __setitem__(self, symbol, value):
        values, i = self._place(symbol)
        values[i] = float(value)

    def __contains__(self, symbol):
        try:
            self._place(symbol)
        except KeyError:
            return False
        return True

    def __iter__(self):
        yield from self._state_index
        yield from self._param_index

    def __len__(self):
        return len(self._states) + len(self._params)

    def keys(self):
        return list(self)

    def items(self):
        return [(s, self[s]) for s in self]

    @property
    def states(self):
        """The states by symbol, in the order of the file."""
        return dict(zip(self._state_index, self._states))

    @property
    def parameters(self):
        """The parameters by symbol, in the order of the file."""
        return dict(zip(self._param_index, self._params))

    def _values(self):
        return list(self._states), list(self._params)

    def __eq__(self, other):
        return isinstance(other, Params) and self._values() == other._values()

    def __repr__(self):
        return f"Params({len(self._states)} states, {len(self._params)} parameters)"
