#!/usr/bin/python3
"""Reference passes for the pass-search tests, from an independent pass finder
(Debian's python3-skyfield, EarthSatellite.find_events with the builtin
timescale; SGP4 with WGS-72 as the TLE standard wants). Run once from the
repository root:

    /usr/bin/python3 tests/tools/gen_pass_refs.py

Reads tests/data/passes.tle (real element sets copied from a 2018 catalogue)
and writes tests/data/passes-skyfield.csv:

  case,sat,lat,lon,height_m,t0,days,satel,rise,culm,culm_alt,set,curv,
  rise_rate,set_rate,drop05,rise_az,culm_az,set_az

one row per pass of the case's window [t0, t0 + days] (MJD UTC). rise/set are
the crossings of the elevation limit satel (geometric, no refraction), refined
with brentq to about 1e-5 s; nan when the pass is under way at the window's
start or end. culm is the time of the highest elevation (bounded scalar
minimisation), culm_alt that elevation, curv its second derivative (deg/s^2),
which sets how well a 1-s scan can pin the time; rise_rate/set_rate
the elevation rates at the crossings (deg/s) and drop05 how far the elevation
falls within 0.5 s of the culmination (deg; large for passes near the zenith);
rise_az, culm_az, set_az the azimuths (deg) at the three times. A case without any row has no
pass (a row with rise, set both nan and culm nan means: above the limit all
the time).

A second table tests/data/passes-visible.csv holds visible passes (satellite
above satel, Sun at the observer below sunel, satellite sunlit):

  case,sat,lat,lon,height_m,t0,days,satel,sunel,start,start_by,end,end_by

start_by/end_by name the limit that sets the boundary: elev, sun or shadow.

A third table tests/data/passes-details.csv holds the sky and ground
positions at every second of one ISS pass and the pole of its apparent track
(see details()).
The Sun is astropy's builtin get_sun (apparent, no refraction); the shadow is
a sphere test (radius 6378.137 km): the satellite is lit while the line to
the Sun does not pass through the sphere.
"""
import csv
import math
import os

import numpy as np
from scipy.optimize import brentq, minimize_scalar
from skyfield.api import EarthSatellite, load, wgs84

ROOT = os.path.dirname(os.path.dirname(os.path.dirname(os.path.abspath(__file__))))
DATA = os.path.join(ROOT, "tests", "data")
ts = load.timescale(builtin=True)

MJD0 = 2400000.5

OBS = {
    "A": (48.15, 11.58, 520.0),   # central Europe
    "B": (38.90, -77.04, 50.0),   # eastern North America
}

# case, satellite (name in passes.tle), observer, start (y, m, d, h), days, satel
CASES = [
    ("iss_a0", "ISS (ZARYA)", "A", (2018, 1, 21, 0), 7.0, 0.0),
    ("iss_b10", "ISS (ZARYA)", "B", (2018, 1, 21, 0), 7.0, 10.0),
    ("iss_a45", "ISS (ZARYA)", "A", (2018, 1, 21, 0), 7.0, 45.0),
    ("iss_yearend", "ISS (ZARYA)", "A", (2017, 12, 30, 12), 3.0, 0.0),
    ("sso_a0", "NOAA 19", "A", (2018, 1, 21, 0), 7.0, 0.0),
    ("sso_b10", "NOAA 19", "B", (2018, 1, 21, 0), 7.0, 10.0),
    ("mol_a0", "MOLNIYA 1-53", "A", (2018, 1, 21, 0), 7.0, 0.0),
    ("mol_b10", "MOLNIYA 1-53", "B", (2018, 1, 21, 0), 7.0, 10.0),
    ("geo_a0", "GOES 16", "A", (2018, 1, 21, 0), 7.0, 0.0),
    ("geo_b0", "GOES 16", "B", (2018, 1, 21, 0), 7.0, 0.0),
]

VISCASES = [
    ("vis_iss_a", "ISS (ZARYA)", "A", (2018, 1, 21, 0), 7.0, 0.0, -6.0),
    ("vis_sso_b", "NOAA 19", "B", (2018, 1, 21, 0), 7.0, 10.0, -3.0),
    ("vis_iss_b", "ISS (ZARYA)", "B", (2018, 1, 21, 0), 7.0, 0.0, -12.0),
    ("vis_iss_a9", "ISS (ZARYA)", "A", (2018, 1, 21, 0), 7.0, 0.0, -9.0),
]


