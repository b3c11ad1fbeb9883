// Calendar and time scales, reference frames and two-body orbits.
#include "astro/astrolib.h"

#include <cmath>
#include <cstdint>

#include "astro/constants.h"

namespace {
const double arcs = 4.8481368111e-6;            // arcseconds to radians
}  // namespace

// ===========================================================================
// Calendar and time scales
// ===========================================================================

double frac(double x) { return x - std::trunc(x); }

double ddd(int d, int m, double s) {
  double v = std::fabs(double(d)) + std::fabs(double(m)) / 60.0 + std::fabs(s) / 3600.0;
  if (d < 0 || m < 0 || (s < 0.0)) v = -v;
  return v;
}

void dms(double x, int& d, int& m, double& s) {
  double ax = std::fabs(x);
  d = int(ax);
  double rm = (ax - d) * 60.0;
  m = int(rm);
  s = (rm - m) * 60.0;
  if (x < 0.0) {
    if (d != 0) d = -d;
    else if (m != 0) m = -m;
    else s = -s;
  }
}

double mjd(int day, int month, int year, double hour) {
  long long a = 10000LL * year + 100LL * month + day;
  if (month <= 2) { year -= 1; month += 12; }
  long long b;
  if (a <= 15821004) {  // on or before 1582 October 4: Julian calendar
    if (year >= -4716) b = (static_cast<long long>(year) + 4716) / 4 - 1181;
    else b = -1182 - (-(static_cast<long long>(year) + 4717)) / 4;
  } else {
    b = year / 400 - year / 100 + year / 4;
  }
  double m1 = 365.0 * year - 679004.0 + double(b);
  return m1 + std::trunc(30.6001 * (month + 1)) + day + hour / 24.0;
}

double julcent(double mjd) { return (mjd - 51544.5) / 36525.0; }

void caldat(double mjd, int& day, int& month, int& year, double& hour) {
  // A value that is no date (NaN, infinite, or far beyond any calendar) is
  // taken as the nearer end of a range the integer arithmetic below can count
  // (its conversions and negations would otherwise be undefined).
  constexpr double kMjdLimit = 1e11;
  if (!(mjd > -kMjdLimit)) mjd = -kMjdLimit;
  if (mjd > kMjdLimit) mjd = kMjdLimit;
  if (mjd >= -2400001.0) {
    int64_t a = static_cast<int64_t>(mjd + 2400001.0);
    int64_t c;
    if (a > 2299160) {
      int64_t g = static_cast<int64_t>((a - 1867216.25) / 36524.25);
      c = a + g - g / 4 + 1525;
    } else {
      c = a + 1524;
    }
    int64_t d = static_cast<int64_t>((c - 122.1) / 365.25);
    int64_t e = c - 365 * d - d / 4;
    int64_t f = static_cast<int64_t>(e / 30.6001);
    day = int(e - static_cast<int64_t>(30.6001 * f));
    month = int(f - 1 - 12 * (f / 14));
    year = int(d - 4715 - (month + 7) / 10);
  } else {
    // Before the start of the Julian Day count: count proleptic Julian years
    // backwards from -4712 January 1.
    int64_t a = static_cast<int64_t>(mjd + 2400001.0);
    if (mjd == std::floor(mjd)) a += 1;
    int64_t k = static_cast<int64_t>((-a - 0.1) / 365.25) + 1;
    year = int(-4712 - k);
    int64_t n = a + 365 * k + k / 4;
    int64_t L = (k % 4 == 0) ? 61 : 60;
    if (n == 0) {
      year -= 1; month = 12; day = 31;
    } else if (n < L) {
      if (n <= 31) { month = 1; day = int(n); }
      else { month = 2; day = int(n - 31); }
    } else if (n <= 499) {
      int64_t m = n - L + 123;
      int64_t f = static_cast<int64_t>(m / 30.6001);
      month = int(f - 1);
      day = int(m - static_cast<int64_t>(f * 30.6001));
    }
  }
  hour = (mjd - std::floor(mjd)) * 24.0;
}

