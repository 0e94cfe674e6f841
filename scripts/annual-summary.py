#!/usr/bin/env python3
"""Prints a year-by-year summary of an Ostrel output file.

    python3 scripts/annual-summary.py OUTPUT.out

One line per model year: gross and net primary production, soil respiration
and net ecosystem production (from the model's annual running totals, read at
the last record of the year), evapotranspiration and precipitation, the
highest leaf area index, the deepest snowpack and the day of the year on which
the ground became free of snow in spring, plant N uptake and N leaching.
Then the lowest value that any carbon or nitrogen pool took during the run,
and the lowest root-zone water, with the times they did.

A model year ends where the day counter goes back (the model's annual reset),
so the summary is right for runs with repeated drivers too. The model's
running totals start again at every reset: a year cut short by the start or
the end of the run shows the totals of its part only, and the "days" column
says how long that part is. For the best figures write a record every day, or
at least at every year end.

The file is read by position: a time column, 18 drivers, 55 states and 134
process variables, each in a 26-character column, titles on line 1 and units
on line 2. The titles of the columns used are checked, so a file of another
model or layout is refused rather than misread.
"""

import sys

NUM_DRIVERS = 18
NUM_STATES = 55
NUM_PROCESSES = 134
COLUMN_WIDTH = 26
NUM_COLUMNS = 1 + NUM_DRIVERS + NUM_STATES + NUM_PROCESSES


def state_column(i):
    """Column of state i (1-based)."""
    return NUM_DRIVERS + i


def process_column(entry):
    """Column of process table entry `entry` (56..189)."""
    return NUM_DRIVERS + entry


# Columns used, with the title the model writes there.
COLUMNS = {
    "Ppt": (5, "H2O precip"),
    "Ws": (state_column(23), "H2O: Snowpack"),
    "Jday": (state_column(25), "Julian day"),
    "PptT": (state_column(29), "Cum. Precipitation"),
    "EtT": (state_column(31), "Cum. Evapotranspiration"),
    "PST": (state_column(35), "Cum. GPP"),
    "NPPT": (state_column(36), "Cum. NPP"),
    "RST": (state_column(47), "Cum. resp. soil"),
    "NepT": (state_column(48), "Cum. NEP"),
    "UNT": (state_column(49), "Cum. N uptake"),
    "QNT": (state_column(52), "Cum. N leaching"),
    "LAI": (process_column(77), "Leaf Area Index"),
}

# The C and N pools of plant and soil (states 1..20), which must never go
# below zero.
POOLS = [(i, state_column(i)) for i in range(1, 21)]
POOL_SYMBOLS = ["Cf", "Csw", "Chw", "Cr", "Nf", "Nsw", "Nhw", "Nr", "Clfw", "Clr", "Nlf", "Nlwr",
                "Cs", "Ce", "Ci", "Ch", "Na", "Nh", "Nnh4", "Nno3"]
WR_COLUMN = state_column(21)


class SummaryError(Exception):
    pass


