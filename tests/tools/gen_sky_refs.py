#!/usr/bin/python3
"""Reference values for the sky chart and the Sun/Moon close-up, from
Debian's python3-astropy (builtin ephemeris, no refraction), python3-skyfield
(the ISS by SGP4, WGS-72) and the Bright Star Catalogue of marble-qt-data.

Run from the repository root (once; the output is committed):
    /usr/bin/python3 tests/tools/gen_sky_refs.py
Writes tests/data/gui/sky-astropy.txt:
  T lines: k mjd(UTC) lat lng (deg) height (m): a time and observer
  S lines: k HR V ra dec (deg, J2000 catalogue place) az el (deg): a star
  B lines: k body az el (deg): body 0 Sun, 1 Moon, 2 Mercury .. 6 Saturn,
           topocentric
  M lines: k cosi pa qmoon qsun: cosine of the Moon's phase angle
           (Sun-Moon-Earth, geocentric); position angle of the Sun seen from
           the Moon in the observer's alt-az frame (deg, from the zenith side
           towards larger azimuth); parallactic angles (deg, the same sense)
           of the Moon and of the Sun, from the true pole of date
  X lines: mjd lat lng height sunaz sunel issaz issel (deg, m): the ISS of
           tests/data/satpos-skyfield.txt crossing the Sun for an observer
           on the line from the Sun through it (separation minimum at the
           first row; the rows after it 0.2 s apart on either side)
  F lines: mjd lat lng height az el (deg, m): JPSS-1 seen from the ISS: the
           ISS's geodetic place (the sky chart's observer when it shows the
           sky from the ISS) and JPSS-1's azimuth and elevation from there
UT1 = UTC on every side (astropy's delta_ut1_utc = 0, skyfield's delta T =
TT - UTC); the tests give the engine Ut1Utc = 0 and no IERS values.
"""
import math
import os
import struct
import warnings

import numpy as np
from scipy.optimize import minimize
from sgp4.api import Satrec
from skyfield.api import EarthSatellite, load, wgs84

from astropy import units as u
from astropy.coordinates import (AltAz, EarthLocation, GCRS, ITRS, SkyCoord, TETE,
                                 CartesianRepresentation, get_body, get_sun,
                                 solar_system_ephemeris)
from astropy.time import Time
from astropy.utils import iers

iers.conf.auto_download = False
warnings.filterwarnings("ignore")
solar_system_ephemeris.set("builtin")

ROOT = os.path.dirname(os.path.dirname(os.path.dirname(os.path.abspath(__file__))))
OUT = os.path.join(ROOT, "tests", "data", "gui", "sky-astropy.txt")
STARS = "/usr/share/marble/data/stars/stars.dat"

# Munich on a January evening (Orion in the south, the Plough in the north
# east, the Moon set), the same day at noon (a young Moon east of the Sun), a
# week later with a gibbous Moon, and Sydney at night.
TIMES = [
    (58138.875, 48.1374, 11.5755, 520.0),
    (58138.458333333, 48.1374, 11.5755, 520.0),
    (58145.833333333, 48.1374, 11.5755, 520.0),
    (58145.5, -33.8688, 151.2093, 40.0),
]
# Sirius, Vega, Arcturus, Capella, Rigel, Betelgeuse, Procyon, Aldebaran,
# Polaris, Dubhe, Alkaid, Canopus, Acrux.
HR = [2491, 7001, 5340, 1708, 1713, 2061, 2943, 1457, 424, 4301, 5191, 2326, 4730]
BODIES = ["sun", "moon", "mercury", "venus", "mars", "jupiter", "saturn"]

ISS = ("1 25544U 98067A   18020.89808844  .00002078  00000-0  38550-4 0  9992",
       "2 25544  51.6424  32.9776 0003646  28.7227  39.5332 15.54190080 95614")
JPSS = ("1 43013U 17073A   18020.90595486 -.00000036  00000-0  37063-5 0  9990",
        "2 43013  98.7126 321.4710 0000893  65.9680 294.1589 14.19549727  9015")
ts = load.timescale(builtin=True, delta_t=69.184)  # TT - UTC of 2018: UT1 = UTC