double DefTdUt(int year) {
  const double y = year;
  auto poly = [](double t) {
    return (((-339.84 * t - 516.12) * t - 160.22) * t + 92.23) * t + 71.28;
  };
  double v;
  if (year <= 947) {
    double t = (y - 1800.0) / 100.0;
    v = (44.3 * t + 320.0) * t + 1360.0;
  } else if (year <= 1649) {
    double t = (y - 1800.0) / 100.0;
    v = 25.5 * t * t;
  } else if (year <= 1864) {
    double t = (y - 1800.0) / 100.0;
    v = 13.3066 * (t - 0.19) * (t - 0.19) + 5.156;
  } else if (year <= 1884) {
    v = 6.0 - 0.6 * (y - 1865.0);
  } else if (year <= 1899) {
    v = -6.0 - 0.2 * (y - 1885.0);
  } else if (year <= 1999) {
    static const double table[9] = {55, 55, 56, 56, 57, 58, 58, 59, 60};
    double t = (y - 2000.0) / 100.0;
    if (year <= 1985) v = poly(t);
    else if (year <= 1994) v = table[year - 1986];
    else v = poly(t) - 6.28;
  } else {
    int yp;
    if (year <= 2006) yp = year;
    else if (year == 2007) yp = 2006;
    else if (year - 2 <= 2007) yp = year - 2;
    else if (year - 3 <= 2007) yp = year - 3;
    else if (year - 4 <= 2008) yp = year - 4;
    else yp = year - 5;
    int d = yp - 6;
    if (d <= 1998) v = 70.3421907216 - 6.28;
    else if (d <= 2013) v = poly((yp - 2006) / 100.0) - 6.28;
    else {
      double t = (yp - 2019) / 100.0;
      v = (27.5 * t + 75.0) * t + 73.0;
    }
  }
  double r = (v >= 0.0) ? std::floor(v + 0.5) : -std::floor(0.5 - v);
  return r + 0.184;
}

double lsidtim(double mjd, double lon_deg, double eqeq_s) {
  int32_t mjd0 = static_cast<int32_t>(mjd);
  double T0 = (mjd0 - 51544.5) / 36525.0;
  double ut = (mjd - mjd0) * 24.0;
  double gmst = 6.697374558 + 1.0027379093 * ut +
                (8640184.812866 + (0.093104 - 6.2e-6 * T0) * T0) * T0 / 3600.0;
  return 24.0 * frac((gmst + lon_deg / 15.0) / 24.0) + eqeq_s / 3600.0;
}

// ===========================================================================
// Reference frames
// ===========================================================================

double eps(double T) {
  return (23.43929111 - (46.815 + (0.00059 - 0.001813 * T) * T) * T / 3600.0) * 0.0174532925199;
}

Vec3 eclequ(double T, const Vec3& v) { return mxvct(xrot(-eps(T)), v); }

Vec3 equecl(double T, const Vec3& v) { return mxvct(xrot(eps(T)), v); }

Mat3 pmatequ(double T1, double T2) {
  const double T = T1, t = T2 - T1;
  double zeta = (2306.2181 + (1.39656 - 0.000139 * T) * T +
                 (0.30188 - 0.000345 * T + 0.017998 * t) * t) * t;
  double z = zeta + (0.7928 + 0.000411 * T + 0.000205 * t) * t * t;
  double theta = (2004.3109 - (0.8533 + 0.000217 * T) * T -
                  (0.42665 + 0.000217 * T + 0.041833 * t) * t) * t;
  zeta *= arcs; z *= arcs; theta *= arcs;
  return zrot(-z) * yrot(theta) * zrot(-zeta);
}

