"""Refusals, failures, warnings and Ctrl+C: the messages of modelbatch, the records kept."""

import os
import signal
import subprocess
import sys
import textwrap
import warnings

import numpy as np
import pytest

import ostrel
from conftest import DRIVERS, PARAMS, modelbatch


@pytest.mark.parametrize("options, message", [
    ({"step": 0}, "--step 0: the time step must be greater than 0"),
    ({"stop": "x"}, "--stop x: must be a number"),
    ({"hold": ["mF"]}, "--hold: mF is a parameter; --hold takes state variables"),
    ({"set": {"mFF": 1}}, "--set mFF=1: unknown symbol 'mFF' (symbols are case-sensitive); did you mean mF?"),
    ({"reset_every": 10}, "--reset-states 10 needs --reset SYM[,SYM...], the states to reset"),
    ({"steady_state": 5}, "--steady-state 5 needs --ss-time N, the time between two checks"),
    ({"columns": ["none"]}, "--columns: 'none' names several variables: write none.process109 or none.process110 "
                            "or none.process111"),
    ({"end_only": True, "offset": 3}, "--offset excludes --end-only"),
    ({"metrics": ["median(LAI)"]}, "--metric 'median(LAI)': unknown kind 'median'; the kinds are mean, min, max, "
                                   "first, last, integral"),
])
def test_refusals_carry_the_messages_of_modelbatch(options, message):
    with pytest.raises(ostrel.RunRefused) as e:
        ostrel.run(PARAMS, DRIVERS, **options)
    assert str(e.value) == message


def test_files_that_cannot_be_read_are_refused(tmp_path):
    with pytest.raises(ostrel.RunRefused) as e:
        ostrel.run(tmp_path / "none.par", DRIVERS)
    assert str(e.value) == f"parameter file '{tmp_path}/none.par': File not found"
    bad = tmp_path / "bad.drr"
    lines = DRIVERS.read_bytes().split(b"\r\n")
    lines[12] = lines[12].replace(b"E+000", b"Q+000", 1)
    bad.write_bytes(b"\r\n".join(lines))
    done = modelbatch("--stop", "20", PARAMS, bad, tmp_path / "x.out", check=False)
    with pytest.raises(ostrel.RunRefused) as e:
        ostrel.run(PARAMS, bad, stop=20)
    assert done.stderr == f"modelbatch: {e.value}\n"
    assert str(e.value).startswith(f"driver file '{bad}' line 13, value ")
    with pytest.raises(ostrel.RunRefused) as e:
        ostrel.run(PARAMS, DRIVERS, output=DRIVERS)
    assert str(e.value) == f"output file '{DRIVERS}' is the driver file '{DRIVERS}': the run would write over it"


def test_warnings_are_those_of_modelbatch():
    # Before the drivers begin, a run length that is no whole number of
    # steps, past the last record without repeating.
    done = modelbatch("--start", "-10", "--stop", "5000", "--step", "4", "--no-output", "--metric", "max(LAI)",
                      PARAMS, DRIVERS, quiet=False)
    expected = [line.removeprefix("modelbatch: warning: ") for line in done.stderr.splitlines()]
    with warnings.catch_warnings(record=True) as caught:
        warnings.simplefilter("always")
        ostrel.run(PARAMS, DRIVERS, start=-10, stop=5000, step=4, columns=["LAI"])
    assert [w.category for w in caught] == [ostrel.OstrelWarning] * len(expected)
    assert [str(w.message) for w in caught] == expected
    assert len(expected) == 3


def test_a_failed_run_keeps_its_records_and_raises_the_message(tmp_path):
    # A record of impossible weather half-way: the model fails on it.
    bad = tmp_path / "hot.drr"
    lines = DRIVERS.read_bytes().split(b"\r\n")
    fields = lines[102].split()
    fields[2] = b"1.0E+305"
    lines[102] = b"  ".join(fields)
    bad.write_bytes(b"\r\n".join(lines))
    done = modelbatch("--format", "csv", "--start", "0", "--stop", "300", PARAMS, bad, tmp_path / "b.csv",
                      check=False)
    assert done.returncode == 1
    with pytest.raises(ostrel.RunFailed) as e:
        ostrel.run(PARAMS, bad, start=0, stop=300)
    assert done.stderr == f"modelbatch: {e.value}\n"
    kept = e.value.result
    batch = ostrel.read_csv(tmp_path / "b.csv")
    assert 0 < len(kept) < 300
    assert kept.times.tobytes() == batch.times.tobytes()
    assert kept.values.tobytes() == batch.values.tobytes()
    assert kept.statistics["steps"] == len(kept)
    with pytest.raises(ostrel.RunFailed) as e:
        ostrel.run(PARAMS, bad, start=0, stop=300, metrics=["max(LAI)"])
    assert e.value.result.metrics == {}


