"""The records of ostrel.run against those of modelbatch, bit for bit."""

import csv
import threading
import time

import numpy as np
import pytest

import ostrel
from conftest import DRIVERS, PARAMS, modelbatch


def batch_csv(path, *options):
    """modelbatch's CSV of a run, read by Python's own csv and float()."""
    modelbatch("--format", "csv", *options, PARAMS, DRIVERS, path)
    with open(path, newline="") as f:
        rows = list(csv.reader(f))
    numbers = np.array([[float(x) for x in row] for row in rows[2:]]).reshape(-1, len(rows[0]))
    return rows[0][1:], rows[1][1:], numbers


def assert_same_records(result, expected):
    columns, units, numbers = expected
    assert result.columns == columns
    assert result.units == units
    assert result.values.shape == (len(numbers), len(columns))
    # Bit for bit, NaN included.
    assert result.times.tobytes() == numbers[:, 0].tobytes()
    assert result.values.tobytes() == np.ascontiguousarray(numbers[:, 1:]).tobytes()


SPECIAL_RUNS = {
    "plain": ({"start": 0, "stop": 400}, ["--start", "0", "--stop", "400"]),
    "interval": ({"start": 0, "stop": 800, "output_every": 7, "offset": 30},
                 ["--start", "0", "--stop", "800", "--output-every", "7", "--offset", "30"]),
    "repeat": ({"start": 0, "stop": 4000, "repeat_drivers": 3659, "output_every": 50},
               ["--start", "0", "--stop", "4000", "--repeat-drivers", "3659", "--output-every", "50"]),
    "reset and hold": ({"start": 0, "stop": 500, "reset_every": 100, "reset": ["Nnh4"], "hold": "Wg"},
                       ["--start", "0", "--stop", "500", "--reset-states", "100", "--reset", "Nnh4", "--hold", "Wg"]),
    "steady state": ({"start": 0, "stop": 3000, "steady_state": (50, 366), "end_only": True},
                     ["--start", "0", "--stop", "3000", "--steady-state", "50", "--ss-time", "366", "--end-only"]),
    "quarter days from before the drivers": ({"start": -5, "stop": 20, "step": 0.25, "output_every": 1},
                                             ["--start", "-5", "--stop", "20", "--step", "0.25", "--output-every", "1"]),
    "set and columns": ({"start": 0, "stop": 300, "set": {"mF": 40.5}, "columns": ["LAI,NPP", "Ts.driver4"]},
                        ["--start", "0", "--stop", "300", "--set", "mF=40.5", "--columns", "LAI,NPP,Ts.driver4"]),
}


@pytest.mark.filterwarnings("ignore::ostrel.OstrelWarning")
@pytest.mark.parametrize("name", SPECIAL_RUNS)
def test_run_equals_modelbatch_csv(tmp_path, name):
    options, args = SPECIAL_RUNS[name]
    expected = batch_csv(tmp_path / "batch.csv", *args)
    result = ostrel.run(PARAMS, DRIVERS, **options)
    assert_same_records(result, expected)
    # The table reader gives the same doubles as Python's float().
    assert_same_records(ostrel.read_csv(tmp_path / "batch.csv"), expected)
    # So does a CSV the run writes itself.
    ostrel.run(PARAMS, DRIVERS, output=tmp_path / "own.csv", **options)
    assert (tmp_path / "own.csv").read_bytes() == (tmp_path / "batch.csv").read_bytes()


def test_result_describes_itself(tmp_path):
    result = ostrel.run(PARAMS, DRIVERS, start=0, stop=30, columns=["LAI", "NPP"])
    assert result.names == [v.name for v in ostrel.catalogue("LAI", "NPP")]
    assert result.statistics["steps"] == 30
    assert result.statistics["evaluations"] > 30
    assert result.statistics["seconds"] > 0
    assert result["NPP"].tolist() == result.values[:, 1].tolist()
    assert set(result.final_states) == set(ostrel.Params.read(PARAMS).states)
    # The final states are those of the last record.
    full = ostrel.run(PARAMS, DRIVERS, start=0, stop=30)
    assert all(full[s][-1] == v for s, v in full.final_states.items() if s in full.columns)
    full.save_params(tmp_path / "end.par")
    saved = ostrel.Params.read(tmp_path / "end.par").states  # to the 15 digits of the file
    assert saved.keys() == full.final_states.keys()
    assert np.allclose(list(saved.values()), list(full.final_states.values()), rtol=1e-14, atol=0)