Mat3 pmatecl(double T1, double T2) {
  const double T = T1, t = T2 - T1;
  double Pi = (174.876383889 + ((3289.4789 + 0.60622 * T) * T +
                                (-869.8089 - 0.50491 * T + 0.03536 * t) * t) / 3600.0) *
              0.0174532925199;
  double pii = (47.0029 - (0.06603 - 0.000598 * T) * T +
                (0.000598 * T - 0.03302 + 6e-5 * t) * t) * t * arcs;
  double p = (5029.0966 + (2.22226 - 4.2e-5 * T) * T +
              (1.11113 - 4.2e-5 * T - 6e-6 * t) * t) * t * arcs;
  return zrot(-(Pi + p)) * xrot(pii) * zrot(Pi);
}

namespace {
// IAU 1980 nutation, the 50 largest terms: multipliers of (l, l', F, D, Omega)
// and coefficients in 0.0001 arcsec; the first 15 carry rates per century.
const int nutArg15[15][5] = {
    {0, 0, 0, 0, 1},  {0, 0, 0, 0, 2},  {0, 0, 2, -2, 2}, {0, 1, 0, 0, 0},
    {0, 1, 2, -2, 2}, {0, -1, 2, -2, 2}, {0, 0, 2, -2, 1}, {0, 2, 0, 0, 0},
    {0, 2, 2, -2, 2}, {0, 0, 2, 0, 2},  {1, 0, 0, 0, 0},  {0, 0, 2, 0, 1},
    {1, 0, 2, 0, 2},  {1, 0, 0, 0, 1},  {-1, 0, 0, 0, 1}};
const double nutCoef15[15][4] = {
    {-171996, -174.2, 92025, 8.9}, {2062, 0.2, -895, 0.5},  {-13187, -1.6, 5736, -3.1},
    {1426, -3.4, 54, -0.1},        {-517, 1.2, 224, -0.6},  {217, -0.5, -95, 0.3},
    {129, 0.1, -70, 0},            {17, -0.1, 0, 0},        {-16, 0.1, 7, 0},
    {-2274, -0.2, 977, -0.5},      {712, 0.1, -7, 0},       {-386, -0.4, 200, 0},
    {-301, 0, 129, -0.1},          {63, 0.1, -33, 0},       {-58, -0.1, 32, 0}};
const int nutArg35[35][5] = {
    {-2, 0, 2, 0, 1}, {2, 0, -2, 0, 0}, {-2, 0, 2, 0, 2}, {1, -1, 0, -1, 0},
    {0, -2, 2, -2, 1}, {2, 0, -2, 0, 1}, {2, 0, 0, -2, 0}, {0, 0, 2, -2, 0},
    {0, 1, 0, 0, 1},  {0, -1, 0, 0, 1}, {-2, 0, 0, 2, 1}, {0, -1, 2, -2, 1},
    {2, 0, 0, -2, 1}, {0, 1, 2, -2, 1}, {1, 0, 0, -1, 0}, {2, 1, 0, -2, 0},
    {0, 0, -2, 2, 1}, {0, 1, -2, 2, 0}, {0, 1, 0, 0, 2},  {-1, 0, 0, 1, 1},
    {0, 1, 2, -2, 0}, {1, 0, 0, -2, 0}, {-1, 0, 2, 0, 2}, {0, 0, 0, 2, 0},
    {-1, 0, 2, 2, 2}, {1, 0, 2, 0, 1},  {0, 0, 2, 2, 2},  {2, 0, 0, 0, 0},
    {1, 0, 2, -2, 2}, {2, 0, 2, 0, 2},  {0, 0, 2, 0, 0},  {-1, 0, 2, 0, 1},
    {-1, 0, 0, 2, 1}, {1, 0, 0, -2, 1}, {-1, 0, 2, 2, 1}};
const double nutCoef35[35][2] = {
    {46, -24}, {11, 0},   {-3, 1},   {-3, 0},   {-2, 1},   {1, 0},    {48, 1},
    {-22, 0},  {-15, 9},  {-12, 6},  {-6, 3},   {-5, 3},   {4, -2},   {4, -2},
    {-4, 0},   {1, 0},    {1, 0},    {-1, 0},   {1, 0},    {1, 0},    {-1, 0},
    {-158, -1}, {123, -53}, {63, -2}, {-59, 26}, {-51, 27}, {-38, 16}, {29, -1},
    {29, -12}, {-31, 13}, {26, -1},  {21, -10}, {16, -8},  {-13, 7},  {-10, 5}};

// Nutation in longitude and obliquity (rad): the 50-term IAU 1980 series.
void nutation50(double T, double& dpsi, double& deps) {
  const double fa[5] = {
      std::fmod(2.355548393544 + (8328.691422883903 + (0.000151795164 + 3.10281e-7 * T) * T) * T, kTwoPi),
      std::fmod(6.240035939326 + (628.301956024185 + (-2.797375e-6 - 5.8178e-8 * T) * T) * T, kTwoPi),
      std::fmod(1.627901933972 + (8433.466158318464 + (-6.427175e-5 + 5.333e-8 * T) * T) * T, kTwoPi),
      std::fmod(5.19846951358 + (7771.37714617065 + (-3.3408511e-5 + 9.2115e-8 * T) * T) * T, kTwoPi),
      std::fmod(2.182438624361 + (-33.757045933754 + (3.614286e-5 + 3.8785e-8 * T) * T) * T, kTwoPi)};
  double sp = 0.0, se = 0.0;
  for (int k = 0; k < 15; k++) {
    const int* m = nutArg15[k];
    double arg = m[0] * fa[0] + m[1] * fa[1] + m[2] * fa[2] + m[3] * fa[3] + m[4] * fa[4];
    const double* c = nutCoef15[k];
    sp += (c[0] + c[1] * T) * std::sin(arg);
    se += (c[2] + c[3] * T) * std::cos(arg);
  }
  for (int k = 0; k < 35; k++) {
    const int* m = nutArg35[k];
    double arg = m[0] * fa[0] + m[1] * fa[1] + m[2] * fa[2] + m[3] * fa[3] + m[4] * fa[4];
    sp += nutCoef35[k][0] * std::sin(arg);
    se += nutCoef35[k][1] * std::cos(arg);
  }
  dpsi = sp * 0.0001 * arcs;
  deps = se * 0.0001 * arcs;
}

// The short nutation series (about 0.3 arcsec).
void nutationShort(double T, double& dpsi, double& deps) {
  double ls = kTwoPi * frac(0.993133 + 99.997306 * T);
  double D = kTwoPi * frac(0.827362 + 1236.853087 * T);
  double F = kTwoPi * frac(0.259089 + 1342.227826 * T);
  double N = kTwoPi * frac(0.347346 - 5.372447 * T);
  dpsi = (-17.2 * std::sin(N) - 1.319 * std::sin(2 * (F - D + N)) - 0.227 * std::sin(2 * (F + N)) +
          0.206 * std::sin(2 * N) + 0.143 * std::sin(ls)) * arcs;
  deps = (9.203 * std::cos(N) + 0.574 * std::cos(2 * (F - D + N)) + 0.098 * std::cos(2 * (F + N)) -
          0.09 * std::cos(2 * N)) * arcs;
}
}  // namespace

