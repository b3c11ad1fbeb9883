#!/usr/bin/python3
"""Reference values for the photograph tests: plate solutions, the satellite
overlay and orbit determination, from Debian's python3-astropy (astropy.wcs
gnomonic projection), python3-skyfield and python3-sgp4.

Run from the repository root (once; the outputs are committed):
    /usr/bin/python3 tests/tools/gen_photo_refs.py
Reads the Bright Star Catalogue of marble-qt-data
(/usr/share/marble/data/stars/stars.dat: "star" + int32 version, then 32-byte
big-endian records: int32 HR, double R.A. rad J2000, double Dec. rad,
double V, int32 colour).
Writes tests/data/gui/photo-refs.txt:
  S hr ra dec v           catalogue stars (deg, J2000)
  P plate w h ra0 dec0 crpix1 crpix2 cd11 cd12 cd21 cd22
                          an astropy TAN plate: image w x h pixels, x to the
                          right, y downwards, 0-based pixels (crpix 1-based as
                          in FITS), cd in deg/px
  X plate hr x y          a star's exact pixel on the plate
  Q plate hr px py ra dec a star's rounded pixel and the sky position astropy
                          gives for that pixel (deg)
  V plate mjd lat lng h ra dec x y
                          the ISS on the plate: time (MJD UTC), observer
                          (deg, deg, m), skyfield's astrometric R.A./Dec.
                          (deg, ICRS) and astropy's exact pixel of it; the ISS
                          is in the Earth's shadow then
  O mjd1 dt lat lng h az1 el1 az2 el2 ra1 dec1 ra2 dec2
                          two observations of the ISS dt seconds apart
                          (az/el deg without refraction, R.A./Dec. deg ICRS)
  E r1 r2 a inc node      the ISS at the two times: geocentric distances,
                          osculating semi-major axis (km, at the first time),
                          inclination and node (deg) of the plane through both
                          positions, true equator and equinox of date
and tests/data/gui/match.tle: the ISS set of the references and the first
30 sets of tests/data/catalogue-2018.tle.
UT1 = UTC on both sides (a fixed delta T of TT - UTC in 2018).
"""
import math
import os
import struct

import numpy as np
from astropy import units as u_
from astropy.coordinates import get_sun
from astropy.time import Time
from astropy.wcs import WCS
from sgp4.api import Satrec
from skyfield import framelib
from skyfield.api import EarthSatellite, load, wgs84
from skyfield.positionlib import Geocentric

ROOT = os.path.dirname(os.path.dirname(os.path.dirname(os.path.abspath(__file__))))
OUT = os.path.join(ROOT, "tests", "data", "gui", "photo-refs.txt")
OUT_TLE = os.path.join(ROOT, "tests", "data", "gui", "match.tle")
CATALOGUE = os.path.join(ROOT, "tests", "data", "catalogue-2018.tle")
STARS = "/usr/share/marble/data/stars/stars.dat"

ISS = ("ISS (ZARYA)",
       "1 25544U 98067A   18020.89808844  .00002078  00000-0  38550-4 0  9992",
       "2 25544  51.6424  32.9776 0003646  28.7227  39.5332 15.54190080 95614")

# Orion's belt and the stars around it (HR numbers).
FIELD = [1788, 1852, 1931, 1903, 1948, 1834, 1861, 1868, 1952, 1787, 1765]
W, H = 1001, 701
SCALE = 20.0 / 3600.0  # deg/px

ts = load.timescale(builtin=True, delta_t=69.184)


def read_stars():
    data = open(STARS, "rb").read()
    assert data[:4] == b"star"
    stars = {}
    for off in range(8, len(data) - 31, 32):
        hr, ra, dec, v, _ = struct.unpack(">idddi", data[off:off + 32])
        stars[hr] = (math.degrees(ra), math.degrees(dec), v)
    return stars


def tan_wcs(ra0, dec0, crpix, cd):
    w = WCS(naxis=2)
    w.wcs.ctype = ["RA---TAN", "DEC--TAN"]
    w.wcs.crval = [ra0, dec0]
    w.wcs.crpix = list(crpix)
    w.wcs.cd = np.array(cd, dtype=float)
    return w


def similarity(rot_deg, mirror):
    """cd of a photograph at SCALE: north up, east left, y downwards, turned
    by rot_deg; mirror: seen in a mirror (east right)."""
    c, s = math.cos(math.radians(rot_deg)), math.sin(math.radians(rot_deg))
    base = np.array([[-SCALE, 0.0], [0.0, -SCALE]])
    if mirror:
        base[0, 0] = SCALE
    rot = np.array([[c, -s], [s, c]])
    return rot @ base


def pix(w, ra, dec):
    x, y = w.all_world2pix([[ra, dec]], 0)[0]
    return float(x), float(y)


def sky(w, x, y):
    ra, dec = w.all_pix2world([[x, y]], 0)[0]
    return float(ra) % 360.0, float(dec)


