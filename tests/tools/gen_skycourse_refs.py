#!/usr/bin/python3
"""Reference for the sky course of the local details near a loss of position:
the shipped 2009 ISS elements (tests/data/lists/visual-2009.tle) come down in
SGP4 some months after their epoch. python3-sgp4 finds the last minute since
epoch with a position (to 1e-6 s); python3-skyfield gives the course on the
sky (topocentric R.A./Dec. of date, over two seconds, north 0, towards
decreasing R.A. positive) a few seconds before it, for the observer of the
lists fixture (48.1 N, 11.6 E, 520 m).

Run from the repository root (once; the output is committed):
    /usr/bin/python3 tests/tools/gen_skycourse_refs.py
Writes tests/data/lists/skycourse-skyfield.txt:
  loss <minutes since epoch of the last position> <MJD (UTC) of it>
  course <seconds before the loss> <course (deg)>
"""
import math
import os

from sgp4.api import WGS72, Satrec
from skyfield.api import EarthSatellite, load, wgs84

ROOT = os.path.dirname(os.path.dirname(os.path.dirname(os.path.abspath(__file__))))
TLE = os.path.join(ROOT, "tests", "data", "lists", "visual-2009.tle")
OUT = os.path.join(ROOT, "tests", "data", "lists", "skycourse-skyfield.txt")

lines = open(TLE).read().splitlines()
k = next(n for n, l in enumerate(lines) if l.startswith("1 25544"))
l1, l2 = lines[k], lines[k + 1]
sat = Satrec.twoline2rv(l1, l2, WGS72)
epoch = sat.jdsatepoch + sat.jdsatepochF - 2400000.5  # MJD (UTC)

# The first day without a position, then the boundary by bisection.
m = 0.0
while sat.sgp4_tsince(m)[0] == 0:
    m += 1440.0
lo, hi = m - 1440.0, m
while hi - lo > 1e-8:
    mid = (lo + hi) / 2
    if sat.sgp4_tsince(mid)[0] == 0:
        lo = mid
    else:
        hi = mid

ts = load.timescale(builtin=True)
es = EarthSatellite.from_satrec(sat, ts)
site = wgs84.latlon(48.1, 11.6, 520.0)


def course(mjd):
    def at(x):
        t = ts.utc(1858, 11, 17 + x)
        ra, dec, _ = (es - site).at(t).radec(epoch="date")
        return ra.radians, dec.radians
    r1, d1 = at(mjd)
    r2, d2 = at(mjd + 2.0 / 86400)
    da = r2 - r1
    cd = math.sin(d1) * math.sin(d2) + math.cos(d1) * math.cos(d2) * math.cos(da)
    dist = math.acos(max(-1.0, min(1.0, cd)))
    qc = (math.sin(d2) - cd * math.sin(d1)) / (math.cos(d1) * math.sin(dist))
    c = math.degrees(math.acos(max(-1.0, min(1.0, qc))))
    if math.sin(da) > 0:
        c = -c
    return c + 360.0 if c < 0 else c


loss = epoch + lo / 1440.0
with open(OUT, "w") as f:
    f.write("# The 2009 ISS elements: last position in SGP4 (WGS-72), and the sky course\n")
    f.write("# (skyfield, R.A./Dec. of date over 2 s) for 48.1 N 11.6 E 520 m\n")
    f.write("loss %.9f %.12f\n" % (lo, loss))
    for s in (1.0, 3.0, 10.0):
        f.write("course %.1f %.4f\n" % (s, course(loss - s / 86400.0)))
print(open(OUT).read())
