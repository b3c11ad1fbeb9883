#!/usr/bin/python3
"""Independent SGP4 tracks for tests/data/rv2el-tracks.txt.

Run once from the repository root with Debian's python3-sgp4 ('i' mode,
WGS-72, the constants mean elements are fitted with):

    /usr/bin/python3 tests/tools/gen_rv2el_refs.py > tests/data/rv2el-tracks.txt

For each element set: its state at epoch (what a state-vector fit starts
from) and its positions every 60 minutes over one day (what the fitted
elements must reproduce).

Line formats (whitespace separated):
  set <name> <epoch days since 1950 Jan 0.0> <bstar> <ecc> <argp deg> <incl deg> <M deg> <n rev/day> <node deg>
  st  <t min> <x> <y> <z> km <vx> <vy> <vz> km/s
"""
import math

from sgp4.api import WGS72, Satrec

# name, ecc, argp, incl, M, n (rev/day), node, bstar; epoch 2026 Dec 10.
SETS = [
    ('iss', 0.0006703, 130.5360, 51.6416, 325.0288, 15.72125391, 247.4627, 0.34123e-4),
    ('sunsync', 0.0011, 85.0, 98.2, 20.0, 14.3, 300.0, 1.0e-5),
    ('ecc0186', 0.186, 250.0, 63.0, 100.0, 11.2, 45.0, 0.0),
    ('ecc1e-7', 1e-7, 10.0, 45.0, 200.0, 15.2, 120.0, 0.0),
    ('equator', 0.002, 40.0, 0.0, 70.0, 14.0, 0.0, 0.0),
    ('i0001', 0.002, 40.0, 0.001, 70.0, 14.0, 150.0, 0.0),
    ('retro', 0.01, 300.0, 140.0, 10.0, 13.5, 10.0, 0.0),
]
EPOCH = 61384.0 - 33281.0  # MJD 61384 = 2026 Dec 10 0h


def main():
    d = math.radians
    for name, e, w, i, m, n, node, bstar in SETS:
        s = Satrec()
        s.sgp4init(WGS72, 'i', 0, EPOCH, bstar, 0.0, 0.0, e, d(w), d(i), d(m),
                   n * 2 * math.pi / 1440.0, d(node))
        print('set %s %.17g %.17g %.17g %.17g %.17g %.17g %.17g %.17g'
              % (name, EPOCH, bstar, e, w, i, m, n, node))
        for k in range(25):
            err, r, v = s.sgp4_tsince(60.0 * k)
            assert err == 0
            print('st %.1f ' % (60.0 * k) + ' '.join('%.17g' % x for x in r + v))


main()