NutAngles nutangles(double T, bool full) {
  NutAngles a;
  double deps;
  if (full) nutation50(T, a.dpsi, deps);
  else nutationShort(T, a.dpsi, deps);
  a.eps0 = eps(T);
  a.ept = a.eps0 + deps;
  a.eqeq = std::cos(a.ept) * a.dpsi * kTimeSecPerRad;
  return a;
}

Mat3 nutmat(const NutAngles& a) {
  Mat3 m = xrot(a.eps0);
  m *= zrot(-a.dpsi);
  return xrot(-a.ept) * m;
}

Mat3 nutmat(double T, double& eqeq, bool full) {
  const NutAngles a = nutangles(T, full);
  eqeq = a.eqeq;
  return nutmat(a);
}

// Nutation moves the equator, not the ecliptic: true ecliptic coordinates
// differ from mean ones only by dpsi in longitude.
Mat3 nutecl(double T, double& eqeq) {
  double dpsi, deps;
  nutationShort(T, dpsi, deps);
  eqeq = std::cos(eps(T) + deps) * dpsi * kTimeSecPerRad;
  return zrot(-dpsi);
}

Mat3 PoleMx(double xp, double yp) {
  double x = xp * 4.84813681109536e-6, y = yp * 4.84813681109536e-6;
  Mat3 m;
  m.assign(1, 0, x, 0, 1, -y, -x, y, 1);
  return m;
}

