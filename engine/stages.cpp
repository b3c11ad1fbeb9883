// Later stages of GetSatPos: solar eclipse seen from the satellite, visual
// magnitude, transit/occultation target, flare geometry and the attitude an
// unknown mirror would need.
#include "engine/stages.h"

#include <cmath>

#include "astro/astrolib.h"
#include "astro/constants.h"
#include "engine/geometry.h"
#include "engine/satpos.h"

namespace {

constexpr double kAuKm = 149597870.69100964;
constexpr double kSunRadEr = 109.123;       // Sun's radius in Earth radii
constexpr double kMoonRadEr = 0.272493;     // Moon's radius in Earth radii

double clamp1(double c) { return c > 1.0 ? 1.0 : (c < -1.0 ? -1.0 : c); }

// Unit vector at R.A. ra (packed hours) and Dec. dec (packed degrees).
Vec3 raDecUnit(double ra, double dec) {
  return polcar(Vec3(1.0, 15.0 * DmsDegF(ra) * kDeg, DmsDegF(dec) * kDeg));
}

// Stage D: transit or occultation of the Sun, the Moon or a fixed point.
void transitStage(WinpData* d, SatPosData* sp, int i, SatPosStage& st) {
  Vec3 target;
  if (d->occflg == 1) {
    target = st.sun;
  } else if (d->occflg == 2) {
    target = st.moon;
    double az, el, dist;
    AppPos(st.t1, st.eqeq, d->lat * kDeg, d->lng * kDeg, d->height, 1, st.moon, az, el, dist);
    sp->moonazo = az;
    sp->moonelo = el;
    if (dist > 0.1) {
      const double q = kMoonRadEr / dist;
      sp->smrad = q <= 1.0 ? std::asin(q) / kDeg : 0.265;
    } else {
      sp->smrad = std::asin(0.00452121) / kDeg;
    }
    if (d->sunmplt) sp->smcos = dot(vnorm(st.moon - st.sun), vnorm(st.moon));
  } else {
    target = raDecUnit(d->occra, d->occdec);
    if (d->yrepoch != 0.0) target = mxvct(mxtrn(st.q), target);
  }
  Vec3 rr = st.r / kReWgs84Km;
  GetOccTrans(st.t1, d, sp, i, st.eqeq, rr, target);
}

// Stage F: the mirror attitude that would send the source's light to the observer.
void mirrorAttitude(WinpData* d, SatPosData* sp, int i, SatPosStage& st, const Vec3& srel) {
  sp->ctlat[i] = 99.0;
  Vec3 ou = vnorm(st.o - st.r);
  Vec3 su = vnorm(srel);
  const double c = dot(su, ou);
  const double h = std::fabs(c) > 1.0 ? 0.0 : std::acos(c) / 2.0;
  const Mat3 m = GetRVMat(su, ou, 0.0, 0.0, 0);
  const Vec3 n = mxvct(mxtrn(m), mxvct(zrot(h), Vec3(1.0, 0.0, 0.0)));
  if (std::abs(d->flarmod) == 1) {
    const Mat3 m2 = d->flaryst ? GetYSMat(d, st.r, st.v, 0.0, 0.0)
                               : GetRVMat(st.r, st.v, 0.0, 0.0, 1);
    const Vec3 p = carpol(vnorm(mxvct(m2, n)));
    d->occra = 360.0 - p.y / kDeg;
    d->occdec = p.z / kDeg;
  } else if (d->solflar) {
    d->occdec = DegFDms(std::acos(clamp1(dot(vnorm(n), vnorm(st.sun)))) / kDeg);
  } else {
    // Given in the mean equator of yrepoch, the frame in which the known-mirror
    // mode reads an inertial normal back.
    const Vec3 nq = d->yrepoch != 0.0 ? mxvct(st.q, n) : n;
    const Vec3 p = carpol(nq);
    double lambda = p.y;
    if (lambda < 0.0) lambda += kTwoPi;
    d->occra = DegFDms(12.0 * lambda / kPi);
    d->occdec = DegFDms(p.z / kDeg);
  }
  if (d->cylflg) {
    double a1, d1, a2, d2;
    if (d->flarmod == -2) {
      a1 = 15.0 * kDeg * DmsDegF(d->occra);
      d1 = kDeg * DmsDegF(d->occdec);
      a2 = 15.0 * kDeg * DmsDegF(d->cylra);
      d2 = kDeg * DmsDegF(d->cyldec);
    } else {
      a1 = kDeg * d->occra;
      d1 = kDeg * d->occdec;
      a2 = kDeg * d->cylra;
      d2 = kDeg * d->cyldec;
    }
    const double cs = std::cos(d1) * std::cos(d2) * std::cos(a1 - a2) + std::sin(d1) * std::sin(d2);
    d->flrang = std::acos(clamp1(cs)) / kDeg;
  }
}

// Stage E: flare of one mirror (K = 0) or of the K + 1 surfaces of an Iridium
// satellite (three mirrors, and the solar panel when K = 3).
void flareStage(WinpData* d, SatPosData* sp, int i, SatPosStage& st, int K) {
  sp->ctlat[i] = 100.0;
  Vec3 source;
  if (d->moonflg) {
    if (!(sp->moonh[i] > 0.0)) return;
    source = st.moon;
  } else {
    if (!(sp->sunh[i] > 0.0)) return;
    source = st.sun;
  }
  const Vec3 rer = st.r / kReWgs84Km;
  Vec3 srel = source - rer;

  const bool prime = i == d->prs;
  int svyst = 0;
  double svra = 0, svdec = 0, bm = 0, best = 360.1;
  const Vec3 srel0 = srel;
  if (K > 0) {
    svyst = d->flaryst;
    svra = d->occra;
    svdec = d->occdec;
    // The best of the mirrors starts from this sample's diffuse magnitude (99
    // when none was computed), never from a value an earlier call left.
    bm = st.md;
    d->flaryst = 0;
    d->occra = 0.0;
    d->occdec = -40.0;
  }
  const Vec3 ohat = vnorm(st.o - st.r);

  if (!(K > 0 || d->flarmod >= 1)) {
    if (prime) mirrorAttitude(d, sp, i, st, srel);
    return;
  }

  for (int k = 0; k <= K; k++) {
    const bool panel = k == 3 || d->irsolw;
    Vec3 n;
    bool ok = true;
    if (K == 0 && std::abs(d->flarmod) != 1) {
      n = raDecUnit(d->occra, d->occdec);
      if (d->yrepoch != 0.0) n = mxvct(mxtrn(st.q), n);
    } else {
      Mat3 m;
      if (d->flaryst) {
        m = GetYSMat(d, st.r, st.v, d->occra, d->occdec);
      } else if (!panel) {
        m = GetRVMat(st.r, st.v, d->occra, d->occdec, 1);
      } else {
        const double ab = std::fabs(sp->beta[i]);
        ok = ab >= 40.0 && ab <= 65.0;
        if (ok) {
          const Mat3 m0 = GetRVMat(st.r, st.v, 90.0, -90.0, 1);
          const Vec3 p = carpol(mxvct(m0, vnorm(st.sun)));
          const double yw = 360.0 - p.y / kDeg;
          const double pp = p.z > 0.0 ? 40.0 : -40.0;
          m = yrot(-kDeg * pp) * zrot(-kDeg * yw) * m0;
        }
      }
      if (ok) n = mxvct(mxtrn(m), Vec3(1.0, 0.0, 0.0));
      if (ok && k == 3) {
        // The panel's attitude in the orbit frame is handed back to the caller.
        const Vec3 p = carpol(vnorm(mxvct(GetRVMat(st.r, st.v, 0.0, 0.0, 1), n)));
        svra = 360.0 - p.y / kDeg;
        svdec = p.z / kDeg;
      }
    }
    if (ok) {
      const double cosi = dot(vnorm(srel), vnorm(n));
      if (cosi >= 0.0 && cosi <= 1.0) {
        const double theta = std::acos(cosi);
        Vec3 su = vnorm(srel);
        const Mat3 m = GetRVMat(su, n, 0.0, 0.0, 0);
        const Vec3 rr = vnorm(mxvct(mxtrn(m), mxvct(zrot(-theta), Vec3(1.0, 0.0, 0.0))));
        if (prime) {
          const double ang = std::acos(clamp1(dot(rr, ohat))) / kDeg;
          if (K > 0) {
            if (ang < best) best = ang;
            d->flrang = best;
          } else {
            d->flrang = ang;
          }
        }
        // Centre line of the reflected ray; the user's transit mode is kept.
        const int svocc = d->occflg;
        d->occflg = 3;
        Vec3 pc = rer;
        Vec3 ray = -rr;
        GetOccTrans(st.t1, d, sp, i, st.eqeq, pc, ray);
        d->occflg = svocc;

        if ((d->iridflg == 3 || d->flrmgf) && prime) {
          const double el = sp->el[i];
          double m;
          if (el > 1e-5) {
            m = 5.0 * std::log10(sp->rng[i]) - 14.4;
            if (el < 33.0 && d->atmx) m += 2.9935 - 0.828865 * std::log(el);
            m -= 2.5 * std::log10(cosi > 0.0 ? cosi : 1e-4);
            double g = dot(vnorm(pc), ohat);
            if (g <= 0.0) g = 1e-4;
            if (g >= 1.0) g = 0.9999999999;
            const double a = std::acos(g) / kDeg;
            if (panel) {
              m += (a < 3.5 ? 0.993 * a - 3.867 : 1.5 * a - 5.6415) - 0.7;
            } else {
              m += std::fmax(-0.2, 3.2437 * std::log(a) + 5.71785) - 8.7;
            }
            if (d->moonflg) m = st.ms > -30.0 ? st.ms + 26.74 + m : 99.0;
          } else {
            m = 99.0;
          }
          sp->mag = m;
          if (d->flrmgf && d->iridflg <= 2) {
            if (sp->mag < 99.0) sp->mag += 8.7 + d->flrmgx;
            if (st.md < sp->mag) sp->mag = st.md;
          }
          if (K > 0 && sp->mag < bm) bm = sp->mag;
        }
      }
    }
    if (k < K) {
      srel = srel0;
      d->occra = k == 0 ? -120.0 : 120.0;
    }
  }

  if (K > 0) {
    d->occra = svra;
    d->occdec = svdec;
    d->flaryst = svyst;
    sp->mag = bm;
    if (sp->ctlat[i] == 100.0 && d->chlen == 0.0 && best < 90.0) sp->ctlat[i] = 99.0;
    if (sp->el[i] < 0.0) sp->ctlat[i] = 100.0;
  }
}

}  // namespace