def test_model_output_file_reads_back_to_thirteen_digits(tmp_path):
    result = ostrel.run(PARAMS, DRIVERS, start=0, stop=50, output=tmp_path / "run.out")
    modelbatch("--start", "0", "--stop", "50", PARAMS, DRIVERS, tmp_path / "batch.out")
    assert (tmp_path / "run.out").read_bytes() == (tmp_path / "batch.out").read_bytes()
    back = ostrel.read_output(tmp_path / "run.out")
    assert back.columns == result.columns and back.units == result.units
    assert np.array_equal(back.times, result.times)
    assert np.allclose(back.values, result.values, rtol=1e-12, atol=0, equal_nan=True)


def test_tsv_tables_read_back_exactly(tmp_path):
    modelbatch("--format", "tsv", "--columns", "LAI,Ts.driver4", "--stop", "60", PARAMS, DRIVERS, tmp_path / "b.tsv")
    back = ostrel.read_csv(tmp_path / "b.tsv")
    result = ostrel.run(PARAMS, DRIVERS, stop=60, columns=["LAI", "Ts.driver4"])
    assert back.columns == result.columns and back.units == result.units and back.names == result.names
    assert back.values.tobytes() == result.values.tobytes()


def test_metrics_equal_those_of_modelbatch():
    metrics = ["mean(NPP)@30..300", "max(LAI)", "integral(NPP)", "last(Wr)", "first(Ts.process57)@100..200"]
    done = modelbatch("--start", "0", "--stop", "366", "--no-output", *[f"--metric={m}" for m in metrics],
                      PARAMS, DRIVERS)
    expected = dict(line.split(" = ") for line in done.stdout.splitlines())
    result = ostrel.run(PARAMS, DRIVERS, start=0, stop=366, metrics=metrics)
    assert result.metrics == {m: float(expected[m]) for m in metrics}
    # The same numbers from the records afterwards.
    assert {m: result.metric(m) for m in metrics} == result.metrics
    with pytest.raises(ostrel.MetricError) as e:
        ostrel.run(PARAMS, DRIVERS, start=0, stop=30, columns=["LAI"]).metric("mean(NPP)")
    assert str(e.value) == "--metric mean(NPP): NPP is not among the columns of the records"


def test_runs_do_not_depend_on_the_run_before():
    first = ostrel.run(PARAMS, DRIVERS, start=0, stop=200)
    ostrel.run(PARAMS, DRIVERS, start=0, stop=300, set={"mF": 5}, hold=["Wg"], repeat_drivers=100, reset_every=50,
               reset=["Nnh4"])
    again = ostrel.run(PARAMS, DRIVERS, start=0, stop=200)
    assert first.values.tobytes() == again.values.tobytes()
    # A Params with the file's values runs as the file does.
    from_values = ostrel.run(ostrel.Params.read(PARAMS), DRIVERS, start=0, stop=200)
    assert from_values.values.tobytes() == first.values.tobytes()


def test_params_by_symbol(tmp_path):
    params = ostrel.Params.read(PARAMS)
    params["mF"] = 41.25
    params.write(tmp_path / "p.par")
    back = ostrel.Params.read(tmp_path / "p.par")
    assert back == params and back["mF"] == 41.25
    assert ostrel.run(back, DRIVERS, stop=20).values.tobytes() == \
        ostrel.run(PARAMS, DRIVERS, stop=20, set={"mF": 41.25}).values.tobytes()
    with pytest.raises(KeyError) as e:
        params["Ts"]
    assert e.value.args[0] == "Ts is a driver; --set takes parameters and state variables"