Vec3 aberrat(double T, const Vec3& v) {
  double L = kTwoPi * frac(0.27908 + 100.00214 * T);
  double r = abs(v);
  double cl = std::cos(L);
  return Vec3(v.x - 9.934e-5 * r * std::sin(L), v.y + 9.125e-5 * r * cl, v.z + 3.927e-5 * r * cl);
}

namespace {
// Earth-fixed observer on the WGS-84 ellipsoid: rho (distance from the axis)
// and z, in Earth radii.
void geodetic(double lat, double height, double& rho, double& z) {
  const double e2 = kE2Wgs84;
  double h = height / kReWgs84M;
  double sl = std::sin(lat);
  double c = 1.0 / std::sqrt(1.0 - e2 * sl * sl);
  z = ((1.0 - e2) * c + h) * sl;
  rho = (c + h) * std::cos(lat);
}
}  // namespace

Vec3 GeoPos(double mjd, double eqeq, double lat, double lon, double height) {
  double rho, z;
  geodetic(lat, height, rho, z);
  double theta = lsidtim(mjd, lon * 180.0 / kPi, eqeq) * kPi / 12.0;
  return Vec3(rho * std::cos(theta), rho * std::sin(theta), z);
}

Vec3 GeoPos(double mjd, double eqeq, double lat, double lon, double height, double xp, double yp) {
  double rho, z;
  geodetic(lat, height, rho, z);
  Vec3 ef(rho * std::cos(lon), rho * std::sin(lon), z);
  if (xp != 0.0 || yp != 0.0) ef = mxvct(mxtrn(PoleMx(xp, yp)), ef);
  double thetaG = lsidtim(mjd, 0.0, eqeq) * kPi / 12.0;
  return mxvct(zrot(-thetaG), ef);
}

HorSite horsite(double lat, double lon, double height) {
  HorSite s;
  geodetic(lat, height, s.rho, s.z);
  s.londeg = lon * 180.0 / kPi;
  s.yr = yrot(kPi / 2 - lat);
  return s;
}

HorFrame horframe(const HorSite& s, double mjd, double eqeq) {
  HorFrame f;
  const double theta = lsidtim(mjd, s.londeg, eqeq) * kPi / 12.0;
  const double c = std::cos(theta), sn = std::sin(theta);
  f.geo = Vec3(s.rho * c, s.rho * sn, s.z);
  f.zr.assign(c, sn, 0, -sn, c, 0, 0, 0, 1);  // zrot(theta)
  f.yr = s.yr;
  return f;
}

Vec3 AppHor(const HorFrame& f, int topo, Vec3 v) {
  Vec3 w = v;
  if (topo != 0) w = v - f.geo;
  return mxvct(f.yr, mxvct(f.zr, w));
}

double AppHorEl(const Vec3& h) { return atan20(h.z, std::sqrt(h.x * h.x + h.y * h.y)); }

double AppHorAz(const Vec3& h) {
  double lon = atan20(h.y, h.x);
  if (lon < 0.0) lon += 6.283185307179586;
  return kPi - lon;
}

HorFrame horframe(double mjd, double eqeq, double lat, double lon, double height) {
  return horframe(horsite(lat, lon, height), mjd, eqeq);
}

