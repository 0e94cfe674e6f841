#!/usr/bin/env python3
"""Writes samples/station_daily.csv: five years (2018-2022) of synthetic daily
station weather for a temperate inland site near 47 degrees north, in the
layout a weather service hands out: date, precipitation, daily maximum and
minimum temperature. Made here from a seeded generator, not taken from any
station. Two short gaps (written NA) show the import's gap filling.

    python3 samples/make_station_csv.py > samples/station_daily.csv
"""
import datetime
import math
import random


def main():
    rng = random.Random(1947)
    day = datetime.date(2018, 1, 1)
    end = datetime.date(2022, 12, 31)
    wet = False
    anomaly = 0.0
    gaps = {datetime.date(2020, 3, 17), datetime.date(2021, 8, 4), datetime.date(2021, 8, 5)}
    print("date,precipitation (mm),Tmax (\u00b0C),Tmin (\u00b0C)")
    while day <= end:
        doy = day.timetuple().tm_yday
        season = 2.0 * math.pi * (doy - 18) / 365.25
        wet = rng.random() < (0.58 if wet else 0.30)
        rain = 0.0
        if wet:
            mean = 6.5 * (1.0 + 0.25 * math.cos(2.0 * math.pi * (doy - 195) / 365.25))
            rain = -mean * math.log(1.0 - rng.random())
        anomaly = 0.72 * anomaly + math.sqrt(1.0 - 0.72 ** 2) * 3.2 * rng.gauss(0.0, 1.0)
        tmean = 8.6 - 10.5 * math.cos(season) + anomaly
        spread = (4.0 if wet else 8.0) + 3.0 * (1.0 - math.cos(season)) / 2.0 + rng.uniform(-1.5, 1.5)
        tmax = tmean + spread / 2.0
        tmin = tmean - spread / 2.0
        if day in gaps:
            print(f"{day.isoformat()},NA,NA,NA")
        else:
            print(f"{day.isoformat()},{rain:.1f},{tmax:.1f},{tmin:.1f}")
        day += datetime.timedelta(days=1)


if __name__ == "__main__":
    main()