def test_interpreter_runs_other_threads_during_a_run():
    ticks = []
    done = threading.Event()

    def count():
        while not done.is_set():
            ticks.append(time.monotonic())
            time.sleep(0.001)

    counter = threading.Thread(target=count)
    counter.start()
    started = time.monotonic()
    ostrel.run(PARAMS, DRIVERS, start=0, stop=3660, columns=["LAI"])
    ended = time.monotonic()
    done.set()
    counter.join()
    during = [t for t in ticks if started < t < ended]
    assert len(during) > (ended - started) * 100


def test_a_second_run_from_another_thread_is_refused():
    outcome = {}

    def long_run():
        outcome["result"] = ostrel.run(PARAMS, DRIVERS, start=0, stop=36600, repeat_drivers=3659, output_every=366)

    other = threading.Thread(target=long_run)
    other.start()
    time.sleep(0.3)
    with pytest.raises(ostrel.ModelBusy) as e:
        ostrel.run(PARAMS, DRIVERS, stop=5)
    other.join()
    assert str(e.value) == (
        "the model is running in another thread of this process: its tables are one per process, so runs go one "
        "at a time; run ensembles in processes (multiprocessing, concurrent.futures.ProcessPoolExecutor)")
    assert len(outcome["result"]) == 100


def test_catalogue_is_the_listing_of_modelbatch():
    listing = modelbatch("--list-variables").stdout.splitlines()
    entries = ostrel.catalogue()
    assert len(entries) == len(listing) - 1
    as_text = ["\t".join("" if f is None else str(f) for f in e) for e in entries]
    assert as_text == listing[1:]
    assert [e.symbol for e in ostrel.catalogue("RrmetL")] == ["RrmetL.process99", "RrmetL.process100"]
    with pytest.raises(ValueError) as e:
        ostrel.catalogue("lai")
    assert str(e.value) == "unknown symbol 'lai' (symbols are case-sensitive); did you mean LAI?"


def test_to_pandas_keeps_the_doubles_and_the_units():
    pd = pytest.importorskip("pandas")
    result = ostrel.run(PARAMS, DRIVERS, start=0, stop=40, columns=["LAI", "Ts.driver4"])
    frame = result.to_pandas()
    assert isinstance(frame, pd.DataFrame)
    assert list(frame.columns) == ["LAI", "Ts.driver4"]
    assert frame.index.name == "Time" and frame.index.to_numpy().tobytes() == result.times.tobytes()
    assert frame.to_numpy().tobytes() == result.values.tobytes()
    assert frame.attrs["units"] == {"LAI": result.units[0], "Ts.driver4": "oC"}


def test_files_read_back_name_what_is_wrong(tmp_path):
    with pytest.raises(ostrel.FileError) as e:
        ostrel.read_output(DRIVERS)
    assert str(e.value) == f"output file '{DRIVERS}' line 1: 19 column titles where an output file of this model has 208"
    table = tmp_path / "t.csv"
    table.write_text("Time,LAI,NPP\r\ndays,m2 m-2,g C m-2 day-1\r\n1,2,3\r\n2,x,4\r\n")
    with pytest.raises(ostrel.FileError) as e:
        ostrel.read_csv(table)
    assert str(e.value) == f"table '{table}' line 4, column 2: 'x' is not a number"
    table.write_text("Time,LAI\r\ndays,m2 m-2\r\n1,NAN\r\n2,-INF\r\n")
    back = ostrel.read_csv(table)
    assert np.isnan(back["LAI"][0]) and back["LAI"][1] == -np.inf and back.names == ["Leaf Area Index"]


def forked_run(queue):
    queue.put(len(ostrel.run(PARAMS, DRIVERS, stop=20)))


def test_a_process_forked_during_a_run_has_the_model_free():
    import multiprocessing
    other = threading.Thread(target=lambda: ostrel.run(PARAMS, DRIVERS, start=0, stop=36600, repeat_drivers=3659,
                                                       output_every=366))
    other.start()
    time.sleep(0.3)
    context = multiprocessing.get_context("fork")
    queue = context.Queue()
    child = context.Process(target=forked_run, args=(queue,))
    child.start()
    records = queue.get(timeout=60)
    child.join(timeout=60)
    other.join()
    assert records == 19 and child.exitcode == 0