def read_tles():
    sats = {}
    with open(os.path.join(DATA, "passes.tle")) as f:
        lines = [l.rstrip("\n") for l in f if l.strip()]
    for k in range(0, len(lines), 3):
        name = lines[k].strip()
        sats[name] = EarthSatellite(lines[k + 1], lines[k + 2], name, ts)
    return sats


def mjd(y, m, d, h):
    import datetime
    return (datetime.date(y, m, d) - datetime.date(1858, 11, 17)).days + h / 24.0


# UTC MJD to skyfield time. Seconds are counted from a base after the last
# leap second before the windows (2016-12-31), so that no leap second lies
# between the base and any time used.
BASE = (2017, 1, 1)


def utc(m):
    return ts.utc(*BASE, 0, 0, (m - mjd(*BASE, 0)) * 86400.0)


def make_alt(sat, obs):
    topo = wgs84.latlon(obs[0], obs[1], elevation_m=obs[2])
    diff = sat - topo

    def alt(mjd):
        t = utc(np.asarray(mjd))
        a, _, _ = diff.at(t).altaz()
        return a.degrees

    def az(mjd):
        _, z, _ = diff.at(utc(mjd)).altaz()
        return float(z.degrees)
    alt.az = az
    return alt


def rate(alt, t):
    # deg/s, elevation rate at t (central difference over 1 s).
    if math.isnan(t):
        return float("nan")
    h = 0.5 / 86400.0
    return float(alt(t + h)) - float(alt(t - h))


def azof(alt, t):
    return float("nan") if math.isnan(t) else alt.az(t)


def passes(sat, obs, t0, days, satel):
    alt = make_alt(sat, obs)
    # Dense samples find every crossing and every maximum; 10 s is far below
    # the shortest pass of these orbits above any of the limits used.
    n = int(days * 8640) + 1
    grid = t0 + np.arange(n) * (10.0 / 86400.0)
    grid[-1] = min(grid[-1], t0 + days)
    a = alt(grid) - satel
    up = a >= 0.0
    rows = []
    k = 0
    while k < n:
        if not up[k]:
            k += 1
            continue
        j = k
        while j + 1 < n and up[j + 1]:
            j += 1
        rise = float("nan") if k == 0 else brentq(lambda x: float(alt(x)) - satel,
                                                   grid[k - 1], grid[k], xtol=1e-10)
        set_ = float("nan") if j == n - 1 else brentq(lambda x: float(alt(x)) - satel,
                                                      grid[j], grid[j + 1], xtol=1e-10)
        if k == 0 and j == n - 1:
            rows.append((rise, float("nan"), float("nan"), set_) + (float("nan"),) * 7)
            break
        m = k + int(np.argmax(a[k:j + 1]))
        # In seconds from the best sample: the bounded method's tolerance has a
        # relative part that would be over a minute on MJD values.
        tg = grid[m]
        lo = (grid[max(m - 1, 0)] - tg) * 86400.0
        hi = (grid[min(m + 1, n - 1)] - tg) * 86400.0
        r = minimize_scalar(lambda x: -float(alt(tg + x / 86400.0)), bounds=(lo, hi),
                            method="bounded", options={"xatol": 1e-4})
        tc = tg + r.x / 86400.0
        h = 5.0 / 86400.0
        curv = (float(alt(tc + h)) - 2 * float(alt(tc)) + float(alt(tc - h))) / 25.0
        drop = float(alt(tc)) - min(float(alt(tc - 0.5 / 86400.0)),
                                    float(alt(tc + 0.5 / 86400.0)))
        rows.append((rise, tc, float(alt(tc)), set_, curv, rate(alt, rise), rate(alt, set_),
                     drop, azof(alt, rise), alt.az(tc), azof(alt, set_)))
        k = j + 1
    # Cross-check the count against find_events.
    t0s = utc(t0)
    t1s = utc(t0 + days)
    topo = wgs84.latlon(obs[0], obs[1], elevation_m=obs[2])
    _, ev = sat.find_events(topo, t0s, t1s, altitude_degrees=satel)
    nr = int(np.sum(ev == 0))
    mine = sum(1 for r in rows if not math.isnan(r[0]))
    assert nr == mine, (nr, mine)
    return rows