def atime(mjd):
    t = Time(mjd, format="mjd", scale="utc")
    t.delta_ut1_utc = 0.0
    return t


def altaz(t, loc):
    return AltAz(obstime=t, location=loc, pressure=0 * u.hPa)


def read_stars():
    with open(STARS, "rb") as f:
        data = f.read()
    out = {}
    for k in range(8, len(data) - 31, 32):
        hr, ra, dec, v, _ = struct.unpack_from(">idddi", data, k)
        out[hr] = (ra, dec, v)
    return out


def parallactic(t, loc, body_aa):
    """Angle at the body from the zenith side to the true pole of date,
    towards larger azimuth (deg)."""
    pole = SkyCoord(TETE(ra=0 * u.deg, dec=90 * u.deg, obstime=t, location=loc))
    pole_aa = pole.transform_to(altaz(t, loc))
    return body_aa.position_angle(pole_aa).wrap_at(180 * u.deg).deg


def bodies_and_phase(out, k, mjd, lat, lng, h):
    t = atime(mjd)
    loc = EarthLocation.from_geodetic(lng * u.deg, lat * u.deg, h * u.m)
    aa = {}
    for b, name in enumerate(BODIES):
        c = get_body(name, t, loc).transform_to(altaz(t, loc))
        aa[name] = c
        out.append("B %d %d %.6f %.6f" % (k, b, c.az.deg, c.alt.deg))
    moon = get_body("moon", t).cartesian.xyz.to(u.km).value
    sun = get_sun(t).cartesian.xyz.to(u.km).value
    a, b = sun - moon, -moon
    cosi = np.dot(a, b) / np.linalg.norm(a) / np.linalg.norm(b)
    pa = aa["moon"].position_angle(aa["sun"]).wrap_at(180 * u.deg).deg
    out.append("M %d %.6f %.4f %.4f %.4f" % (k, cosi, pa, parallactic(t, loc, aa["moon"]),
                                            parallactic(t, loc, aa["sun"])))


def iss_sun(mjd, lat, lng, h, sat):
    """(sunaz, sunel, issaz, issel) in degrees for the observer."""
    t = atime(mjd)
    loc = EarthLocation.from_geodetic(lng * u.deg, lat * u.deg, h * u.m)
    s = get_sun(t).transform_to(altaz(t, loc))
    topos = wgs84.latlon(lat, lng, elevation_m=h)
    alt, az, _ = (sat - topos).at(ts.utc(1858, 11, 17 + mjd)).altaz()
    return s.az.deg, s.alt.deg, az.degrees, alt.degrees


def separation(v):
    saz, sel, iaz, iel = v
    a = np.radians([saz, sel, iaz, iel])
    c = math.sin(a[1]) * math.sin(a[3]) + math.cos(a[1]) * math.cos(a[3]) * math.cos(a[0] - a[2])
    return math.degrees(math.acos(min(1.0, c)))


def ground_point(mjd, sat):
    """Where the line from the Sun through the ISS meets the ground (sphere of
    6371 km; refined later), or None; and the Sun's elevation there."""
    t = atime(mjd)
    r = sat.at(ts.utc(1858, 11, 17 + mjd)).position.km
    s = get_sun(t).cartesian.xyz.to(u.km).value
    s = s / np.linalg.norm(s)
    if np.dot(r, s) < 0 and np.linalg.norm(np.cross(r, s)) < 6378.0:
        return None  # in the Earth's shadow
    # |r - l s| = R, smallest l > 0
    bq = np.dot(r, s)
    disc = bq * bq - (np.dot(r, r) - 6371.0 ** 2)
    if disc < 0:
        return None
    lam = bq - math.sqrt(disc)
    if lam <= 0:
        return None
    p = r - lam * s
    g = SkyCoord(GCRS(CartesianRepresentation(p * u.km), obstime=t)).transform_to(ITRS(obstime=t))
    el = g.earth_location.to_geodetic("WGS84")
    sunel = 90.0 - math.degrees(math.acos(np.dot(p / np.linalg.norm(p), s)))
    return el.lat.deg, el.lon.deg, sunel


