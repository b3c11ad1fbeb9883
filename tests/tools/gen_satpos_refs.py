#!/usr/bin/python3
"""Reference values for the satellite-position tests, from Debian's
python3-skyfield (satellite, observer geometry) and python3-astropy with its
builtin ephemeris (Sun and Moon).

Run from the repository root (once; the output is committed):
    /usr/bin/python3 tests/tools/gen_satpos_refs.py
Writes tests/data/satpos-skyfield.txt:
  C lines: slot elements as python-sgp4's twoline2rv reads them
           name epoch(MJD UTC) bstar ecc aper inc m0 (deg) mnmot (rev/day) ra (deg)
  O lines: observers: index lat lng (deg) height (m)
  R lines: one time for one satellite and observer:
           sat obs mjd(UTC) az el (deg) range (km) rate (km/s)
           sublat sublng (deg, geodetic) height (km) ra dec (deg, ICRS)
           smang (deg, Sun-Moon angle seen from the satellite)
           beta (deg, Sun above the orbit plane)
           sunel sunaz (deg, Sun at the observer, no refraction)
           sslat sslng (deg, sub-solar point)
           litmargin (deg, Sun above the satellite's limb for a sphere of
           6378.137 km: positive = sunlit)
UT1 - UTC is zero on both sides: skyfield gets a fixed delta T equal to
TT - UTC, so UT1 = UTC; the tests give the engine Ut1Utc = 0.
"""
import math
import os
import warnings

import numpy as np
from sgp4.api import Satrec
from skyfield.api import EarthSatellite, load, wgs84

from astropy import units as u
from astropy.coordinates import (AltAz, EarthLocation, ITRS, get_body, get_sun,
                                 solar_system_ephemeris)
from astropy.time import Time
from astropy.utils import iers

iers.conf.auto_download = False
warnings.filterwarnings("ignore")
solar_system_ephemeris.set("builtin")

ROOT = os.path.dirname(os.path.dirname(os.path.dirname(os.path.abspath(__file__))))
OUT = os.path.join(ROOT, "tests", "data", "satpos-skyfield.txt")

# A low orbit, a sun-synchronous orbit, a Molniya orbit and a geostationary one
# (real element sets of January 2018).
SETS = [
    ("ISS", "1 25544U 98067A   18020.89808844  .00002078  00000-0  38550-4 0  9992",
            "2 25544  51.6424  32.9776 0003646  28.7227  39.5332 15.54190080 95614"),
    ("JPSS-1", "1 43013U 17073A   18020.90595486 -.00000036  00000-0  37063-5 0  9990",
               "2 43013  98.7126 321.4710 0000893  65.9680 294.1589 14.19549727  9015"),
    ("MOLNIYA", "1 13070U 82015A   18019.33649993  .00000405  00000-0 -24669-3 0  9992",
                "2 13070  62.4528 108.1401 7349782 265.0722  44.8738  2.00563378262951"),
    ("FENGYUN", "1 41882U 16077A   18020.54120315 -.00000327  00000-0  00000-0 0  9999",
                "2 41882   0.0145  44.5627 0009553  80.5691 294.1905  1.00275283  4208"),
]
OBSERVERS = [(48.1374, 11.5755, 520.0), (-33.8688, 151.2093, 40.0)]
RE = 6378.137

# TT - UTC in 2018 (37 leap seconds): a fixed delta T of this value makes UT1 = UTC.
ts = load.timescale(builtin=True, delta_t=69.184)


def times_for(sat, obs, epoch_jd, low):
    """MJDs: for low orbits samples inside the first passes over the observer
    (short ranges), plus times spread over two days for every orbit."""
    t0 = ts.tt_jd(epoch_jd)
    mjds = [epoch_jd - 2400000.5 + 0.05 + 2.0 * k / 11.0 for k in range(12)]
    if low:
        topos = wgs84.latlon(*obs[:2], elevation_m=obs[2])
        tt, ev = sat.find_events(topos, t0, ts.tt_jd(epoch_jd + 3.0), altitude_degrees=5.0)
        npass = 0
        for k in range(len(ev) - 2):
            if ev[k] == 0 and ev[k + 2] == 2 and npass < 3:
                a, b = tt[k].tt, tt[k + 2].tt
                mjds += [a + (b - a) * f - 2400000.5 for f in (0.0, 0.2, 0.45, 0.55, 0.8, 1.0)]
                npass += 1
    return [round(m, 9) for m in mjds]


