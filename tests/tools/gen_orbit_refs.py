#!/usr/bin/python3
"""Outside references for the orbit dialogs and commands.

Run once from the repository root with Debian's python3-sgp4, python3-erfa,
python3-skyfield and numpy:

    /usr/bin/python3 tests/tools/gen_orbit_refs.py > tests/data/orbit/orbit-refs.txt

Element sets come from tests/data/orbit/orbit.tle. Line formats (whitespace
separated; angles in degrees, lengths in km, velocities in km/s):

  wgs <set> <72|84> <tsince min> <x> <y> <z> <vx> <vy> <vz>
      python3-sgp4 Satrec.twoline2rv(l1, l2, WGS72 / WGS84), TEME
  gmst <mjd> <deg>
      erfa.gmst82(2400000.5, mjd) (UT1 = UTC) in degrees
  cal <year> <month> <day> <hour> <minute> <second> <mjd>
      erfa.cal2jd and the time of day
  kep <a> <e> <i> <node> <argp> <M> <x> <y> <z> <vx> <vy> <vz>
      skyfield.keplerlib.ele_to_vec with GM = 2975536351779840 km^3/day^2
      (the element editor's constant), M solved for the true anomaly here
  coe <x> <y> <z> <vx> <vy> <vz> <a> <e> <i> <node> <argp> <M>
      sgp4.ext.rv2coe of the state with the same GM
  fit <set> <epoch mjd> <x> <y> <z> <vx> <vy> <vz>
      the set's SGP4 state at epoch (WGS-72) turned from TEME to the mean
      equator and equinox of date: TOD = R3(-erfa.eqeq94) TEME, MOD =
      transpose(erfa.nutm80) TOD, at TT = UTC + 69.184 s
  trk <set> <tsince min> <x> <y> <z>
      the set's SGP4 track (TEME) over a day
  visviva <a0> <dv m/s> <a1>
      semi-major axis after an along-track velocity change on a circular orbit
      of radius a0: 1/(2/r - v'^2/GM), GM = 2.9755364003e15 km^3/day^2
  tle <set> <line 1>|<line 2>
      sgp4.exporter.export_tle of the ISS set with the edited elements
      i 51.65, node 60, e 0.0012, argp 100, M 200, n 15.5 rev/day, B* 1.2345e-4
"""
import math
import os

import erfa
import numpy as np
from sgp4.api import WGS72, WGS84, Satrec
from sgp4.exporter import export_tle
from sgp4.ext import rv2coe
from skyfield.keplerlib import ele_to_vec

ROOT = os.path.dirname(os.path.dirname(os.path.abspath(__file__)))
GM_DIALOG = 2975536351779840.0 / 86400.0 ** 2  # km^3/s^2
GM_ENGINE = 2.9755364003e15 / 86400.0 ** 2
TT_UTC = 69.184


def sets():
    lines = [l.rstrip('\n') for l in open(os.path.join(ROOT, 'data', 'orbit', 'orbit.tle'))]
    out = {}
    for k in range(0, len(lines) - 2, 3):
        name = lines[k].split()[0].lower()
        out[name] = (lines[k + 1], lines[k + 2])
    return out


def fmt(xs):
    return ' '.join('%.17g' % x for x in xs)


def kepler_E(M, e):
    E = M if e < 0.8 else math.pi
    for _ in range(50):
        E -= (E - e * math.sin(E) - M) / (1.0 - e * math.cos(E))
    return E


