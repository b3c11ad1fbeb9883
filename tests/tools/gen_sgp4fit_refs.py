#!/usr/bin/python3
"""Independent SGP4/SDP4 tracks for tests/data/sgp4fit-tracks.txt.

Run once from the repository root with Debian's python3-sgp4 (WGS-72, 'i'
mode: the Greenwich angle at epoch from the IAU 1982 formula):

    /usr/bin/python3 tests/tools/gen_sgp4fit_refs.py > tests/data/sgp4fit-tracks.txt

Element sets of tests/data/catalogue-2018.tle, chosen by catalogue number:
deep space (geostationary, an inclined geosynchronous orbit, a Molniya orbit,
a 12-hour navigation orbit, a retrograde high-eccentricity orbit) and near
the Earth (the space station, a sun-synchronous orbit, an eccentric orbit).
For each: its mean elements as python-sgp4 reads them and its state every
60 minutes over 36 hours from epoch. A state vector taken from a track at
0 or 12 hours and turned into new elements must retrace the rest of it.

Line formats (whitespace separated):
  set <name>-<norad> <epoch days since 1950 Jan 0.0> <bstar> <ecc> <argp deg>
      <incl deg> <M deg> <n rev/day, Kozai> <node deg>
(the format of tests/data/rv2el-tracks.txt)
  st  <t min> <x> <y> <z> km <vx> <vy> <vz> km/s   (TEME)
"""
import math
import sys

from sgp4.api import WGS72, Satrec

SETS = [
    ('geo', 41866),
    ('geo-inclined', 36395),
    ('molniya', 13070),
    ('gps-like', 35752),
    ('retro-heo', 26463),
    ('iss', 25544),
    ('sunsync', 41617),
    ('leo-ecc', 19822),
]


def read_catalogue(path):
    lines = [l.rstrip('\n') for l in open(path)]
    out = {}
    for k in range(len(lines) - 1):
        if lines[k].startswith('1 ') and lines[k + 1].startswith('2 '):
            out[int(lines[k][2:7])] = (lines[k], lines[k + 1])
    return out


def main():
    cat = read_catalogue('tests/data/catalogue-2018.tle')
    deg = math.degrees
    for name, norad in SETS:
        l1, l2 = cat[norad]
        t = Satrec.twoline2rv(l1, l2, WGS72)
        epoch = t.jdsatepoch - 2433281.5 + t.jdsatepochF
        s = Satrec()
        s.sgp4init(WGS72, 'i', norad, epoch, t.bstar, 0.0, 0.0, t.ecco, t.argpo, t.inclo,
                   t.mo, t.no_kozai, t.nodeo)
        n = t.no_kozai * 1440.0 / (2.0 * math.pi)
        print('set %s-%d %.17g %.17g %.17g %.17g %.17g %.17g %.17g %.17g'
              % (name, norad, epoch, t.bstar, t.ecco, deg(t.argpo), deg(t.inclo), deg(t.mo),
                 n, deg(t.nodeo)))
        for k in range(37):
            err, r, v = s.sgp4_tsince(60.0 * k)
            if err != 0:
                sys.exit('%s: error %d at %d h' % (name, err, k))
            print('st %.1f ' % (60.0 * k) + ' '.join('%.17g' % x for x in r + v))


main()