def main():
    out = ["# GetSatPos references: skyfield %s (SGP4 WGS-72, UT1 = UTC), astropy builtin Sun/Moon"
           % __import__("skyfield").__version__]
    sats = []
    for name, l1, l2 in SETS:
        s = Satrec.twoline2rv(l1, l2)
        epoch = s.jdsatepoch + s.jdsatepochF - 2400000.5
        out.append("C %s %.12f %.10e %.9f %.6f %.6f %.6f %.10f %.6f" % (
            name,
            epoch, s.bstar, s.ecco, math.degrees(s.argpo), math.degrees(s.inclo),
            math.degrees(s.mo), s.no_kozai * 1440.0 / (2.0 * math.pi), math.degrees(s.nodeo)))
        sats.append((EarthSatellite(l1, l2, name, ts), s.jdsatepoch + s.jdsatepochF,
                     s.no_kozai * 1440.0 / (2.0 * math.pi) > 6.0))
    for k, (la, lo, h) in enumerate(OBSERVERS):
        out.append("O %d %.6f %.6f %.3f" % (k, la, lo, h))

    for isat, (sat, ejd, low) in enumerate(sats):
        for iobs, obs in enumerate(OBSERVERS):
            topos = wgs84.latlon(obs[0], obs[1], elevation_m=obs[2])
            loc = EarthLocation.from_geodetic(obs[1] * u.deg, obs[0] * u.deg, obs[2] * u.m)
            for mjd in times_for(sat, obs, ejd, low):
                t = ts.utc(1858, 11, 17 + mjd)
                assert abs(t.dut1) < 1e-9
                topo = (sat - topos).at(t)
                alt, az, dist, _, _, rr = topo.frame_latlon_and_rates(topos)
                ra, dec, _ = topo.radec()
                geo = sat.at(t)
                gp = wgs84.geographic_position_of(geo)
                r = geo.position.km
                v = geo.velocity.km_per_s

                at = Time(mjd, format="mjd", scale="utc")
                sun = get_sun(at)
                moon = get_body("moon", at)
                sunv = sun.cartesian.xyz.to(u.km).value
                moonv = moon.cartesian.xyz.to(u.km).value
                a1, a2 = moonv - r, sunv - r
                smang = math.degrees(math.acos(np.dot(a1, a2) / np.linalg.norm(a1) / np.linalg.norm(a2)))
                h = np.cross(r, v)
                beta = math.degrees(math.asin(np.dot(h, sunv) / np.linalg.norm(h) / np.linalg.norm(sunv)))
                aa = sun.transform_to(AltAz(obstime=at, location=loc, pressure=0 * u.hPa))
                ss = sun.transform_to(ITRS(obstime=at)).earth_location.to_geodetic("WGS84")
                c = np.dot(-r, a2) / np.linalg.norm(r) / np.linalg.norm(a2)
                margin = math.degrees(math.acos(c)) - math.degrees(math.asin(RE / np.linalg.norm(r)))

                out.append("R %d %d %.9f %.7f %.7f %.6f %.8f %.7f %.7f %.6f %.7f %.7f %.5f %.5f %.5f %.5f %.5f %.5f %.4f" % (
                    isat, iobs, mjd, az.degrees, alt.degrees, dist.km, rr.km_per_s,
                    gp.latitude.degrees, gp.longitude.degrees, gp.elevation.km,
                    ra._degrees, dec.degrees, smang, beta,
                    aa.alt.deg, aa.az.deg, ss.lat.deg, ss.lon.deg, margin))
    with open(OUT, "w") as f:
        f.write("\n".join(out) + "\n")
    print("wrote", OUT, len(out), "lines")


if __name__ == "__main__":
    main()