def plate_lines(out, name, w, stars, hrs):
    out.append("P %s %d %d %.12f %.12f %.9f %.9f %.15e %.15e %.15e %.15e" % (
        name, W, H, w.wcs.crval[0], w.wcs.crval[1], w.wcs.crpix[0], w.wcs.crpix[1],
        w.wcs.cd[0, 0], w.wcs.cd[0, 1], w.wcs.cd[1, 0], w.wcs.cd[1, 1]))
    for hr in hrs:
        ra, dec, _ = stars[hr]
        x, y = pix(w, ra, dec)
        if not (0 <= x < W and 0 <= y < H):
            continue  # outside this photograph
        out.append("X %s %d %.6f %.6f" % (name, hr, x, y))
        px, py = int(round(x)), int(round(y))
        sra, sdec = sky(w, px, py)
        out.append("Q %s %d %d %d %.10f %.10f" % (name, hr, px, py, sra, sdec))


def centred_plate(stars, rot, mirror):
    """A photograph whose optical axis is the field's centre."""
    return tan_wcs(82.85, -1.45, ((W + 1) / 2.0, (H + 1) / 2.0), similarity(rot, mirror))


def aligned_plate(stars, hr1, hr2, vertical):
    """A plate turned so that star hr2 stands in star hr1's pixel column
    (vertical) or row, star hr1 on a whole pixel."""
    w = centred_plate(stars, 0.0, False)
    x1, y1 = pix(w, *stars[hr1][:2])
    x2, y2 = pix(w, *stars[hr2][:2])
    ang = math.degrees(math.atan2(y2 - y1, x2 - x1))
    turn = (90.0 - ang) if vertical else -ang
    # Turning the pixel frame by +turn turns the cd matrix by -turn.
    w = tan_wcs(82.85, -1.45, w.wcs.crpix, similarity(-turn, False))
    x1, y1 = pix(w, *stars[hr1][:2])
    w.wcs.crpix = [w.wcs.crpix[0] + round(x1) - x1, w.wcs.crpix[1] + round(y1) - y1]
    x1, y1 = pix(w, *stars[hr1][:2])
    x2, y2 = pix(w, *stars[hr2][:2])
    assert (round(x1) == round(x2)) if vertical else (round(y1) == round(y2))
    return w


def photo_plate(stars, refs, rot):
    """The synthetic photograph of the window tests: tangent point at the
    first reference star, the three reference stars on whole pixels (a plate
    slightly off a pure rotation and scale), 20"/px."""
    hr1, hr2, hr3 = refs
    ra1, dec1, _ = stars[hr1]
    unit = tan_wcs(ra1, dec1, (1.0, 1.0), np.eye(2))  # pixel = intermediate deg
    sim = similarity(rot, False)
    p1 = np.array([430.0, 250.0])
    iw, pp = [], []
    for hr in (hr2, hr3):
        q = np.array(pix(unit, *stars[hr][:2]))
        iw.append(q)
        pp.append(np.round(np.linalg.solve(sim, q)))
    cd = np.column_stack(iw) @ np.linalg.inv(np.column_stack(pp))
    return tan_wcs(ra1, dec1, (p1[0] + 1.0, p1[1] + 1.0), cd)


def iss_on_plate(out, name, w):
    """A time and an observer from which the ISS stands in the photograph at
    pixel (700, 470): the first whole minute of 21 January 2018 at which the
    ISS is in the Earth's shadow (a cylinder, astropy's Sun) and within 40 deg
    of the point below that direction."""
    sat = EarthSatellite(ISS[1], ISS[2], ISS[0], ts)
    ra, dec = sky(w, 700.0, 470.0)
    u = np.array([math.cos(math.radians(dec)) * math.cos(math.radians(ra)),
                  math.cos(math.radians(dec)) * math.sin(math.radians(ra)),
                  math.sin(math.radians(dec))])
    for minute in range(24 * 60):
        t = ts.utc(2018, 1, 21, 0, minute, 0)
        p = sat.at(t).position.km
        if np.dot(p, u) / np.linalg.norm(p) < math.cos(math.radians(40.0)):
            continue
        sun = get_sun(Time(t.tt - 69.184 / 86400.0, format="jd", scale="utc"))
        sv = sun.cartesian.xyz.to(u_.km).value
        sv = sv / np.linalg.norm(sv)
        along = np.dot(p, sv)
        if along < 0 and np.linalg.norm(p - along * sv) < 6378.137 - 50.0:
            break
    # Back along the line of sight to the Earth's surface: a sphere first,
    # then onto the ellipsoid.
    b = np.dot(p, u)
    s = b - math.sqrt(b * b - (np.dot(p, p) - 6371.0 ** 2))
    for _ in range(6):
        o = Geocentric((p - s * u) / 149597870.700, t=t)
        gp = wgs84.geographic_position_of(o)
        up = np.array(wgs84.latlon(gp.latitude.degrees, gp.longitude.degrees).at(t).position.km)
        s += gp.elevation.km / np.dot(u, up / np.linalg.norm(up))
    o = Geocentric((p - s * u) / 149597870.700, t=t)
    gp = wgs84.geographic_position_of(o)
    topos = wgs84.latlon(gp.latitude.degrees, gp.longitude.degrees,
                         elevation_m=gp.elevation.m)
    topo = (sat - topos).at(t)
    sra, sdec, _ = topo.radec()
    alt, az, _ = topo.altaz()
    assert alt.degrees > 10.0
    x, y = pix(w, sra._degrees, sdec.degrees)
    mjd = t.tt - 69.184 / 86400.0 - 2400000.5
    out.append("V %s %.9f %.7f %.7f %.3f %.8f %.8f %.5f %.5f" % (
        name, mjd, gp.latitude.degrees, gp.longitude.degrees, gp.elevation.m,
        sra._degrees, sdec.degrees, x, y))


