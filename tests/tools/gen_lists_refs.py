#!/usr/bin/python3
"""Reference passes for the all-satellite list and the next-satellites search.

Run once with Debian's python3 (python3-skyfield, no downloads):
    /usr/bin/python3 tests/tools/gen_lists_refs.py
It reads tests/data/lists/visual-2009.tle and writes
    tests/data/lists/passes-skyfield.csv  every complete pass (rise, highest
        culmination, set) of every object over one day, for an observer and
        a horizon of 0 deg, geometric elevations (no refraction);
    tests/data/lists/next-skyfield.csv    for the search time of the next
        satellites: each object below the horizon then, with its first rise
        within 0.1 day, sorted by rise time.
Times are MJD (UTC).
"""
import os
from datetime import datetime, timezone

from scipy.optimize import brentq
from skyfield.api import EarthSatellite, load, wgs84

HERE = os.path.dirname(os.path.abspath(__file__))
DATA = os.path.join(HERE, "..", "data", "lists")

LAT, LNG, HGT = 48.1, 11.6, 520.0
# One day of passes, and the time of the next-satellites search.
LIST_START = (2009, 1, 7, 0, 0, 0)
NEXT_TIME = (2009, 1, 7, 3, 0, 0)
NEXT_SPAN = 0.1           # d
NEXT_MIN = 0.0018         # d, a pass must begin later than this after the search time

MJD0 = datetime(1858, 11, 17, tzinfo=timezone.utc)


def mjd_of(t):
    dt = t.utc_datetime()
    return (dt - MJD0).total_seconds() / 86400.0


def read_tles(path):
    lines = [l.rstrip("\r\n") for l in open(path) if l.strip()]
    sats = []
    for k in range(0, len(lines), 3):
        name = lines[k][:20].rstrip()
        sats.append((name, EarthSatellite(lines[k + 1], lines[k + 2], name)))
    return sats


def crossing(sat, obs, ts, te, tc, rising):
    """Time at which the elevation passes 0 between the event te and the
    culmination tc (find_events alone can be several seconds off over a
    one-day span), to 1 ms."""
    def alt(x):
        return (sat - obs).at(ts.tt_jd(x)).altaz()[0].degrees
    for half in (60, 180, 600):
        a = te.tt - half / 86400 if rising else tc.tt
        b = tc.tt if rising else te.tt + half / 86400
        if alt(a) * alt(b) < 0:
            return ts.tt_jd(brentq(alt, a, b, xtol=0.001 / 86400))
    raise RuntimeError("no crossing near %s" % te.utc_iso())


def culmination(sat, obs, ts, tc):
    """Time of the highest elevation near tc, to 0.01 s (golden section)."""
    def alt(x):
        return (sat - obs).at(ts.tt_jd(x)).altaz()[0].degrees
    g = (5 ** 0.5 - 1) / 2
    a, b = tc.tt - 60 / 86400, tc.tt + 60 / 86400
    c, d = b - g * (b - a), a + g * (b - a)
    while b - a > 0.01 / 86400:
        if alt(c) > alt(d):
            b, d = d, c
            c = b - g * (b - a)
        else:
            a, c = c, d
            d = a + g * (b - a)
    t = ts.tt_jd((a + b) / 2)
    return t, alt((a + b) / 2)


def main():
    ts = load.timescale(builtin=True)
    obs = wgs84.latlon(LAT, LNG, elevation_m=HGT)
    sats = read_tles(os.path.join(DATA, "visual-2009.tle"))
    # Rises and sets are refined by root finding (find_events alone can be
    # several seconds off over a one-day span); culminations by golden section.

    t0 = ts.utc(*LIST_START)
    t1 = ts.tt_jd(t0.tt + 1.0)
    rows = []
    for name, sat in sats:
        times, events = sat.find_events(obs, t0, t1, altitude_degrees=0.0)
        rise = None
        culms = []
        for t, e in zip(times, events):
            if e == 0:
                rise, culms = t, []
            elif e == 1 and rise is not None:
                culms.append(t)
            elif e == 2 and rise is not None and culms:
                best = max((culmination(sat, obs, ts, c) for c in culms), key=lambda x: x[1])
                rise = crossing(sat, obs, ts, rise, best[0], True)
                t = crossing(sat, obs, ts, t, best[0], False)
                rows.append((name, mjd_of(rise), mjd_of(best[0]), mjd_of(t), best[1]))
                rise = None
    with open(os.path.join(DATA, "passes-skyfield.csv"), "w") as f:
        f.write("# skyfield %s find_events, observer %.4f %.4f %.1f m, horizon 0 deg\n"
                % (__import__("skyfield").__version__, LAT, LNG, HGT))
        f.write("# start MJD %.8f, one day\n" % mjd_of(t0))
        f.write("name,rise,culmination,set,maxalt\n")
        for r in rows:
            f.write("%s,%.8f,%.8f,%.8f,%.3f\n" % r)

    tn = ts.utc(*NEXT_TIME)
    tend = ts.tt_jd(tn.tt + NEXT_SPAN)
    cands = []
    for name, sat in sats:
        if (sat - obs).at(tn).altaz()[0].degrees >= 0.0:
            continue
        times, events = sat.find_events(obs, tn, tend, altitude_degrees=0.0)
        k = next((k for k, e in enumerate(events) if e == 0), None)
        if k is None:
            continue
        tc = times[k + 1] if k + 1 < len(times) else tend
        r = mjd_of(crossing(sat, obs, ts, times[k], tc, True))
        if r - mjd_of(tn) > NEXT_MIN:
            cands.append((r, name))
    cands.sort()
    # The search time must not sit on a boundary: no rise within 10 s of the
    # minimum delay.
    for r, name in cands[:12]:
        assert abs(r - mjd_of(tn) - NEXT_MIN) > 10 / 86400, name
    with open(os.path.join(DATA, "next-skyfield.csv"), "w") as f:
        f.write("# skyfield find_events, observer %.4f %.4f %.1f m, horizon 0 deg\n"
                % (LAT, LNG, HGT))
        f.write("# search time MJD %.8f\n" % mjd_of(tn))
        f.write("name,rise\n")
        for r, name in cands:
            f.write("%s,%.8f\n" % (name, r))


if __name__ == "__main__":
    main()