void AppPos(const HorFrame& f, int topo, Vec3 v, double& az, double& el, double& dist) {
  const Vec3 h = AppHor(f, topo, v);
  dist = abs(h);
  el = AppHorEl(h);
  az = AppHorAz(h);
}

Vec3 EquHor(double mjd, double eqeq, double lat, double lon, Vec3 v) {
  double theta = lsidtim(mjd, lon * 180.0 / kPi, eqeq) * kPi / 12.0;
  Vec3 w = mxvct(zrot(theta), v);
  return mxvct(yrot(kPi / 2 - lat), w);
}

Vec3 HorEqu(double mjd, double eqeq, double lat, double lon, Vec3 v) {
  double theta = lsidtim(mjd, lon * 180.0 / kPi, eqeq) * kPi / 12.0;
  Vec3 w = mxvct(yrot(lat - kPi / 2), v);
  return mxvct(zrot(-theta), w);
}

void AppPos(double mjd, double eqeq, double lat, double lon, double height, int topo, Vec3 v,
            double& az, double& el, double& dist) {
  AppPos(horframe(mjd, eqeq, lat, lon, height), topo, v, az, el, dist);
}

void AppRADec(double mjd, double eqeq, double lat, double lon, double az, double el, double& ra,
              double& dec) {
  Vec3 u = polcar(Vec3(1.0, kPi - az, el));
  Vec3 p = carpol(HorEqu(mjd, eqeq, lat, lon, u));
  ra = p.y;
  dec = p.z;
}

double Refract(double h, double pressure, double temperature) {
  double hd = h * 57.29577951308232;
  // The formula holds down to about one degree below the horizon; further
  // down its denominator runs into zero at -4.4 degrees and the tangent into
  // its poles, so deeper altitudes get the value at -1 degree.
  if (hd < -1.0) hd = -1.0;
  return pressure * 0.28 / (temperature + 273.0) * 0.0167 /
         std::tan((hd + 7.31 / (hd + 4.4)) / 57.29577951308232) / 57.29577951308232;
}

// ===========================================================================
// Two-body orbits
// ===========================================================================

double eccanom(double M, double e) {
  double m = (M / kTwoPi - std::trunc(M / kTwoPi)) * kTwoPi;
  if (m < 0.0) m += kTwoPi;
  double E = (e < 0.8) ? m : kPi;
  double f = E - e * std::sin(E) - m;
  for (int i = 0; std::fabs(f) > 1e-11 && i < 15; i++) {
    E -= f / (1.0 - e * std::cos(E));
    f = E - e * std::sin(E) - m;
  }
  return E;
}

double hypanom(double Mh, double e) {
  double H = std::log(2.0 * std::fabs(Mh) / e + 1.8);
  if (Mh < 0.0) H = -H;
  double f = e * std::sinh(H) - H - Mh;
  for (int i = 0; std::fabs(f) > 1e-11 * (1.0 + std::fabs(H + Mh)) && i < 15; i++) {
    H -= f / (e * std::cosh(H) - 1.0);
    f = e * std::sinh(H) - H - Mh;
  }
  return H;
}

void ellip(double gm, double t0, double t, double a, double e, double M0, Vec3& r, Vec3& v) {
  double aa = (std::fabs(a) < 1e-60) ? 1e-60 : a;
  double k = (gm / aa < 0.0) ? 0.0 : std::sqrt(gm / aa);
  double M = k * (t - t0) / aa + M0;
  double E = eccanom(M, e);
  double cE = std::cos(E), sE = std::sin(E);
  double f = std::sqrt(1.0 - e * e);
  double n = 1.0 - e * cE;
  r.assign(aa * (cE - e), aa * f * sE, 0.0);
  v.assign(-k * sE / n, k * f * cE / n, 0.0);
}