def observations(out):
    """Two observations of the ISS 60 s apart near the top of a high pass
    over Munich."""
    sat = EarthSatellite(ISS[1], ISS[2], ISS[0], ts)
    lat, lng, h = 48.1374, 11.5755, 520.0
    topos = wgs84.latlon(lat, lng, elevation_m=h)
    t0, t1 = ts.utc(2018, 1, 21), ts.utc(2018, 1, 23)
    tt, ev = sat.find_events(topos, t0, t1, altitude_degrees=30.0)
    best = None
    for k in range(len(ev)):
        if ev[k] == 1:
            el = (sat - topos).at(tt[k]).altaz()[0].degrees
            if best is None or el > best[1]:
                best = (tt[k], el)
    tc = best[0]
    # A whole second 40 s before culmination (the date dialog takes whole seconds).
    mjd1 = round((tc.tt - 69.184 / 86400.0 - 2400000.5) * 86400.0 - 40.0) / 86400.0
    dt = 60.0
    rows, geo = [], []
    for k in range(2):
        t = ts.tt_jd(mjd1 + 2400000.5 + 69.184 / 86400.0 + k * dt / 86400.0)
        topo = (sat - topos).at(t)
        alt, az, _ = topo.altaz()
        ra, dec, _ = topo.radec()
        assert alt.degrees > 25.0
        rows.append((az.degrees, alt.degrees, ra._degrees, dec.degrees))
        g = sat.at(t)
        geo.append((g.frame_xyz(framelib.true_equator_and_equinox_of_date).km,
                    g.frame_xyz_and_velocity(framelib.true_equator_and_equinox_of_date)[1].km_per_s))
    out.append("O %.9f %.1f %.4f %.4f %.1f %.7f %.7f %.7f %.7f %.8f %.8f %.8f %.8f" % (
        mjd1, dt, lat, lng, h, rows[0][0], rows[0][1], rows[1][0], rows[1][1],
        rows[0][2], rows[0][3], rows[1][2], rows[1][3]))
    r1, v1 = geo[0]
    r2 = geo[1][0]
    n = np.cross(r1, r2)
    n /= np.linalg.norm(n)
    inc = math.degrees(math.acos(n[2]))
    node = math.degrees(math.atan2(n[0], -n[1])) % 360.0
    mu = 398600.4418
    a = 1.0 / (2.0 / np.linalg.norm(r1) - np.dot(v1, v1) / mu)
    out.append("E %.4f %.4f %.4f %.5f %.5f" % (np.linalg.norm(r1), np.linalg.norm(r2), a, inc, node))


def match_tle():
    lines = open(CATALOGUE).read().splitlines()
    sets = [ISS]
    for k in range(0, len(lines) - 2, 3):
        if len(sets) > 30:
            break
        if lines[k + 1][2:7] == "25544":
            continue
        sets.append((lines[k], lines[k + 1], lines[k + 2]))
    with open(OUT_TLE, "w") as f:
        for s in sets:
            f.write("\n".join(s) + "\n")


def main():
    stars = read_stars()
    import astropy
    import skyfield
    out = ["# photograph references: astropy %s (astropy.wcs TAN), skyfield %s; stars of the "
           "Bright Star Catalogue (marble-qt-data stars.dat)" % (astropy.__version__, skyfield.__version__)]
    for hr in FIELD:
        ra, dec, v = stars[hr]
        out.append("S %d %.10f %.10f %.2f" % (hr, ra, dec, v))
    for name, rot, mirror in (("rot0", 0.0, False), ("rot37", 37.0, False),
                              ("rot180", 180.0, False), ("mirror", 0.0, True)):
        plate_lines(out, name, centred_plate(stars, rot, mirror), stars, FIELD)
    plate_lines(out, "column", aligned_plate(stars, 1852, 1903, True), stars, FIELD)
    plate_lines(out, "row", aligned_plate(stars, 1788, 1903, False), stars, FIELD)
    photo = photo_plate(stars, (1852, 1788, 1903), 8.0)
    plate_lines(out, "photo", photo, stars, FIELD)
    iss_on_plate(out, "photo", photo)
    observations(out)
    with open(OUT, "w") as f:
        f.write("\n".join(out) + "\n")
    match_tle()
    print("wrote", OUT, len(out), "lines, and", OUT_TLE)


if __name__ == "__main__":
    main()
