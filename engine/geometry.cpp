// Attitude frames, visibility circle, transit geometry and the sky chart
// centred on the prime satellite.
#include "engine/geometry.h"

#include <cmath>

#include "astro/astrolib.h"
#include "astro/constants.h"
#include "engine/satpos.h"

namespace {


double clamp1(double x) { return x > 1.0 ? 1.0 : (x < -1.0 ? -1.0 : x); }

}  // namespace

Mat3 GetYSMat(const WinpData* d, const Vec3& r, const Vec3& v, double yaw, double pitch) {
  Mat3 M = GetRVMat(r, v, 0.0, 0.0, 2);
  const int p = d->prs;
  if (p < 0 || p >= NSLOTS) return M;
  const double n = d->mnmot[p];
  if (!(n > 0.0)) return M;

  const Vec3 rn = vnorm(r);
  const double c2 = 1.0 - rn.z * rn.z;
  const double cl = c2 >= 0.0 ? std::sqrt(c2) : 0.0;  // cosine of the latitude
  const double ci = std::cos(d->inc[p] * kDeg);
  if (cl > 0.0 && cl > std::fabs(ci)) {
    const double s = ci / cl;
    const double u = std::asin(s);
    const double cu = std::cos(u);
    if (cu > 0.0) {
      double w = v.z < 0.0 ? kPi - u : u;
      if (w > 2.0 * kPi) w -= 2.0 * kPi;
      if (w < 0.0) w += 2.0 * kPi;
      // Earth flattening times the sine of twice the latitude.
      double k = kFlatWgs84 * std::fabs(std::sin(2.0 * std::acos(cl)));
      if (r.z < 0.0) k = -k;
      M = zrot(-w) * yrot(k) * zrot(w) * M;
      const double q = (s - cl / n) / cu;
      if (q < 1.5707963267948966) {
        double dy = std::atan(q) - u;
        if (v.z < 0.0) dy = -dy;
        yaw += dy / kDeg;
      }
    }
  }
  TurnYawPitch(M, yaw, pitch);
  return M;
}

void GetSatVis(SatPosData* sp, double lat, int i) {
  if (!sp || i < 0 || i >= NSLOTS) return;
  const double R = kReWgs84Km;
  const double D = sp->hgt[i] + R;
  double rho = 1.0, sl = 0.0;
  if (D > R) {
    rho = R / D;  // cosine of the Earth-central angle of the horizon circle
    sl = std::sin(std::acos(rho));
  }
  sp->nfp = NFPPTS;
  const double slat = std::sin(lat), clat = std::cos(lat);
  const double A = sl * clat, B = rho * slat;
  for (int k = 0; k < NFPPTS; k++) {
    const double az = 1e-7 + k * 2.0 * kPi / NFPPTS;
    const double x = clamp1(A * std::cos(az) + B);
    const double plat = std::asin(x);
    sp->fplat[i][k] = plat;
    const double dd = std::cos(plat) * clat;
    double dl = 0.0;
    if (std::fabs(dd) > 1e-50) dl = std::acos(clamp1((rho - x * slat) / dd));
    if (az > kPi) dl = -dl;
    double lng = kDeg * sp->lng[i] + dl;
    if (lng > 2.0 * kPi) lng -= 2.0 * kPi;
    if (lng < -kPi) lng += 2.0 * kPi;
    sp->fplng[i][k] = lng;
  }
}

void GetOccTrans(double t1, const WinpData* d, SatPosData* sp, int i, double eqeq, Vec3& r,
                 Vec3& target) {
  if (!d || !sp || i < 0 || i >= NSLOTS) return;
  // The WGS-84 ellipsoid as a sphere stretched along z: axis ratio b/a, and
  // its square for the geodetic latitude.
  const double kb = 1.0 - kFlatWgs84, kb2 = kb * kb;
  const double R = kReWgs84Km;
  const Vec3 r0 = r, target0 = target;
  double hr = 0.0;
  for (int pass = 0; pass < 2; pass++) {
    const double h = d->height / 1000.0 + hr;
    if (h > -1.0 && h < 20.0) {
      // The intersection surface lies h above the ellipsoid.
      const double s = R / (R + h);
      r *= s;
      target *= s;
    }
    r.z /= kb;
    Vec3 L;
    if (d->occflg == 3) {
      L = Vec3(-target.x, -target.y, -target.z / kb);
    } else {
      target.z /= kb;
      L = r - target;
    }
    L = vnorm(L);

    const double b = -dot(r, L);
    const double c2 = b * b + 1.0 - dot(r, r);  // 1 - (distance of the line from the centre)^2
    const double c = std::sqrt(std::fmax(c2, 0.0));
    if (!(c2 > 0.0) || b - c < 0.0) break;  // misses, grazes, or meets behind the satellite

    Vec3 P = r + (b - c) * L;
    r = P - r;
    r.z *= kb;
    P.z *= kb;
    double lng = carpol(P).y - kPi / 12.0 * lsidtim(t1, 0.0, eqeq);
    lng = std::remainder(lng, 2.0 * kPi);
    const double lat = std::atan2(P.z, kb2 * std::sqrt(P.x * P.x + P.y * P.y));

    if (pass == 0 && d->refrc) {
      const Vec3 Lz(L.x, L.y, L.z * kb);
      const double s = dot(-vnorm(P), vnorm(Lz));  // sine of the target's elevation
      if (std::fabs(s) < 0.26) {
        // Low targets: intersect again a little higher, where the refracted
        // line of sight meets the ground.
        double e = std::asin(std::fabs(s)) / kDeg;
        if (e < 1.4) e = 1.4;
        hr = 8.40429926257 * std::pow(e, -2.01365949653);
        r = r0;
        target = target0;
        continue;
      }
    }
    sp->ctlat[i] = lat / kDeg;
    sp->ctlng[i] = lng / kDeg;
    if (i == d->prs) {
      const double lo = d->lat * kDeg, go = d->lng * kDeg;
      const double cs = clamp1(std::sin(lo) * std::sin(lat) +
                               std::cos(lo) * std::cos(lat) * std::cos(go - lng));
      sp->mag = kReWgs84Km * std::acos(cs);
    }
    return;
  }
  sp->ctlat[i] = 100.0;
  sp->ctlng[i] = 0.0;
}

void SkyAzim(WinpData* d, double t) {
  if (!d || !satpos || d->prs < 0 || d->prs >= NSLOTS) return;
  // A satellite without a position is nowhere on the sky to point at: the
  // chart keeps its azimuth.
  if (GetSatPos(t, d, satpos, d->prs, 0) != SATPOS_OK) return;
  d->skaz = satpos->az[d->prs];
}