def sun_alt_fn(obs):
    from astropy import units as u
    from astropy.coordinates import AltAz, EarthLocation, get_sun
    from astropy.time import Time
    from astropy.utils import iers
    iers.conf.auto_download = False
    loc = EarthLocation(lat=obs[0] * u.deg, lon=obs[1] * u.deg, height=obs[2] * u.m)

    def f(mjd):
        t = Time(np.atleast_1d(mjd), format="mjd", scale="utc")
        aa = get_sun(t).transform_to(AltAz(obstime=t, location=loc, pressure=0))
        r = aa.alt.deg
        return r if np.ndim(mjd) else float(r[0])
    return f


def lit_fn(sat):
    from astropy import units as u
    from astropy.coordinates import GCRS, get_sun
    from astropy.time import Time
    R = 6378.137

    def f(mjd):
        arr = np.atleast_1d(mjd)
        t = utc(arr)
        p = sat.at(t).position.km  # GCRS, km
        s = get_sun(Time(arr, format="mjd", scale="utc")).transform_to(GCRS)
        s = s.cartesian.xyz.to(u.km).value
        su = s / np.linalg.norm(s, axis=0)
        # Distance of the Sun line from the centre, signed by the side.
        proj = np.sum(p * su, axis=0)
        perp = np.sqrt(np.maximum(np.sum(p * p, axis=0) - proj * proj, 0.0))
        margin = np.where(proj > 0, 1e6, perp - R)  # km; >= 0 lit
        return margin if np.ndim(mjd) else float(margin[0])
    return f


def visible(sat, obs, t0, days, satel, sunel):
    alt = make_alt(sat, obs)
    sun = sun_alt_fn(obs)
    lit = lit_fn(sat)
    n = int(days * 8640) + 1
    grid = t0 + np.arange(n) * (10.0 / 86400.0)
    fs = {
        "elev": lambda x: alt(x) - satel,
        "sun": lambda x: sunel - sun(x),
        "shadow": lambda x: lit(x),
    }
    vals = {k: np.asarray(f(grid)) for k, f in fs.items()}
    ok = (vals["elev"] >= 0) & (vals["sun"] > 0) & (vals["shadow"] >= 0)
    rows = []
    k = 0
    while k < n:
        if not ok[k]:
            k += 1
            continue
        j = k
        while j + 1 < n and ok[j + 1]:
            j += 1

        def edge(a, b):
            # The limit that changes sign between a (inside) and b (outside).
            for name in ("elev", "sun", "shadow"):
                va, vb = vals[name][a], vals[name][b]
                if (va >= 0) != (vb >= 0) or (name == "sun" and (va > 0) != (vb > 0)):
                    f = fs[name]
                    x = brentq(lambda y: float(f(y)), grid[min(a, b)], grid[max(a, b)],
                               xtol=1e-9)
                    return x, name
            return float("nan"), "?"
        if k > 0 and j < n - 1:
            s, sb = edge(k, k - 1)
            e, eb = edge(j, j + 1)
            if not math.isnan(s) and not math.isnan(e):
                rows.append((s, sb, e, eb))
        k = j + 1
    return rows


def main():
    sats = read_tles()
    with open(os.path.join(DATA, "passes-skyfield.csv"), "w") as f:
        f.write("# generated by tests/tools/gen_pass_refs.py (skyfield %s)\n" %
                __import__("skyfield").__version__)
        w = csv.writer(f, lineterminator="\n")
        w.writerow(["case", "sat", "lat", "lon", "height_m", "t0", "days", "satel",
                    "rise", "culm", "culm_alt", "set", "curv", "rise_rate", "set_rate",
                    "drop05", "rise_az", "culm_az", "set_az"])
        for case, name, o, (y, m, d, h), days, satel in CASES:
            obs = OBS[o]
            t0 = mjd(y, m, d, h)
            rows = passes(sats[name], obs, t0, days, satel)
            if not rows:
                w.writerow([case, name, obs[0], obs[1], obs[2], "%.9f" % t0, days, satel,
                            "none", "", "", "", ""])
            for r in rows:
                w.writerow([case, name, obs[0], obs[1], obs[2], "%.9f" % t0, days, satel,
                            "%.9f" % r[0], "%.9f" % r[1], "%.6f" % r[2], "%.9f" % r[3],
                            "%.6g" % r[4], "%.6g" % r[5], "%.6g" % r[6], "%.6g" % r[7],
                            "%.4f" % r[8], "%.4f" % r[9], "%.4f" % r[10]])
            print(case, len(rows))
    with open(os.path.join(DATA, "passes-visible.csv"), "w") as f:
        f.write("# generated by tests/tools/gen_pass_refs.py (skyfield, astropy get_sun)\n")
        w = csv.writer(f, lineterminator="\n")
        w.writerow(["case", "sat", "lat", "lon", "height_m", "t0", "days", "satel", "sunel",
                    "start", "start_by", "end", "end_by"])
        for case, name, o, (y, m, d, h), days, satel, sunel in VISCASES:
            obs = OBS[o]
            t0 = mjd(y, m, d, h)
            rows = visible(sats[name], obs, t0, days, satel, sunel)
            for r in rows:
                w.writerow([case, name, obs[0], obs[1], obs[2], "%.9f" % t0, days, satel, sunel,
                            "%.9f" % r[0], r[1], "%.9f" % r[2], r[3]])
            print(case, len(rows))

    details(sats)


