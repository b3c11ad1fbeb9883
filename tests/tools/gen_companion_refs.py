#!/usr/bin/python3
"""Expected outputs of the companion programs, from independent code and
outside libraries. Run once from the repository root, after the fixture save
files of tests/data/companions/ were written by the core's own writers
(VORLIX_COMPANION_FIXTURES_OUT=tests/data/companions
build/tests/companions/test_companions_savefixtures):

    /usr/bin/python3 tests/tools/gen_companion_refs.py

Sky overlay export: for each fixture save file NAME.txt with sky positions,
tests/data/companions/NAME.edb is the XEphem database the export must write,
made here by a second reading of the save file (pieces of 79 characters, the
R.A. searched from position 40 after a time with seconds, from 36 after one
with minutes; the number around a point from the blank before it). Every
line is then read back by XEphem's own database reader as Debian's
python3-ephem ships it (ephem.readdb) and must give the save file's R.A. and
Dec. (packed HH.MMSS and DD.MMSS) within 0.05 arcsec and the label as name.

Anomaly calculator: tests/data/companions/kep-refs.csv, columns

    nu,e,a,t,M,T,q

nu true anomaly (deg), e eccentricity; for e < 1 M is the mean anomaly in
degrees from python3-sgp4's newtonnu, in [0, 360); for e >= 1 (e = 1 taken as
1.00001, |a| as the semimajor axis in km, t the epoch in days) T is the time
of pericentre t - sqrt(a^3/GM) M with M from newtonnu's hyperbolic branch, and
q = (e - 1) a the pericentre distance in km. Each T is checked with
skyfield.keplerlib.propagate: from the pericentre state (r = q,
v = sqrt(GM (1 + e) / q)) at T to t the body must reach the true anomaly nu.
GM = 2975536351780000 km^3/day^2, as the calculator uses. (propagate reaches
the near-parabola e = 1.00001, q = 0.1 km only within 2e-5 deg; its M from
newtonnu agrees with a 40-digit evaluation to 1e-11.)
"""
import math
import os

import ephem
import numpy as np
from sgp4.ext import newtonnu
from skyfield.keplerlib import propagate

DIR = os.path.join("tests", "data", "companions")
GM = 2975536351780000.0
ARCSEC = math.pi / 180 / 3600


# ---------------------------------------------------------------- sky export

def pieces(path):
    """The file as fgets with an 80-byte buffer reads it."""
    with open(path, "rb") as f:
        data = f.read().decode("latin-1")
    out = []
    for line in data.splitlines(keepends=True):
        while len(line) > 79:
            out.append(line[:79])
            line = line[79:]
        out.append(line)
    return out


def token(line, k):
    """The number around the point at k, or None."""
    b = k - 1
    while b >= 1 and line[b] != " ":
        b -= 1
    if b < 1 or not 2 <= k - b <= 14:
        return None
    e = k + 1
    while e <= 79 and e < len(line) and line[e] not in " \r\n":
        e += 1
    if e > 79 or e - b > 17:
        return None
    text = line[b:e].strip()
    # atof: the longest leading number
    for n in range(len(text), 0, -1):
        try:
            return float(text[:n])
        except ValueError:
            pass
    return 0.0


def sky_points(path):
    pts = []
    for line in pieces(path):
        if len(line) < 51 or line[10] != ":":
            continue
        secs = line[13] == ":"
        k = line.find(".", 40 if secs else 36)
        if k < 0:
            continue
        ra = token(line, k)
        if ra is None:
            continue
        k2 = line.find(".", k + 1)
        if k2 < 0:
            continue
        dec = token(line, k2)
        if dec is None or not (0 <= ra < 24 and -90 <= dec <= 90):
            continue
        two = line[14:16] if secs else line[11:13]
        pts.append((ra, dec, int(two.strip() or 0), line))
        if len(pts) == 6999:
            break
    return pts


def packed(v):
    """Packed D.MMSS (as "%.4f" shows it) to degrees, or HH.MMSS to hours."""
    s = "%.4f" % v
    d, f = s.lstrip("-").split(".")
    x = int(d) + int(f[:2]) / 60 + int(f[2:]) / 3600
    return -x if s.startswith("-") else x