def main():
    tle = sets()
    d = math.radians

    for name in ('iss',):
        l1, l2 = tle[name]
        for tag, grav in ((72, WGS72), (84, WGS84)):
            s = Satrec.twoline2rv(l1, l2, grav)
            for t in (0.0, 90.0, 720.0, 1440.0):
                err, r, v = s.sgp4_tsince(t)
                assert err == 0
                print('wgs %s %d %.1f %s' % (name, tag, t, fmt(list(r) + list(v))))

    for mjd in (54837.525672, 58137.33649993, 60676.0, 51544.5):
        print('gmst %.10f %.17g' % (mjd, math.degrees(erfa.gmst82(2400000.5, mjd))))

    for y, mo, dd, h, mi, sec in ((2009, 1, 6, 8, 0, 0), (2009, 1, 6, 23, 59, 59),
                                  (2009, 1, 6, 13, 0, 0), (2024, 2, 29, 12, 35, 0)):
        jd0, jd1 = erfa.cal2jd(y, mo, dd)
        print('cal %d %d %d %d %d %d %.17g' % (y, mo, dd, h, mi, sec,
                                               jd1 + (h * 3600 + mi * 60 + sec) / 86400.0))

    for a, e, i, node, argp, M in ((6778.0, 0.0007, 51.64, 54.435, 165.8125, 336.827),
                                   (26600.0, 0.74, 62.45, 108.14, 265.07, 44.87)):
        E = kepler_E(d(M), e)
        nu = 2.0 * math.atan2(math.sqrt(1 + e) * math.sin(E / 2), math.sqrt(1 - e) * math.cos(E / 2))
        r, v = ele_to_vec(a * (1 - e * e), e, d(i), d(node), d(argp), nu, GM_DIALOG)
        print('kep %s %s' % (fmt([a, e, i, node, argp, M]), fmt(list(r) + list(v))))
        # A typed state: the same position, the velocity changed a little.
        v2 = np.array(v) + np.array([0.0, 0.05, -0.02])
        p, aa, ecc, incl, omega, w, nu2, m, *_ = rv2coe(list(r), list(v2), GM_DIALOG)
        print('coe %s %s' % (fmt(list(r) + list(v2)),
                             fmt([aa, ecc, math.degrees(incl), math.degrees(omega) % 360.0,
                                  math.degrees(w) % 360.0, math.degrees(m) % 360.0])))

    for name in ('iss', 'molniya'):
        l1, l2 = tle[name]
        s = Satrec.twoline2rv(l1, l2, WGS72)
        epoch = s.jdsatepoch - 2400000.5 + s.jdsatepochF
        err, r, v = s.sgp4_tsince(0.0)
        assert err == 0
        tt = epoch + TT_UTC / 86400.0
        ee = erfa.eqeq94(2400000.5, tt)
        c, sn = math.cos(ee), math.sin(ee)
        r3 = np.array([[c, -sn, 0.0], [sn, c, 0.0], [0.0, 0.0, 1.0]])  # TEME -> TOD
        n = erfa.nutm80(2400000.5, tt)
        q = n.T @ r3
        print('fit %s %.17g %s' % (name, epoch, fmt(list(q @ r) + list(q @ v))))
        for k in range(25):
            err, rr, vv = s.sgp4_tsince(60.0 * k)
            assert err == 0
            print('trk %s %.1f %s' % (name, 60.0 * k, fmt(rr)))

    for a0, dv in ((7000.0, 10.0), (7000.0, -25.0), (42164.0, 3.0)):
        v0 = math.sqrt(GM_ENGINE / a0)
        v1 = v0 + dv / 1000.0
        print('visviva %.17g %.17g %.17g' % (a0, dv, 1.0 / (2.0 / a0 - v1 * v1 / GM_ENGINE)))

    l1, l2 = tle['iss']
    s = Satrec.twoline2rv(l1, l2)
    t = Satrec()
    t.sgp4init(WGS72, 'i', s.satnum, s.jdsatepoch + s.jdsatepochF - 2433281.5, 1.2345e-4,
               s.ndot, s.nddot, 0.0012, d(100.0), d(51.65), d(200.0),
               15.5 * 2.0 * math.pi / 1440.0, d(60.0))
    for attr in ('classification', 'intldesg', 'elnum', 'revnum', 'epochyr', 'epochdays'):
        setattr(t, attr, getattr(s, attr))
    e1, e2 = export_tle(t)
    print('tle iss %s|%s' % (e1, e2))


main()