double SatSunEclipse(WinpData* d, const Vec3& s, const Vec3& sun, const Vec3& moon) {
  d->eclpow = 0.0;
  double dim = 0.0;
  const Vec3 ms = moon - s;
  const Vec3 m = vnorm(ms);
  const Vec3 S = vnorm(sun - s);
  double cs = dot(S, m);
  if (std::fabs(cs) > 1.0) cs = 1.0;
  const double sep = std::acos(cs);
  d->smang = sep / kDeg;
  const double rs = kSunRadEr / abs(sun);
  const double dm = abs(ms);
  const double rm = kMoonRadEr / (dm < 1e-9 ? abs(moon) : dm);
  if (!(rs + rm > sep)) {
    d->eclmag = 0.0;
    d->ecltyp = 0;
    return 0.0;
  }
  d->ecltyp = 1;
  d->eclmag = (rs + rm - sep) / (2.0 * rs);
  double f;
  if (std::fabs(rm - rs) < sep && sep >= 1.745e-6) {
    // Discs overlapping, neither inside the other: the Sun's uncovered part.
    dim = 20.0;
    const double x = (rs * rs - rm * rm + sep * sep) / (2.0 * sep);
    if (x <= -rs) return dim;
    const double q = std::fabs(sep - x) / rm;
    if (q > 1.0) return dim;
    dim = 0.0;
    const double p = x / rs;
    if (std::fabs(p) > 1.0) return dim;
    const double aq = 2.0 * std::acos(q);
    double am = rm * rm * (aq - std::sin(aq)) / 2.0;
    if (x > sep && rs > rm) am = kPi * rm * rm - am;
    const double ap = 2.0 * std::acos(p);
    const double as = rs * rs * (ap - std::sin(ap)) / 2.0;
    f = (kPi * rs * rs - as - am) / (kPi * rs * rs);
  } else if (rm >= rs) {
    d->ecltyp = 2;
    return 20.0;
  } else {
    d->ecltyp = 3;
    d->eclmag = rm / rs;
    f = 1.0 - (rm / rs) * (rm / rs);
  }
  if (f > 1e-12) {
    d->eclpow = f;
    dim = -2.5 * std::log10(f);
  } else {
    dim = 20.0;
  }
  return dim;
}