def edb_line(ra, dec, label):
    lab = "%2d" % label
    if lab[0] == " ":
        lab = "0" + lab[1:]
    r, d = "%8.4f" % ra, "%8.4f" % dec
    return "%s,f|S|K9,%s:%s:%s.0,%s:%s:%s.0,6.0\r\n" % (
        lab, r[1:3], r[4:6], r[6:8], d[0:3], d[4:6], d[6:8])


def sky(name):
    src = os.path.join(DIR, name + ".txt")
    pts = sky_points(src)
    lines = [edb_line(ra, dec, lab) for ra, dec, lab, _ in pts]
    for (ra, dec, lab, text), line in zip(pts, lines):
        assert len(line) == 38, line
        body = ephem.readdb(line)
        want_ra = packed(ra) * 15 * math.pi / 180
        want_dec = packed(dec) * math.pi / 180
        assert abs(float(body._ra) - want_ra) < 0.05 * ARCSEC * 15, (line, text)
        assert abs(float(body._dec) - want_dec) < 0.05 * ARCSEC, (line, text)
        assert int(body.name) == lab, (line, body.name)
    if lines:
        with open(os.path.join(DIR, name + ".edb"), "wb") as f:
            f.write("".join(lines).encode("ascii"))
    print("%-16s %4d points" % (name, len(lines)))


# ------------------------------------------------------- anomaly calculator

ELLIPSES = [(0, 0), (45, 0), (-120, 0), (30, 0.1), (90, 0.5), (179, 0.7),
            (-60, 0.3), (150, 0.99), (270, 0.2), (10, 1e-7), (359.9, 0.05),
            (-179.5, 0.9), (1e-6, 0.6)]
OPEN = [(0, 1.5, 14000, 100.0), (60, 1.5, 14000, 58000.5),
        (-60, 1.5, 14000, 58000.5), (100, 2.0, 7000, 1.0),
        (30, 1.0, 10000, 5.0), (100, 3.0, -5000, 10.0),
        (-45, 1.2, 30000, 0.0), (130, 1.5, 8000, 2.25), (5, 25.0, 500, -3.0)]


def true_anomaly_after(q, e, dt):
    v = math.sqrt(GM * (1 + e) / q)
    r, _ = propagate(np.array([q, 0.0, 0.0]), np.array([0.0, v, 0.0]), 0.0, dt, GM)
    r = np.ravel(r)
    return math.degrees(math.atan2(r[1], r[0]))


def kep():
    rows = []
    for nu, e in ELLIPSES:
        _, m = newtonnu(e, math.radians(nu))
        rows.append("%.17g,%.17g,,,%.17g,," % (nu, e, math.degrees(m) % 360.0))
    for nu, e, a, t in OPEN:
        ee = 1.00001 if e == 1.0 else e
        aa = abs(a)
        assert abs(math.radians(nu)) + 1e-5 < math.pi - math.acos(1 / ee)
        _, m = newtonnu(ee, math.radians(nu))
        T = t - math.sqrt(aa ** 3 / GM) * m
        q = (ee - 1) * aa
        if nu != 0:
            got = true_anomaly_after(q, ee, t - T)
            # propagate solves the near-parabola (q = 0.1 km, a flight of
            # 2e-10 day) only to 2e-5 deg; everything else to 1e-7 deg.
            assert abs(got - nu) < (1e-4 if e == 1.0 else 1e-7), (nu, e, got)
        rows.append("%.17g,%.17g,%.17g,%.17g,,%.17g,%.17g" % (nu, e, a, t, T, q))
    with open(os.path.join(DIR, "kep-refs.csv"), "w") as f:
        f.write("# made by tests/tools/gen_companion_refs.py (sgp4 newtonnu, skyfield propagate)\n")
        f.write("nu,e,a,t,M,T,q\n")
        f.write("\n".join(rows) + "\n")
    print("kep-refs.csv     %4d rows" % len(rows))


if __name__ == "__main__":
    for n in ["satsave", "details-wide", "details-narrow", "details-minutes",
              "details-subsec"]:
        sky(n)
    for n in ["gtrack-seconds", "centre-line", "no-position"]:
        assert not sky_points(os.path.join(DIR, n + ".txt")), n
    kep()