def titles_of(line):
    """The column titles of line 1: fixed 26-character fields."""
    text = line.rstrip("\r\n")
    return [text[k * COLUMN_WIDTH:(k + 1) * COLUMN_WIDTH].strip() for k in range((len(text) + 1) // COLUMN_WIDTH)]


def check_titles(path, titles):
    if len(titles) < NUM_COLUMNS:
        raise SummaryError(f"{path}:1: {len(titles)} column titles, expected {NUM_COLUMNS}: "
                           "not an output file of this model")
    for symbol, (column, title) in COLUMNS.items():
        if titles[column] != title:
            raise SummaryError(f"{path}:1: column {column + 1} is '{titles[column]}', expected '{title}' ({symbol})")


class Year:
    def __init__(self, first_time):
        self.first_time = first_time
        self.last_time = first_time
        self.days = 0.0
        self.totals = {}
        self.peak_lai = float("-inf")
        self.max_snow = 0.0
        self.max_snow_day = None
        self.snow_free_day = None
        self.spring_snow = False


def read_records(path):
    """Yields (line number, values) for each record of the file."""
    with open(path, "r", encoding="latin-1", newline="") as f:
        first = f.readline()
        if not first:
            raise SummaryError(f"{path}: the file is empty")
        check_titles(path, titles_of(first))
        if not f.readline():
            raise SummaryError(f"{path}:2: the units line is missing")
        line_no = 2
        for line in f:
            line_no += 1
            fields = line.split()
            if not fields:
                continue
            if len(fields) < NUM_COLUMNS:
                raise SummaryError(f"{path}:{line_no}: {len(fields)} numbers, expected {NUM_COLUMNS}")
            try:
                values = [float(v) for v in fields[:NUM_COLUMNS]]
            except ValueError as e:
                raise SummaryError(f"{path}:{line_no}: {e}") from None
            yield line_no, values


def summarise(path):
    years = []
    year = None
    prev_jday = None
    lowest = None  # (value, symbol, time)
    driest = None  # (Wr, time)
    col = {k: c for k, (c, _) in COLUMNS.items()}
    for _, v in read_records(path):
        time, jday = v[0], v[col["Jday"]]
        if year is None or (prev_jday is not None and jday < prev_jday):
            year = Year(time)
            years.append(year)
        year.last_time = time
        year.days = jday
        for k in ("PST", "NPPT", "RST", "NepT", "EtT", "PptT", "UNT", "QNT"):
            year.totals[k] = v[col[k]]
        year.peak_lai = max(year.peak_lai, v[col["LAI"]])
        ws = v[col["Ws"]]
        if ws > year.max_snow:
            year.max_snow, year.max_snow_day = ws, jday
        # Snow-free day: the first day in the first half of the year with no
        # snow left after a snowpack was there.
        if jday < 183:
            if ws > 0:
                year.spring_snow = True
                year.snow_free_day = None
            elif year.spring_snow and year.snow_free_day is None:
                year.snow_free_day = jday
        for i, c in POOLS:
            if lowest is None or v[c] < lowest[0]:
                lowest = (v[c], POOL_SYMBOLS[i - 1], time)
        if driest is None or v[WR_COLUMN] < driest[0]:
            driest = (v[WR_COLUMN], time)
        prev_jday = jday
    if not years:
        raise SummaryError(f"{path}: no records")
    return years, lowest, driest


def fmt(x, width, digits=0):
    return f"{x:{width}.{digits}f}"


def main(argv):
    if len(argv) != 2:
        print("usage: annual-summary.py OUTPUT.out", file=sys.stderr)
        return 2
    try:
        years, lowest, driest = summarise(argv[1])
    except (OSError, SummaryError) as e:
        print(f"annual-summary: {e}", file=sys.stderr)
        return 1
    header = ("year  days   GPP   NPP    Rs   NEP  peakLAI  snowmax  snowfree    ET  Precip   Nupt  Nleach")
    units = ("            (g C m-2 yr-1)            (m2 m-2)    (mm)    (day)     (mm yr-1)   (g N m-2 yr-1)")
    print(header)
    print(units)
    for n, y in enumerate(years, start=1):
        t = y.totals
        snow_free = "-" if y.snow_free_day is None else f"{y.snow_free_day:.0f}"
        print(f"{n:4d} {y.days:5.0f} {fmt(t['PST'], 5)} {fmt(t['NPPT'], 5)} {fmt(t['RST'], 5)} {fmt(t['NepT'], 5)}"
              f"  {fmt(y.peak_lai, 7, 2)}  {fmt(y.max_snow, 7)}  {snow_free:>8s}  {fmt(t['EtT'], 4)}  {fmt(t['PptT'], 6)}"
              f"  {fmt(t['UNT'], 5, 2)}  {fmt(t['QNT'], 6, 3)}")
    value, symbol, time = lowest
    print(f"lowest C or N pool: {symbol} = {value:.6g} at time {time:g}")
    print(f"lowest root-zone water: Wr = {driest[0]:.6g} mm at time {driest[1]:g}")
    return 0


if __name__ == "__main__":
    sys.exit(main(sys.argv))