void hyperb(double gm, double t0, double t, double a, double e, Vec3& r, Vec3& v) {
  double aa = std::fabs(a) < 1e-60 ? 1e-60 : std::fabs(a);
  double k = (gm / aa < 0.0) ? 0.0 : std::sqrt(gm / aa);
  double H = hypanom(k * (t - t0) / aa, e);
  double ch = std::cosh(H), sh = std::sinh(H);
  double g = std::sqrt(e * e - 1.0);
  double n = e * ch - 1.0;
  r.assign(aa * (e - ch), aa * g * sh, 0.0);
  v.assign(-k * sh / n, k * g * ch / n, 0.0);
}

void stumpff(double E2, double& c1, double& c2, double& c3) {
  c1 = c2 = c3 = 0.0;
  double add = 1.0;
  int n = 0;
  do {
    c1 += add;
    add /= (2.0 * n + 2.0);
    c2 += add;
    add /= (2.0 * n + 3.0);
    c3 += add;
    add *= -E2;
    n++;
  } while (std::fabs(add) > 1e-12);
}

void parab(double gm, double t0, double t, double q, double e, Vec3& r, Vec3& v) {
  double ea = std::fabs(e);
  double qa = std::fabs(q) < 1e-40 ? 1e-40 : std::fabs(q);
  double fac = 0.5 * ea;
  double kk = gm / ((1.0 + ea) * qa);
  double k = kk < 0.0 ? 0.0 : std::sqrt(kk);
  double nn = gm / (qa * qa * qa);
  double tau = nn < 0.0 ? 0.0 : 1.5 * std::sqrt(nn) * (t - t0);
  double E2 = 0.0, U = 0.0, U2 = 0.0, c1 = 1.0, c2 = 0.5, c3 = 1.0 / 6.0;
  for (int i = 0; i < 16; i++) {
    double B;
    if (fac < 0.0) {
      B = 0.41421356237309515;
    } else {
      double A = std::sqrt(fac) * tau;
      B = A + std::sqrt(A * A + 1.0);
    }
    if (B > 0.0) B = std::exp(std::log(B) / 3.0);
    if (B != 0.0) { U = B - 1.0 / B; U2 = U * U; }
    double E2n = (fac == 0.0) ? 1.0 : (1.0 - ea) * U2 / fac;
    stumpff(E2n, c1, c2, c3);
    fac = 3.0 * ea * c3;
    if (std::fabs(E2n - E2) < 1e-9) break;
    E2 = E2n;
  }
  if (fac == 0.0) {
    r.assign(0, 0, 0);
    v.assign(0, 0, 0);
    return;
  }
  double w = U2 * c2;
  double x = qa * (1.0 - w / fac);
  double R = qa * (1.0 + ea * w / fac);
  double yy = (1.0 + ea) / fac;
  double y = yy < 0.0 ? 0.0 : qa * std::sqrt(yy) * U * c1;
  r.assign(x, y, 0.0);
  v.assign(-k * y / R, k * (x / R + ea), 0.0);
}

void kepler(double gm, double t0, double t, double M0, double a, double e, double node,
            double argp, double incl, Vec3& r, Vec3& v) {
  if (e < 1.0 && M0 >= 0.0) ellip(gm, t0, t, a, e, M0 * kDeg, r, v);
  else if (e > 1.0 && M0 >= 0.0) hyperb(gm, t0, t, a, e, r, v);
  else parab(gm, t0, t, a, e, r, v);
  Mat3 pqr = zrot(-argp * kDeg);
  pqr *= xrot(-incl * kDeg);
  pqr = zrot(-node * kDeg) * pqr;
  r = mxvct(pqr, r);
  v = mxvct(pqr, v);
}

