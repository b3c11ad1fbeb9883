#!/usr/bin/python3
"""Reference values for the date command: the Modified Julian Date (UT) of a local
date and time typed in the date dialog, from Debian's python3-erfa. Run once from
the repository root:

    /usr/bin/python3 tests/tools/gen_date_refs.py

Writes
  tests/data/date-mjd-erfa.csv  year,month,day,hour,minute,second,tzone,mjd: the local
      time (zone tzone hours east) as UT MJD = erfa.cal2jd(year, month, day) day part
      + (hour + minute/60 + second/3600 - tzone)/24, MJD printed with 10 decimals
"""
import erfa

ROWS = [
    # year, month, day, hour, minute, second, tzone
    (2024, 3, 15, 21, 30, 5, 1.0),
    (2024, 2, 29, 0, 0, 0, 0.0),
    (2023, 12, 31, 23, 59, 59, -5.0),   # crosses into the new year in UT
    (2024, 1, 1, 0, 30, 0, 5.5),        # back into the old year in UT
    (2000, 1, 1, 12, 0, 0, 0.0),        # J2000.0
    (1999, 12, 31, 23, 59, 60, 0.0),    # second 60 carries
    (2011, 3, 12, 14, 3, 27, 9.0),
    (2050, 7, 4, 6, 15, 30, -10.0),
]

with open("tests/data/date-mjd-erfa.csv", "w") as f:
    f.write("year,month,day,hour,minute,second,tzone,mjd\n")
    for y, mo, d, h, mi, s, tz in ROWS:
        djm0, djm = erfa.cal2jd(y, mo, d)
        mjd = djm + (h + mi / 60.0 + s / 3600.0 - tz) / 24.0
        f.write(f"{y},{mo},{d},{h},{mi},{s},{tz},{mjd:.10f}\n")