void NoSatSunEclipse(WinpData* d) {
  d->smang = 0.0;
  d->eclmag = 0.0;
  d->eclpow = 0.0;
  d->ecltyp = 0;
}

void SatMagnitude(const WinpData* d, SatPosData* sp, int i, SatPosStage& st) {
  Vec3 source;
  double mag0;
  if (d->moonflg && sp->sunh[i] < 0.0 && sp->moonh[i] > 0.0) {
    // In the Earth's shadow with the Moon above the satellite's horizon.
    const Vec3 mk = kReWgs84Km * st.moon;
    const Vec3 sk = kReWgs84Km * st.sun;
    double dist = abs(st.r - mk) / kAuKm;
    if (dist <= 0.0) dist = 1e-30;
    const double c = dot(vnorm(sk - mk), vnorm(st.r - mk));
    const double alpha = std::fabs(c) > 1.0 ? 180.0 : std::acos(c) / kDeg;
    st.ms = 5.0 * std::log10(dist) + 0.23 - 2.5 * std::log10(std::exp(-alpha / 41.0041888));
    mag0 = st.ms;
    source = mk;
  } else {
    source = kReWgs84Km * st.sun;
    mag0 = -26.74;
    st.ms = -30.0;
  }
  sp->mag = mag0;
  // Phase; the unlit side facing the observer is faint, not full.
  double P = (dot(vnorm(source - st.r), vnorm(st.o - st.r)) + 1.0) / 2.0;
  if (P < 1e-30) P = 1e-30;
  if (sp->rng[i] > 0.0) {
    double m = 5.0 * std::log10(1000.0 * sp->rng[i] / d->chlen) - 2.5 * std::log10(P) + 0.74 +
               st.dim + mag0;
    const double el = sp->el[i];
    if (d->atmx && el > 0.01 && el < 33.0) m += 2.9935 - 0.828865 * std::log(el);
    sp->mag = m;
    st.md = m;
  } else {
    sp->mag = 0.0;
    st.md = 0.0;
  }
}

void SatLateStages(WinpData* d, SatPosData* sp, int i, int flag, SatPosStage& st) {
  if (flag && d->occflg == 0 && d->flarflg == 0) GetSatVis(sp, st.latgc, i);
  if (d->occflg != 0) transitStage(d, sp, i, st);
  if (d->iridflg == 3 && i == d->prs) {
    const int K = d->flarflg ? 0 : (d->irsol ? 3 : 2);
    flareStage(d, sp, i, st, K);
  } else if (d->flarflg) {
    flareStage(d, sp, i, st, 0);
  }
}