def transit(out):
    sat = EarthSatellite(ISS[0], ISS[1], "ISS", ts)
    s = Satrec.twoline2rv(*ISS)
    epoch = s.jdsatepoch + s.jdsatepochF - 2400000.5
    for k in range(0, 4 * 1440):
        mjd = epoch + 0.1 + k * 15.0 / 86400.0
        g = ground_point(mjd, sat)
        if g is None or g[2] < 30.0:
            continue
        lat0, lng0 = g[0], g[1]
        # The observer on the ground where the ISS stands on the Sun's centre.
        f = lambda x: separation(iss_sun(mjd, x[0], x[1], 0.0, sat))
        res = minimize(f, [lat0, lng0], method="Nelder-Mead",
                       options={"xatol": 1e-7, "fatol": 1e-8, "maxiter": 400})
        lat, lng = res.x
        if f(res.x) > 1e-3:
            continue
        for dt in (0.0, -0.6, -0.4, -0.2, 0.2, 0.4, 0.6):
            m = mjd + dt / 86400.0
            out.append("X %.10f %.7f %.7f %.1f %.6f %.6f %.6f %.6f" %
                       ((m, lat, lng, 0.0) + iss_sun(m, lat, lng, 0.0, sat)))
        return
    raise SystemExit("no transit found")


def from_iss(out):
    iss = EarthSatellite(ISS[0], ISS[1], "ISS", ts)
    jpss = EarthSatellite(JPSS[0], JPSS[1], "JPSS-1", ts)
    s = Satrec.twoline2rv(*ISS)
    epoch = s.jdsatepoch + s.jdsatepochF - 2400000.5

    def seen(mjd):
        t = ts.utc(1858, 11, 17 + mjd)
        gp = wgs84.geographic_position_of(iss.at(t))
        topos = wgs84.latlon(gp.latitude.degrees, gp.longitude.degrees,
                             elevation_m=gp.elevation.m)
        alt, az, _ = (jpss - topos).at(t).altaz()
        return (mjd, gp.latitude.degrees, gp.longitude.degrees, gp.elevation.m,
                az.degrees, alt.degrees)

    # Each time JPSS-1 rises above -15 deg for the ISS: its first minute and
    # the minute of its highest elevation.
    group = []
    n = 0
    for k in range(0, 2 * 1440):
        r = seen(epoch + 0.05 + k / 1440.0)
        if r[5] > -15.0:
            group.append(r)
            continue
        if group:
            top = max(group, key=lambda g: g[5])
            for g in (group[0], top) if top is not group[0] else (top,):
                out.append("F %.9f %.7f %.7f %.1f %.6f %.6f" % g)
            n += 1
            group = []
            if n == 4:
                return


def main():
    import astropy
    import skyfield
    out = ["# Sky chart references: astropy %s (builtin ephemeris, no refraction), "
           "skyfield %s (SGP4 WGS-72); UT1 = UTC" % (astropy.__version__, skyfield.__version__)]
    stars = read_stars()
    for k, (mjd, lat, lng, h) in enumerate(TIMES):
        out.append("T %d %.9f %.6f %.6f %.1f" % (k, mjd, lat, lng, h))
        t = atime(mjd)
        loc = EarthLocation.from_geodetic(lng * u.deg, lat * u.deg, h * u.m)
        for hr in HR:
            ra, dec, v = stars[hr]
            c = SkyCoord(ra=ra * u.rad, dec=dec * u.rad, frame="icrs").transform_to(altaz(t, loc))
            out.append("S %d %d %.2f %.7f %.7f %.6f %.6f" % (
                k, hr, v, math.degrees(ra), math.degrees(dec), c.az.deg, c.alt.deg))
        bodies_and_phase(out, k, mjd, lat, lng, h)
    transit(out)
    from_iss(out)
    os.makedirs(os.path.dirname(OUT), exist_ok=True)
    with open(OUT, "w") as f:
        f.write("\n".join(out) + "\n")
    print("wrote", OUT, len(out), "lines")


if __name__ == "__main__":
    main()
