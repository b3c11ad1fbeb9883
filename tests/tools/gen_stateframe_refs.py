#!/usr/bin/python3
"""State vectors in the four frames of the state-vector dialog, from ERFA.

Run once from the repository root with Debian's python3-erfa:

    /usr/bin/python3 tests/tools/gen_stateframe_refs.py > tests/data/stateframes-erfa.txt

For each case one state (km, km/s) in each frame at one epoch:
  0 true equator and equinox of date: erfa.nutm80 x (mean of date)
  1 mean equator and equinox of date: erfa.pmat76 x (J2000)
  2 mean equator and equinox of J2000 (the input)
  3 Earth-fixed: erfa.pom00(xp, yp, 0) x Rz(erfa.gst94(UT1)) x (true of date); the velocity
    relative to the rotating Earth, v' = Rz v - omega z x (Rz r) before polar motion, with
    omega = 7.2921158553e-5 rad/s.
Precession and nutation take TT = UTC + 37 s + 32.184 s (the program takes them at UT:
about a millimetre at these distances). With iers 0 the program uses no UT1 - UTC and no
polar motion: the reference then has UT1 = UTC and xp = yp = 0.

Line formats (whitespace separated):
  case <name> <mjd UTC> <iers 0/1> <UT1-UTC s> <xp arcsec> <yp arcsec>
  st <frame> <x> <y> <z> km <vx> <vy> <vz> km/s
"""
import math

import erfa
import numpy as np

OMEGA = 7.2921158553e-5
TAI_UTC = 37.0

# name, MJD (UTC), iers, UT1-UTC, xp, yp, J2000 state (km, km/s)
CASES = [
    ('leo2000', 51544.5, 1, 0.355, 0.043, 0.377,
     (4083.90246, -993.63200, 5243.60367), (2.51283730, 7.25988852, -0.58377854)),
    ('leo2026', 61384.25, 1, -0.071, 0.112, 0.421,
     (-6702.0, 1523.0, 820.0), (-1.2, -5.9, 4.9)),
    ('polar1990', 47892.8125, 1, 0.215, -0.132, 0.285,
     (120.0, -1830.0, 6890.0), (0.35, 7.31, 1.88)),
    ('retro2040', 65305.1, 1, 0.0, 0.0, 0.0,
     (-3520.0, -5240.0, 3080.0), (5.1, -1.4, 4.3)),
    ('meo2024', 60400.75, 1, 0.012, 0.05, 0.3,
     (15300.0, -20100.0, 6100.0), (2.41, 1.37, -1.65)),
    ('short2015', 57023.3, 0, 0.0, 0.0, 0.0,
     (6678.0, 312.0, -801.0), (-0.2, 6.1, 4.9)),
]


def rz(a):
    c, s = math.cos(a), math.sin(a)
    return np.array([[c, s, 0.0], [-s, c, 0.0], [0.0, 0.0, 1.0]])


def main():
    for name, mjd, iers, dut1, xp, yp, r2, v2 in CASES:
        r2 = np.array(r2)
        v2 = np.array(v2)
        tt = mjd + (TAI_UTC + 32.184) / 86400.0
        p = erfa.pmat76(2400000.5, tt)
        n = erfa.nutm80(2400000.5, tt)
        r1, v1 = p @ r2, p @ v2
        r0, v0 = n @ r1, n @ v1
        ut1 = mjd + dut1 / 86400.0
        s = rz(erfa.gst94(2400000.5, ut1))
        w = erfa.pom00(xp * erfa.DAS2R, yp * erfa.DAS2R, 0.0)
        rp = s @ r0
        vp = s @ v0 - np.cross([0.0, 0.0, OMEGA], rp)
        r3, v3 = w @ rp, w @ vp
        print('case %s %.10f %d %.6f %.6f %.6f' % (name, mjd, iers, dut1, xp, yp))
        for k, (r, v) in enumerate([(r0, v0), (r1, v1), (r2, v2), (r3, v3)]):
            print('st %d ' % k + ' '.join('%.17g' % x for x in list(r) + list(v)))


main()
