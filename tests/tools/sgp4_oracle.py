#!/usr/bin/python3
"""Independent SGP4/SDP4 states for tests/data/sgp4-oracle.txt.

Run once from the repository root with Debian's python3-sgp4 (pure-Python
port of the published 2006 code, 'i' mode, which is the mode our propagator
follows):

    /usr/bin/python3 tests/tools/sgp4_oracle.py > tests/data/sgp4-oracle.txt

Element sets: a fixed-seed random mix of low, medium, geostationary (one-day
resonance), Molniya (half-day resonance) and other deep-space orbits, each
for WGS-72 (set 1) and WGS-84 (set 2).  Also Greenwich mean sidereal times
from ERFA (gmst82) for gstime.

Line formats (whitespace separated):
  set  <const 1|2> <epoch days since 1950 Jan 0.0> <bstar> <ecc> <argp rad> <incl rad> <M rad> <n rad/min> <node rad>
  st   <t min> <x> <y> <z> km <vx> <vy> <vz> km/s       (states of the last set)
  gmst <jd ut1> <angle rad>
"""
import math
import random

import erfa
from sgp4.api import WGS72, WGS84, Satrec

random.seed(20240607)
TWOPI = 2 * math.pi


def draw(kind):
    if kind == 'leo':
        n = random.uniform(13.0, 16.2); e = random.uniform(0.0, 0.02); i = random.uniform(0, 180)
    elif kind == 'meo':
        n = random.uniform(2.0, 6.3); e = random.uniform(0.0, 0.1); i = random.uniform(0, 110)
    elif kind == 'geo':
        n = random.uniform(0.99, 1.01); e = random.uniform(0.0, 0.01); i = random.uniform(0, 15)
    elif kind == 'molniya':
        n = random.uniform(2.0, 2.02); e = random.uniform(0.6, 0.75); i = random.uniform(62, 65)
    else:  # eccentric deep space without resonance
        n = random.uniform(3.5, 6.0); e = random.uniform(0.3, 0.7); i = random.uniform(5, 60)
    a = (398600.8 / (n * TWOPI / 86400.0) ** 2) ** (1.0 / 3.0)
    if a * (1.0 - e) < 6378.135 + 200.0:
        return draw(kind)  # perigee too low: draw again
    bstar = random.uniform(-1e-4, 5e-4) if kind == 'leo' else random.uniform(0, 1e-4)
    epoch = random.uniform(20000.0, 27000.0)  # 2004 .. 2023
    return (epoch, bstar, e, random.uniform(0, TWOPI), math.radians(i),
            random.uniform(0, TWOPI), n * TWOPI / 1440.0, random.uniform(0, TWOPI))


def main():
    kinds = ['leo'] * 4 + ['meo'] * 2 + ['geo'] * 2 + ['molniya'] * 2 + ['deep'] * 2
    for kind in kinds:
        el = draw(kind)
        for const, grav in ((1, WGS72), (2, WGS84)):
            s = Satrec()
            s.sgp4init(grav, 'i', 0, el[0], el[1], 0.0, 0.0, el[2], el[3], el[4], el[5], el[6], el[7])
            print('set %d ' % const + ' '.join('%.17g' % x for x in el))
            for t in (0.0, 90.0, 720.0, 1440.0, 4000.0, 10000.0, -3000.0):
                err, r, v = s.sgp4_tsince(t)
                if err:
                    continue
                print('st %.1f ' % t + ' '.join('%.17g' % x for x in r + v))
    for jd in (2451545.0, 2415020.5, 2455197.5, 2460000.25, 2469807.75):
        print('gmst %.17g %.17g' % (jd, erfa.gmst82(jd, 0.0)))


main()