def details(sats):
    """Sky and ground positions along the first pass of case iss_a0, and the
    pole of its apparent track at the culmination."""
    sat = sats["ISS (ZARYA)"]
    obs = OBS["A"]
    topo = wgs84.latlon(obs[0], obs[1], elevation_m=obs[2])
    rise, culm, set_ = 58139.029389043, 58139.033106139, 58139.036817854
    first = math.ceil(rise * 86400.0) / 86400.0
    mjds = first + np.arange(int((set_ - first) * 86400.0) + 1) / 86400.0
    t = utc(mjds)
    app = (sat - topo).at(t)
    alt, az, _ = app.altaz()
    ra, dec, _ = app.radec()  # ICRS, the J2000 mean equator within 0.02"
    geo = sat.at(t)
    lat, lon = wgs84.latlon_of(geo)
    h = wgs84.height_of(geo)
    with open(os.path.join(DATA, "passes-details.csv"), "w") as f:
        f.write("# generated by tests/tools/gen_pass_refs.py: ISS over observer A, first pass of\n"
                "# iss_a0 at every whole second (skyfield; az/el geometric, R.A./Dec. astrometric\n"
                "# J2000, sub-point WGS-84); kind pole: the pole of the apparent track at the\n"
                "# culmination (cross product of the directions 15 s before and after), az/el\n"
                "# in the horizon and R.A./Dec. in the true equator of date\n")
        w = csv.writer(f, lineterminator="\n")
        w.writerow(["kind", "mjd", "az", "el", "ra_h", "dec", "lat", "lon", "height_km"])
        for k in range(len(mjds)):
            w.writerow(["pos", "%.9f" % mjds[k], "%.5f" % az.degrees[k], "%.5f" % alt.degrees[k],
                        "%.7f" % ra.hours[k], "%.6f" % dec.degrees[k], "%.6f" % lat.degrees[k],
                        "%.6f" % lon.degrees[k], "%.4f" % h.km[k]])
        from skyfield.framelib import true_equator_and_equinox_of_date as tod

        def unit_hor(m):
            a, z, _ = (sat - topo).at(utc(m)).altaz()
            ar, zr = a.radians, z.radians
            return np.array([math.cos(ar) * math.sin(zr), math.cos(ar) * math.cos(zr),
                             math.sin(ar)])  # east, north, up

        def unit_tod(m):
            v = (sat - topo).at(utc(m)).frame_xyz(tod).km
            return v / np.linalg.norm(v)
        h15 = 15.0 / 86400.0
        n = np.cross(unit_hor(culm - h15), unit_hor(culm + h15))
        q = np.cross(unit_tod(culm - h15), unit_tod(culm + h15))
        if n[2] < 0:
            n, q = -n, -q
        n /= np.linalg.norm(n)
        q /= np.linalg.norm(q)
        paz = math.degrees(math.atan2(n[0], n[1])) % 360.0
        pel = math.degrees(math.asin(n[2]))
        pra = (math.degrees(math.atan2(q[1], q[0])) % 360.0) / 15.0
        pdec = math.degrees(math.asin(q[2]))
        w.writerow(["pole", "%.9f" % culm, "%.5f" % paz, "%.5f" % pel, "%.7f" % pra,
                    "%.6f" % pdec, "", "", ""])
    print("details", len(mjds))


if __name__ == "__main__":
    main()