void oscelm(double gm, double t, const Vec3& r, const Vec3& v, double& tp, double& M, double& a,
            double& e, double& node, double& argp, double& incl) {
  bool flag = gm < 0.0;
  gm = std::fabs(gm);
  if (gm < 1e-60) gm = 1e-60;

  Vec3 h = r * v;
  double hn = abs(h);
  if (hn < 1e-40) hn = 1e-40;
  node = atan20(h.x, -h.y);
  double w = h.z / hn;
  if (w > 1.0) w = 1.0;  // rounding must not turn a retrograde orbit prograde
  if (w < -1.0) w = -1.0;
  incl = std::acos(w);

  double R = abs(r);
  if (R < 1e-40) R = 1e-40;
  double u;  // argument of latitude
  if (w == 1.0) {
    // In the equator plane the node is undefined: measure the position from
    // the node direction used in the elements (prograde: angles add).
    u = atan20(r.y, r.x) - node;
  } else if (w == -1.0) {
    // Retrograde equatorial: the orbit plane is turned over, angles subtract.
    u = node - atan20(r.y, r.x);
  } else {
    double s = std::sin(incl);
    u = atan20(r.z / s, r.x * std::cos(node) + r.y * std::sin(node));
  }

  double ia = 2.0 / R - dot(v, v) / gm;
  double p = hn * hn / gm;
  double q;
  if (std::fabs(ia) < 1e-30) {
    e = 1.0;
    q = p / 2.0;
    a = p;
  } else {
    a = 1.0 / ia;
    double rr = 1.0 - p / a;
    e = rr < 0.0 ? 0.0 : std::sqrt(rr);
    q = p / (1.0 + e);
  }
  double ec = std::fabs(a) > 1e-60 ? 1.0 - R / a : 0.0;
  double es = dot(r, v) / std::sqrt(std::fabs(a) * gm);

  double nu = 0.0;
  M = 0.0;
  if (e < 1.0) {
    double E = atan20(es, ec);
    nu = atan20(std::sqrt(1.0 - e * e) * std::sin(E), std::cos(E) - e);
    M = E - e * std::sin(E);
  } else if (e > 1.0) {
    double x = es / e;
    double H = std::log(x + std::sqrt(x * x + 1.0));
    nu = 2.0 * std::atan(std::sqrt((1.0 + e) / (e - 1.0)) * std::tanh(H / 2.0));
    M = e * x - H;
  }
  if (std::fabs(e - 1.0) >= 0.01) {
    argp = u - nu;
    tp = t - std::fabs(a) * std::sqrt(std::fabs(a) / gm) * M;
  } else {
    // Near e = 1 the anomalies above cancel (E - e sin E, cos E - e) and a may
    // be huge; the time and argument of the pericentre come from the
    // universal variable instead, which holds for every conic and includes
    // the parabola (Barker's equation) as the case alpha = 0.
    double alpha = (e == 1.0 && std::fabs(ia) < 1e-30) ? 0.0 : ia;
    double sigma = dot(r, v) / std::sqrt(gm);
    double den = 1.0 + e - alpha * R;  // e (1 + cos E), > 0 except at an apocentre
    nu = 2.0 * std::atan2(std::sqrt((1.0 + e) / q) * sigma, den);
    double chi;
    if (alpha > 0.0) chi = 2.0 * std::atan2(std::sqrt(alpha) * sigma, den) / std::sqrt(alpha);
    else if (alpha < 0.0) chi = 2.0 * std::atanh(std::sqrt(-alpha) * sigma / den) / std::sqrt(-alpha);
    else chi = 2.0 * sigma / den;
    double c1, c2, c3;
    stumpff(alpha * chi * chi, c1, c2, c3);
    argp = u - nu;
    tp = t - (q * chi + e * c3 * chi * chi * chi) / std::sqrt(gm);
    if (e == 1.0) flag = true;
  }

  if (M < 0.0) M += kTwoPi;
  if (node < 0.0) node += kTwoPi;
  if (argp < 0.0) argp += kTwoPi;
  const double deg = 180.0 / kPi;
  M *= deg; node *= deg; argp *= deg; incl *= deg;
  if (e > 1.0) M = 0.0;
  if (flag) { a = q; M = -1.0; }
}