INTERRUPTED_RUN = textwrap.dedent("""
    import sys
    import ostrel
    print("running", flush=True)
    try:
        ostrel.run(sys.argv[1], sys.argv[2], start=0, stop=366000, repeat_drivers=3659, output_every=366)
    except KeyboardInterrupt as e:
        r = e.result
        print(type(e).__name__, e, len(r), r.statistics["steps"], r.times[-1], flush=True)
""")


def test_ctrl_c_ends_the_run_after_its_step_with_the_records_so_far():
    child = subprocess.Popen([sys.executable, "-c", INTERRUPTED_RUN, str(PARAMS), str(DRIVERS)],
                             stdout=subprocess.PIPE, stderr=subprocess.PIPE, text=True)
    assert child.stdout.readline() == "running\n"
    import time
    time.sleep(1.0)
    child.send_signal(signal.SIGINT)
    out, err = child.communicate(timeout=60)
    assert err == ""
    name, rest = out.split(" ", 1)
    assert name == "RunInterrupted"
    message, records, steps, last = rest.rsplit(" ", 3)
    assert message.startswith("interrupted at time ")
    assert int(records) > 0 and int(steps) < 366000
    assert float(last) == 366 * int(records)
    assert float(message.removeprefix("interrupted at time ")) == int(steps)


def test_a_fault_of_the_starting_values_names_them(tmp_path):
    done = modelbatch("--start", "0", "--stop", "12", "--set", "mF=0", PARAMS, DRIVERS, tmp_path / "b.out",
                      check=False)
    with pytest.raises(ostrel.RunFailed) as e:
        ostrel.run(PARAMS, DRIVERS, start=0, stop=12, set={"mF": 0})
    assert done.stderr == f"modelbatch: {e.value}\n"
    assert len(e.value.result) == 0
    params = ostrel.Params.read(PARAMS)
    params["mF"] = 0
    with pytest.raises(ostrel.RunFailed) as e:
        ostrel.run(params, DRIVERS, start=0, stop=12)
    assert str(e.value) == ("run failed at time 0: Floating point division by zero; the model failed on the starting "
                            "values: check the parameter values (parameters that are 0: mF, epsilonF, epsilonW, "
                            "epsilonR)")


def test_a_metric_without_records_fails_the_run_as_in_modelbatch():
    done = modelbatch("--start", "0", "--stop", "100", "--no-output", "--metric", "mean(NPP)@500..600",
                      PARAMS, DRIVERS, check=False)
    assert done.returncode == 1
    with pytest.raises(ostrel.RunFailed) as e:
        ostrel.run(PARAMS, DRIVERS, start=0, stop=100, metrics=["max(LAI)", "mean(NPP)@500..600"])
    assert done.stderr == f"modelbatch: {e.value}\n"
    assert str(e.value) == "metric 'mean(NPP)@500..600' has no record in its time window"
    assert len(e.value.result) == 100 and "max(LAI)" in e.value.result.metrics


def test_an_output_file_another_run_writes_is_left_alone(tmp_path):
    import fcntl
    out = tmp_path / "busy.csv"
    out.write_text("kept\n")
    with open(out) as held:
        fcntl.flock(held, fcntl.LOCK_EX)
        with pytest.raises(ostrel.RunRefused) as e:
            ostrel.run(PARAMS, DRIVERS, stop=10, output=out)
    assert str(e.value) == f"output file '{out}' is being written by another run"
    assert out.read_text() == "kept\n"


def test_progress_is_told_and_what_it_raises_ends_the_run():
    seen = []
    ostrel.run(PARAMS, DRIVERS, start=0, stop=36600, repeat_drivers=3659, output_every=366,
               progress=lambda percent, t: seen.append((percent, t)))
    assert seen[-1] == (100, 36600.0)
    assert seen == sorted(seen)

    def stop_early(percent, t):
        raise ValueError(f"enough at {percent} %")

    with pytest.raises(ValueError) as e:
        ostrel.run(PARAMS, DRIVERS, start=0, stop=36600, repeat_drivers=3659, output_every=366,
                   progress=stop_early)
    assert str(e.value).startswith("enough at ")

    def use_the_model(percent, t):
        ostrel.catalogue("LAI")

    with pytest.raises(ostrel.ModelBusy) as e:
        ostrel.run(PARAMS, DRIVERS, stop=500, progress=use_the_model)
    assert str(e.value) == "the model cannot be used from the progress callback of its own run"
    # The model is free again afterwards.
    assert len(ostrel.run(PARAMS, DRIVERS, stop=5)) == 4
