// SGP4/SDP4 propagation (see sgp4unit.h for the interface and error codes).
//
// The equations, constants and order of operations are those of the 2006
// revision of Spacetrack Report No. 3.  Symbols keep the report's names so
// that every line can be checked against the published equations.
#include "orbit/sgp4unit.h"

#include <cmath>

#include "astro/constants.h"

namespace {

constexpr double kX2o3 = 2.0 / 3.0;
// Floor for 1 + cos i (inclination near 180 degrees).
constexpr double kTemp4 = 1.5e-12;

// Lunar-solar constants.
constexpr double kZns = 1.19459e-5;    // solar mean motion (rad/min)
constexpr double kZes = 0.01675;       // solar eccentricity
constexpr double kZnl = 1.5835218e-4;  // lunar mean motion (rad/min)
constexpr double kZel = 0.05490;       // lunar eccentricity
// Earth rotation rate (rad/min).
constexpr double kRptim = 4.37526908801129966e-3;

// Sine and cosine of an angle that is usually small (the short-period and
// drag corrections, Newton steps): Taylor polynomials below 0.125 rad
// (truncation error below 1e-21), the library functions above.
inline void smallSinCos(double x, double& s, double& c) {
  if (!(std::fabs(x) <= 0.125)) {
    s = std::sin(x);
    c = std::cos(x);
    return;
  }
  const double x2 = x * x;
  s = x * (1.0 + x2 * (-1.0 / 6.0 +
                       x2 * (1.0 / 120.0 +
                             x2 * (-1.0 / 5040.0 + x2 * (1.0 / 362880.0 + x2 * (-1.0 / 39916800.0))))));
  c = 1.0 + x2 * (-0.5 + x2 * (1.0 / 24.0 +
                               x2 * (-1.0 / 720.0 +
                                     x2 * (1.0 / 40320.0 +
                                           x2 * (-1.0 / 3628800.0 + x2 * (1.0 / 479001600.0))))));
}

// fmod(x, 2 pi), which is x itself below 2 pi.
inline double mod2pi(double x) { return std::fabs(x) < kTwoPi ? x : std::fmod(x, kTwoPi); }

// (s, c) := sine and cosine of (angle + x), given those of angle.
inline void rotateBy(double x, double& s, double& c) {
  double sx, cx;
  smallSinCos(x, sx, cx);
  const double sn = s * cx + c * sx;
  c = c * cx - s * sx;
  s = sn;
}

// Deep-space long-period lunar-solar periodics.  With init 'y' nothing is
// computed; otherwise the periodics at satellite time t are applied to the
// elements ep, inclp, nodep, argpp, mp: directly for a perturbed inclination
// of at least 0.2 rad, in Lyddane's form below it.
inline void dpper(double e3, double ee2, double peo, double pgho, double pho, double pinco,
                  double plo, double se2, double se3, double sgh2, double sgh3, double sgh4,
                  double sh2, double sh3, double si2, double si3, double sl2, double sl3,
                  double sl4, double t, double xgh2, double xgh3, double xgh4, double xh2,
                  double xh3, double xi2, double xi3, double xl2, double xl3, double xl4,
                  double zmol, double zmos, double /*inclo*/, char init, double& ep,
                  double& inclp, double& nodep, double& argpp, double& mp,
                  double* sinout = nullptr, double* cosout = nullptr) {
  if (init == 'y') return;

  // Solar terms.  zf, the true anomaly to first order in e, differs from
  // the mean anomaly zm by at most 2e.
  double zm = zmos + kZns * t;
  double sinzf = std::sin(zm), coszf = std::cos(zm);
  rotateBy(2.0 * kZes * sinzf, sinzf, coszf);
  double f2 = 0.5 * sinzf * sinzf - 0.25;
  double f3 = -0.5 * sinzf * coszf;
  const double ses = se2 * f2 + se3 * f3;
  const double sis = si2 * f2 + si3 * f3;
  const double sls = sl2 * f2 + sl3 * f3 + sl4 * sinzf;
  const double sghs = sgh2 * f2 + sgh3 * f3 + sgh4 * sinzf;
  const double shs = sh2 * f2 + sh3 * f3;

  // Lunar terms.
  zm = zmol + kZnl * t;
  sinzf = std::sin(zm);
  coszf = std::cos(zm);
  rotateBy(2.0 * kZel * sinzf, sinzf, coszf);
  f2 = 0.5 * sinzf * sinzf - 0.25;
  f3 = -0.5 * sinzf * coszf;
  const double sel = ee2 * f2 + e3 * f3;
  const double sil = xi2 * f2 + xi3 * f3;
  const double sll = xl2 * f2 + xl3 * f3 + xl4 * sinzf;
  const double sghl = xgh2 * f2 + xgh3 * f3 + xgh4 * sinzf;
  const double shll = xh2 * f2 + xh3 * f3;

  const double pe = ses + sel - peo;
  const double pinc = sis + sil - pinco;
  const double pl = sls + sll - plo;
  double pgh = sghs + sghl - pgho;
  double ph = shs + shll - pho;

  inclp += pinc;
  ep += pe;
  const double sinip = std::sin(inclp);
  const double cosip = std::cos(inclp);
  if (sinout) *sinout = sinip;  // the caller needs them too
  if (cosout) *cosout = cosip;

  if (inclp >= 0.2) {
    ph /= sinip;
    pgh -= cosip * ph;
    argpp += pgh;
    nodep += ph;
    mp += pl;
  } else {
    // Lyddane: perturb the node through the components of the orbit pole,
    // which stay regular at small inclination.
    const double sinop = std::sin(nodep);
    const double cosop = std::cos(nodep);
    double alfdp = sinip * sinop;
    double betdp = sinip * cosop;
    const double dalf = ph * cosop + pinc * cosip * sinop;
    const double dbet = -ph * sinop + pinc * cosip * cosop;
    alfdp += dalf;
    betdp += dbet;
    nodep = mod2pi(nodep);
    const double xls = mp + argpp + pl + pgh + (cosip - pinc * sinip) * nodep;
    const double xnoh = nodep;
    nodep = std::atan2(alfdp, betdp);
    if (std::fabs(xnoh - nodep) > kPi) {
      if (nodep < xnoh)
        nodep += kTwoPi;
      else
        nodep -= kTwoPi;
    }
    mp += pl;
    argpp = xls - mp - cosip * nodep;
  }
}

// Intermediate quantities of the deep-space set-up shared by the lunar-solar
// and the resonance initialisation.
struct DeepCommon {
  double sinim, cosim, emsq;
  double s1, s2, s3, s4, s5;
  double ss1, ss2, ss3, ss4, ss5;
  double sz1, sz3, sz11, sz13, sz21, sz23, sz31, sz33;
  double z1, z3, z11, z13, z21, z23, z31, z33;
};

// Lunar-solar coefficients at epoch (time tc = 0): fills the record's
// periodic coefficients (se2 ... xl4, zmol, zmos, e3, ee2, peo ... plo) and c.
void deepCommonInit(double epoch, elsetrec& s, DeepCommon& c) {
  constexpr double c1ss = 2.9864797e-6;
  constexpr double c1l = 4.7968065e-7;
  constexpr double zsinis = 0.39785416;
  constexpr double zcosis = 0.91744867;
  constexpr double zcosgs = 0.1945905;
  constexpr double zsings = -0.98088458;
  const double tc = 0.0;

  const double nm = s.no;
  const double em = s.ecco;
  const double snodm = std::sin(s.nodeo);
  const double cnodm = std::cos(s.nodeo);
  const double sinomm = std::sin(s.argpo);
  const double cosomm = std::cos(s.argpo);
  c.sinim = std::sin(s.inclo);
  c.cosim = std::cos(s.inclo);
  c.emsq = em * em;
  const double betasq = 1.0 - c.emsq;
  const double rtemsq = std::sqrt(betasq);

  s.peo = 0.0;
  s.pinco = 0.0;
  s.plo = 0.0;
  s.pgho = 0.0;
  s.pho = 0.0;
  const double day = epoch + 18261.5 + tc / 1440.0;
  const double xnodce = std::fmod(4.5236020 - 9.2422029e-4 * day, kTwoPi);
  const double stem = std::sin(xnodce);
  const double ctem = std::cos(xnodce);
  const double zcosil = 0.91375164 - 0.03568096 * ctem;
  const double zsinil = std::sqrt(1.0 - zcosil * zcosil);
  const double zsinhl = 0.089683511 * stem / zsinil;
  const double zcoshl = std::sqrt(1.0 - zsinhl * zsinhl);
  const double gam = 5.8351514 + 0.0019443680 * day;
  double zx = 0.39785416 * stem / zsinil;
  const double zy = zcoshl * ctem + 0.91744867 * zsinhl * stem;
  zx = std::atan2(zx, zy);
  zx = gam + zx - xnodce;
  const double zcosgl = std::cos(zx);
  const double zsingl = std::sin(zx);

  // First pass: the Sun; second pass: the Moon.  The solar results are kept
  // in the ss* / sz* quantities, the lunar ones in s* / z*.
  double zcosg = zcosgs, zsing = zsings, zcosi = zcosis, zsini = zsinis;
  double zcosh = cnodm, zsinh = snodm, cc = c1ss;
  const double xnoi = 1.0 / nm;
  double s1 = 0, s2 = 0, s3 = 0, s4 = 0, s5 = 0, s6 = 0, s7 = 0;
  double z1 = 0, z2 = 0, z3 = 0, z11 = 0, z12 = 0, z13 = 0, z21 = 0, z22 = 0, z23 = 0;
  double z31 = 0, z32 = 0, z33 = 0;
  double ss1 = 0, ss2 = 0, ss3 = 0, ss4 = 0, ss5 = 0, ss6 = 0, ss7 = 0;
  double sz1 = 0, sz2 = 0, sz3 = 0, sz11 = 0, sz12 = 0, sz13 = 0, sz21 = 0, sz22 = 0;
  double sz23 = 0, sz31 = 0, sz32 = 0, sz33 = 0;
  for (int body = 0; body < 2; ++body) {
    const double a1 = zcosg * zcosh + zsing * zcosi * zsinh;
    const double a3 = -zsing * zcosh + zcosg * zcosi * zsinh;
    const double a7 = -zcosg * zsinh + zsing * zcosi * zcosh;
    const double a8 = zsing * zsini;
    const double a9 = zsing * zsinh + zcosg * zcosi * zcosh;
    const double a10 = zcosg * zsini;
    const double a2 = c.cosim * a7 + c.sinim * a8;
    const double a4 = c.cosim * a9 + c.sinim * a10;
    const double a5 = -c.sinim * a7 + c.cosim * a8;
    const double a6 = -c.sinim * a9 + c.cosim * a10;

    const double x1 = a1 * cosomm + a2 * sinomm;
    const double x2 = a3 * cosomm + a4 * sinomm;
    const double x3 = -a1 * sinomm + a2 * cosomm;
    const double x4 = -a3 * sinomm + a4 * cosomm;
    const double x5 = a5 * sinomm;
    const double x6 = a6 * sinomm;
    const double x7 = a5 * cosomm;
    const double x8 = a6 * cosomm;

    z31 = 12.0 * x1 * x1 - 3.0 * x3 * x3;
    z32 = 24.0 * x1 * x2 - 6.0 * x3 * x4;
    z33 = 12.0 * x2 * x2 - 3.0 * x4 * x4;
    z1 = 3.0 * (a1 * a1 + a2 * a2) + z31 * c.emsq;
    z2 = 6.0 * (a1 * a3 + a2 * a4) + z32 * c.emsq;
    z3 = 3.0 * (a3 * a3 + a4 * a4) + z33 * c.emsq;
    z11 = -6.0 * a1 * a5 + c.emsq * (-24.0 * x1 * x7 - 6.0 * x3 * x5);
    z12 = -6.0 * (a1 * a6 + a3 * a5) +
          c.emsq * (-24.0 * (x2 * x7 + x1 * x8) - 6.0 * (x3 * x6 + x4 * x5));
    z13 = -6.0 * a3 * a6 + c.emsq * (-24.0 * x2 * x8 - 6.0 * x4 * x6);
    z21 = 6.0 * a2 * a5 + c.emsq * (24.0 * x1 * x5 - 6.0 * x3 * x7);
    z22 = 6.0 * (a4 * a5 + a2 * a6) +
          c.emsq * (24.0 * (x2 * x5 + x1 * x6) - 6.0 * (x4 * x7 + x3 * x8));
    z23 = 6.0 * a4 * a6 + c.emsq * (24.0 * x2 * x6 - 6.0 * x4 * x8);
    z1 = z1 + z1 + betasq * z31;
    z2 = z2 + z2 + betasq * z32;
    z3 = z3 + z3 + betasq * z33;
    s3 = cc * xnoi;
    s2 = -0.5 * s3 / rtemsq;
    s4 = s3 * rtemsq;
    s1 = -15.0 * em * s4;
    s5 = x1 * x3 + x2 * x4;
    s6 = x2 * x3 + x1 * x4;
    s7 = x2 * x4 - x1 * x3;

    if (body == 0) {
      ss1 = s1; ss2 = s2; ss3 = s3; ss4 = s4; ss5 = s5; ss6 = s6; ss7 = s7;
      sz1 = z1; sz2 = z2; sz3 = z3;
      sz11 = z11; sz12 = z12; sz13 = z13;
      sz21 = z21; sz22 = z22; sz23 = z23;
      sz31 = z31; sz32 = z32; sz33 = z33;
      zcosg = zcosgl;
      zsing = zsingl;
      zcosi = zcosil;
      zsini = zsinil;
      zcosh = zcoshl * cnodm + zsinhl * snodm;
      zsinh = snodm * zcoshl - cnodm * zsinhl;
      cc = c1l;
    }
  }

  s.zmol = std::fmod(4.7199672 + 0.22997150 * day - gam, kTwoPi);
  s.zmos = std::fmod(6.2565837 + 0.017201977 * day, kTwoPi);

  // Solar periodic coefficients.
  s.se2 = 2.0 * ss1 * ss6;
  s.se3 = 2.0 * ss1 * ss7;
  s.si2 = 2.0 * ss2 * sz12;
  s.si3 = 2.0 * ss2 * (sz13 - sz11);
  s.sl2 = -2.0 * ss3 * sz2;
  s.sl3 = -2.0 * ss3 * (sz3 - sz1);
  s.sl4 = -2.0 * ss3 * (-21.0 - 9.0 * c.emsq) * kZes;
  s.sgh2 = 2.0 * ss4 * sz32;
  s.sgh3 = 2.0 * ss4 * (sz33 - sz31);
  s.sgh4 = -18.0 * ss4 * kZes;
  s.sh2 = -2.0 * ss2 * sz22;
  s.sh3 = -2.0 * ss2 * (sz23 - sz21);

  // Lunar periodic coefficients.
  s.ee2 = 2.0 * s1 * s6;
  s.e3 = 2.0 * s1 * s7;
  s.xi2 = 2.0 * s2 * z12;
  s.xi3 = 2.0 * s2 * (z13 - z11);
  s.xl2 = -2.0 * s3 * z2;
  s.xl3 = -2.0 * s3 * (z3 - z1);
  s.xl4 = -2.0 * s3 * (-21.0 - 9.0 * c.emsq) * kZel;
  s.xgh2 = 2.0 * s4 * z32;
  s.xgh3 = 2.0 * s4 * (z33 - z31);
  s.xgh4 = -18.0 * s4 * kZel;
  s.xh2 = -2.0 * s2 * z22;
  s.xh3 = -2.0 * s2 * (z23 - z21);

  c.s1 = s1; c.s2 = s2; c.s3 = s3; c.s4 = s4; c.s5 = s5;
  c.ss1 = ss1; c.ss2 = ss2; c.ss3 = ss3; c.ss4 = ss4; c.ss5 = ss5;
  c.sz1 = sz1; c.sz3 = sz3; c.sz11 = sz11; c.sz13 = sz13;
  c.sz21 = sz21; c.sz23 = sz23; c.sz31 = sz31; c.sz33 = sz33;
  c.z1 = z1; c.z3 = z3; c.z11 = z11; c.z13 = z13;
  c.z21 = z21; c.z23 = z23; c.z31 = z31; c.z33 = z33;
}

// Secular lunar-solar rates and the geopotential resonance set-up (one-day
// and half-day orbits), at epoch.
void deepResonanceInit(double xke, const DeepCommon& c, double eccsq, double xpidot,
                       elsetrec& s) {
  constexpr double q22 = 1.7891679e-6;
  constexpr double q31 = 2.1460748e-6;
  constexpr double q33 = 2.2123015e-7;
  constexpr double root22 = 1.7891679e-6;
  constexpr double root44 = 7.3636953e-9;
  constexpr double root54 = 2.1765803e-9;
  constexpr double root32 = 3.7393792e-7;
  constexpr double root52 = 1.1428639e-7;

  const double nm = s.no;
  const double em = s.ecco;
  const double inclm = s.inclo;
  const double cosim = c.cosim, sinim = c.sinim, emsq = c.emsq;

  s.irez = 0;
  if (nm < 0.0052359877 && nm > 0.0034906585) s.irez = 1;
  if (nm >= 8.26e-3 && nm <= 9.24e-3 && em >= 0.5) s.irez = 2;

  // Solar secular rates.
  const double ses = c.ss1 * kZns * c.ss5;
  const double sis = c.ss2 * kZns * (c.sz11 + c.sz13);
  const double sls = -kZns * c.ss3 * (c.sz1 + c.sz3 - 14.0 - 6.0 * emsq);
  const double sghs = c.ss4 * kZns * (c.sz31 + c.sz33 - 6.0);
  double shs = -kZns * c.ss2 * (c.sz21 + c.sz23);
  // The node rate is meaningless for (nearly) equatorial orbits.
  const bool nearEquatorial = inclm < 5.2359877e-2 || inclm > kPi - 5.2359877e-2;
  if (nearEquatorial) shs = 0.0;
  if (sinim != 0.0) shs = shs / sinim;
  const double sgs = sghs - cosim * shs;

  // Lunar secular rates.
  s.dedt = ses + c.s1 * kZnl * c.s5;
  s.didt = sis + c.s2 * kZnl * (c.z11 + c.z13);
  s.dmdt = sls - kZnl * c.s3 * (c.z1 + c.z3 - 14.0 - 6.0 * emsq);
  const double sghl = c.s4 * kZnl * (c.z31 + c.z33 - 6.0);
  double shll = -kZnl * c.s2 * (c.z21 + c.z23);
  if (nearEquatorial) shll = 0.0;
  s.domdt = sgs + sghl;
  s.dnodt = shs;
  if (sinim != 0.0) {
    s.domdt = s.domdt - cosim / sinim * shll;
    s.dnodt = s.dnodt + shll / sinim;
  }

  const double theta = std::fmod(s.gsto, kTwoPi);
  if (s.irez == 0) return;

  const double aonv = std::pow(nm / xke, kX2o3);
  if (s.irez == 2) {
    // Half-day resonance: the coefficients use the epoch eccentricity.
    const double cosisq = cosim * cosim;
    const double e = s.ecco;
    const double esq = eccsq;
    const double eoc = e * esq;
    const double g201 = -0.306 - (e - 0.64) * 0.440;
    double g211, g310, g322, g410, g422, g520, g521, g532, g533;
    if (e <= 0.65) {
      g211 = 3.616 - 13.2470 * e + 16.2900 * esq;
      g310 = -19.302 + 117.3900 * e - 228.4190 * esq + 156.5910 * eoc;
      g322 = -18.9068 + 109.7927 * e - 214.6334 * esq + 146.5816 * eoc;
      g410 = -41.122 + 242.6940 * e - 471.0940 * esq + 313.9530 * eoc;
      g422 = -146.407 + 841.8800 * e - 1629.014 * esq + 1083.4350 * eoc;
      g520 = -532.114 + 3017.977 * e - 5740.032 * esq + 3708.2760 * eoc;
    } else {
      g211 = -72.099 + 331.819 * e - 508.738 * esq + 266.724 * eoc;
      g310 = -346.844 + 1582.851 * e - 2415.925 * esq + 1246.113 * eoc;
      g322 = -342.585 + 1554.908 * e - 2366.899 * esq + 1215.972 * eoc;
      g410 = -1052.797 + 4758.686 * e - 7193.992 * esq + 3651.957 * eoc;
      g422 = -3581.690 + 16178.110 * e - 24462.770 * esq + 12422.520 * eoc;
      if (e > 0.715)
        g520 = -5149.66 + 29936.92 * e - 54087.36 * esq + 31324.56 * eoc;
      else
        g520 = 1464.74 - 4664.75 * e + 3763.64 * esq;
    }
    if (e < 0.7) {
      g533 = -919.22770 + 4988.6100 * e - 9064.7700 * esq + 5542.21 * eoc;
      g521 = -822.71072 + 4568.6173 * e - 8491.4146 * esq + 5337.524 * eoc;
      g532 = -853.66600 + 4690.2500 * e - 8624.7700 * esq + 5341.4 * eoc;
    } else {
      g533 = -37995.780 + 161616.52 * e - 229838.20 * esq + 109377.94 * eoc;
      g521 = -51752.104 + 218913.95 * e - 309468.16 * esq + 146349.42 * eoc;
      g532 = -40023.880 + 170470.89 * e - 242699.48 * esq + 115605.82 * eoc;
    }

    const double sini2 = sinim * sinim;
    const double f220 = 0.75 * (1.0 + 2.0 * cosim + cosisq);
    const double f221 = 1.5 * sini2;
    const double f321 = 1.875 * sinim * (1.0 - 2.0 * cosim - 3.0 * cosisq);
    const double f322 = -1.875 * sinim * (1.0 + 2.0 * cosim - 3.0 * cosisq);
    const double f441 = 35.0 * sini2 * f220;
    const double f442 = 39.3750 * sini2 * sini2;
    const double f522 = 9.84375 * sinim *
                        (sini2 * (1.0 - 2.0 * cosim - 5.0 * cosisq) +
                         0.33333333 * (-2.0 + 4.0 * cosim + 6.0 * cosisq));
    const double f523 = sinim * (4.92187512 * sini2 * (-2.0 - 4.0 * cosim + 10.0 * cosisq) +
                                 6.56250012 * (1.0 + 2.0 * cosim - 3.0 * cosisq));
    const double f542 = 29.53125 * sinim *
                        (2.0 - 8.0 * cosim + cosisq * (-12.0 + 8.0 * cosim + 10.0 * cosisq));
    const double f543 = 29.53125 * sinim *
                        (-2.0 - 8.0 * cosim + cosisq * (12.0 + 8.0 * cosim - 10.0 * cosisq));

    const double xno2 = nm * nm;
    const double ainv2 = aonv * aonv;
    double temp1 = 3.0 * xno2 * ainv2;
    double temp = temp1 * root22;
    s.d2201 = temp * f220 * g201;
    s.d2211 = temp * f221 * g211;
    temp1 = temp1 * aonv;
    temp = temp1 * root32;
    s.d3210 = temp * f321 * g310;
    s.d3222 = temp * f322 * g322;
    temp1 = temp1 * aonv;
    temp = 2.0 * temp1 * root44;
    s.d4410 = temp * f441 * g410;
    s.d4422 = temp * f442 * g422;
    temp1 = temp1 * aonv;
    temp = temp1 * root52;
    s.d5220 = temp * f522 * g520;
    s.d5232 = temp * f523 * g532;
    temp = 2.0 * temp1 * root54;
    s.d5421 = temp * f542 * g521;
    s.d5433 = temp * f543 * g533;
    s.xlamo = std::fmod(s.mo + s.nodeo + s.nodeo - theta - theta, kTwoPi);
    s.xfact = s.mdot + s.dmdt + 2.0 * (s.nodedot + s.dnodt - kRptim) - s.no;
  } else {
    // One-day (synchronous) resonance.
    const double g200 = 1.0 + emsq * (-2.5 + 0.8125 * emsq);
    const double g310 = 1.0 + 2.0 * emsq;
    const double g300 = 1.0 + emsq * (-6.0 + 6.60937 * emsq);
    const double f220 = 0.75 * (1.0 + cosim) * (1.0 + cosim);
    const double f311 = 0.9375 * sinim * sinim * (1.0 + 3.0 * cosim) - 0.75 * (1.0 + cosim);
    double f330 = 1.0 + cosim;
    f330 = 1.875 * f330 * f330 * f330;
    s.del1 = 3.0 * nm * nm * aonv * aonv;
    s.del2 = 2.0 * s.del1 * f220 * g200 * q22;
    s.del3 = 3.0 * s.del1 * f330 * g300 * q33 * aonv;
    s.del1 = s.del1 * f311 * g310 * q31 * aonv;
    s.xlamo = std::fmod(s.mo + s.nodeo + s.argpo - theta, kTwoPi);
    s.xfact = s.mdot + xpidot - kRptim + s.dmdt + s.domdt + s.dnodt - s.no;
  }
  // The resonance integrator starts at epoch.
  s.xli = s.xlamo;
  s.xni = s.no;
  s.atime = 0.0;
}

// Sine and cosine of one angle.
struct SinCos {
  double s, c;
};
inline SinCos plus(const SinCos& a, const SinCos& b) {
  return {a.s * b.c + a.c * b.s, a.c * b.c - a.s * b.s};
}
inline SinCos minus(const SinCos& a, const SinCos& b) {
  return {a.s * b.c - a.c * b.s, a.c * b.c + a.s * b.s};
}

// Fixed phases of the resonance terms: fasx2, 2 fasx4 and 3 fasx6 of the
// one-day resonance, g22 ... g54 of the half-day resonance.
struct ResonancePhases {
  SinCos fasx2, fasx4, fasx6, g22, g32, g44, g52, g54;
};
inline SinCos sinCos(double x) { return {std::sin(x), std::cos(x)}; }
const ResonancePhases kResonancePhases = {
    sinCos(0.13130908),       sinCos(2.0 * 2.8843198), sinCos(3.0 * 0.37448087),
    sinCos(5.7686396),        sinCos(0.95240898),      sinCos(1.8014998),
    sinCos(1.0508330),        sinCos(4.4108898)};
inline const ResonancePhases& resonancePhases() { return kResonancePhases; }

// The resonance terms of the integrator state of s: the rates of the mean
// longitude (xldot) and of the mean motion (xndt) and the latter's rate
// (xnddt).
inline void resonanceTerms(const elsetrec& s, double& xldot, double& xndt, double& xnddt) {
  const ResonancePhases& ph = resonancePhases();
  // The resonance terms are sines and cosines of small multiples of the
  // mean longitude (and of the argument of perigee for the half-day case)
  // minus fixed phases; they are built from one sine and cosine each.
  const double sL = std::sin(s.xli), cL = std::cos(s.xli);
  const double s2L = 2.0 * sL * cL, c2L = (cL - sL) * (cL + sL);
  xldot = s.xni + s.xfact;
  if (s.irez != 2) {
    const double s3L = sL * (3.0 - 4.0 * sL * sL), c3L = cL * (4.0 * cL * cL - 3.0);
    const SinCos a1 = minus({sL, cL}, ph.fasx2);
    const SinCos a2 = minus({s2L, c2L}, ph.fasx4);
    const SinCos a3 = minus({s3L, c3L}, ph.fasx6);
    xndt = s.del1 * a1.s + s.del2 * a2.s + s.del3 * a3.s;
    xnddt = s.del1 * a1.c + 2.0 * s.del2 * a2.c + 3.0 * s.del3 * a3.c;
    xnddt = xnddt * xldot;
  } else {
    const double xomi = s.argpo + s.argpdot * s.atime;
    const SinCos o{std::sin(xomi), std::cos(xomi)};
    const SinCos o2{2.0 * o.s * o.c, (o.c - o.s) * (o.c + o.s)};
    const SinCos p22 = minus({sL, cL}, ph.g22);
    const SinCos p32 = minus({sL, cL}, ph.g32);
    const SinCos p44 = minus({s2L, c2L}, ph.g44);
    const SinCos p52 = minus({sL, cL}, ph.g52);
    const SinCos p54 = minus({s2L, c2L}, ph.g54);
    const SinCos a2201 = plus(p22, o2), a3210 = plus(p32, o), a3222 = minus(p32, o);
    const SinCos a4410 = plus(p44, o2), a5220 = plus(p52, o), a5232 = minus(p52, o);
    const SinCos a5421 = plus(p54, o), a5433 = minus(p54, o);
    xndt = s.d2201 * a2201.s + s.d2211 * p22.s + s.d3210 * a3210.s + s.d3222 * a3222.s +
           s.d4410 * a4410.s + s.d4422 * p44.s + s.d5220 * a5220.s + s.d5232 * a5232.s +
           s.d5421 * a5421.s + s.d5433 * a5433.s;
    xnddt = s.d2201 * a2201.c + s.d2211 * p22.c + s.d3210 * a3210.c + s.d3222 * a3222.c +
            s.d5220 * a5220.c + s.d5232 * a5232.c +
            2.0 * (s.d4410 * a4410.c + s.d4422 * p44.c + s.d5421 * a5421.c +
                   s.d5433 * a5433.c);
    xnddt = xnddt * xldot;
  }
}

// Deep-space secular effects at time t: lunar-solar secular rates and the
// resonance integration (Euler-Maclaurin, 720-minute steps).  Updates the
// mean elements and the integrator state in the record; returns false when t
// is too far from epoch to be integrated.
inline bool deepSecular(elsetrec& s, double t, double& em, double& argpm, double& inclm,
                        double& mm, double& nodem, double& nm) {
  constexpr double stepp = 720.0;
  constexpr double stepn = -720.0;
  constexpr double step2 = 259200.0;

  const double theta = mod2pi(s.gsto + t * kRptim);
  em += s.dedt * t;
  inclm += s.didt * t;
  argpm += s.domdt * t;
  nodem += s.dnodt * t;
  mm += s.dmdt * t;
  if (s.irez == 0) return true;

  // About 19,000 years: beyond it (or for a time that is not a number) the
  // integration would not end in reasonable time.
  if (!(std::fabs(t) <= 1e10)) return false;

  // Restart from epoch when t lies on the other side of epoch or before the
  // integrator's time; otherwise continue from where the last call stopped.
  if (s.atime == 0.0 || t * s.atime <= 0.0 || std::fabs(t) < std::fabs(s.atime)) {
    s.atime = 0.0;
    s.xni = s.no;
    s.xli = s.xlamo;
  }
  const double delt = t > 0.0 ? stepp : stepn;

  double xndt, xldot, xnddt, ft;
  for (;;) {
    if (s.resok && s.resatime == s.atime && s.resxli == s.xli && s.resxni == s.xni) {
      xldot = s.resxldot;
      xndt = s.resxndt;
      xnddt = s.resxnddt;
    } else {
      resonanceTerms(s, xldot, xndt, xnddt);
      s.resok = true;
      s.resatime = s.atime;
      s.resxli = s.xli;
      s.resxni = s.xni;
      s.resxldot = xldot;
      s.resxndt = xndt;
      s.resxnddt = xnddt;
    }
    if (std::fabs(t - s.atime) < stepp) {
      ft = t - s.atime;
      break;
    }
    s.xli = s.xli + xldot * delt + xndt * step2;
    s.xni = s.xni + xndt * delt + xnddt * step2;
    s.atime = s.atime + delt;
  }

  nm = s.xni + xndt * ft + xnddt * ft * ft * 0.5;
  const double xl = s.xli + xldot * ft + xndt * ft * ft * 0.5;
  if (s.irez != 1)
    mm = xl - 2.0 * nodem + 2.0 * theta;
  else
    mm = xl - nodem - argpm + theta;
  const double dndt = nm - s.no;  // rate change, rounded as published
  nm = s.no + dndt;
  return true;
}

}  // namespace

void getgravconst(gravconsttype whichconst, double& tumin, double& radiusearthkm, double& xke,
                  double& j2, double& j3, double& j4, double& j3oj2) {
  switch (whichconst) {
    case wgs72old:
      radiusearthkm = kReWgs72Km;
      xke = 0.0743669161;
      tumin = 1.0 / xke;
      j2 = 0.001082616;
      j3 = -0.00000253881;
      j4 = -0.00000165597;
      break;
    case wgs72:
      radiusearthkm = kReWgs72Km;
      xke = 60.0 / std::sqrt(radiusearthkm * radiusearthkm * radiusearthkm / 398600.8);
      tumin = 1.0 / xke;
      j2 = 0.001082616;
      j3 = -0.00000253881;
      j4 = -0.00000165597;
      break;
    case wgs84:
      radiusearthkm = kReWgs84Km;
      xke = 60.0 / std::sqrt(radiusearthkm * radiusearthkm * radiusearthkm / 398600.5);
      tumin = 1.0 / xke;
      j2 = 0.00108262998905;
      j3 = -0.00000253215306;
      j4 = -0.00000161098761;
      break;
    default:
      return;
  }
  j3oj2 = j3 / j2;
}

double gstime(double jdut1) {
  const double tut1 = (jdut1 - 2451545.0) / 36525.0;
  double temp = -6.2e-6 * tut1 * tut1 * tut1 + 0.093104 * tut1 * tut1 +
                (876600.0 * 3600 + 8640184.812866) * tut1 + 67310.54841;  // seconds
  temp = std::fmod(temp * (kPi / 180.0) / 240.0, kTwoPi);  // 240 s of time per degree
  if (temp < 0.0) temp += kTwoPi;
  return temp;
}

int sgp4init(gravconsttype whichconst, bool deepsw, double epoch, double xbstar, double xecco,
             double xargpo, double xinclo, double xmo, double xno, double xnodeo,
             elsetrec& satrec) {
  elsetrec& s = satrec;

  // Clear every coefficient; keep identification and the fields that only
  // the element-set reader fills.
  {
    const elsetrec keep = s;
    s = elsetrec();
    s.satnum = keep.satnum;
    s.epochyr = keep.epochyr;
    s.epochtynumrev = keep.epochtynumrev;
    s.epochdays = keep.epochdays;
    s.jdsatepoch = keep.jdsatepoch;
    s.nddot = keep.nddot;
    s.ndot = keep.ndot;
    s.rcse = keep.rcse;
  }
  s.isimp = 0;
  s.method = 'n';
  s.irez = 0;
  s.error = 0;

  double tumin = 0, radiusearthkm = 0, xke = 0, j2 = 0, j3 = 0, j4 = 0, j3oj2 = 0;
  getgravconst(whichconst, tumin, radiusearthkm, xke, j2, j3, j4, j3oj2);

  s.bstar = xbstar;
  s.ecco = xecco;
  s.argpo = xargpo;
  s.inclo = xinclo;
  s.mo = xmo;
  s.no = xno;
  s.nodeo = xnodeo;

  const double ss = 78.0 / radiusearthkm + 1.0;
  const double qzms2ttemp = (120.0 - 78.0) / radiusearthkm;
  const double qzms2t = qzms2ttemp * qzms2ttemp * qzms2ttemp * qzms2ttemp;

  s.init = 'y';
  s.t = 0.0;

  // Epoch quantities; the Kozai mean motion of the element set becomes the
  // Brouwer mean motion.
  const double eccsq = s.ecco * s.ecco;
  const double omeosq = 1.0 - eccsq;
  const double rteosq = std::sqrt(omeosq);
  const double cosio = std::cos(s.inclo);
  const double cosio2 = cosio * cosio;
  {
    const double ak = std::pow(xke / s.no, kX2o3);
    const double d1 = 0.75 * j2 * (3.0 * cosio2 - 1.0) / (rteosq * omeosq);
    double del = d1 / (ak * ak);
    const double adel = ak * (1.0 - del * del - del * (1.0 / 3.0 + 134.0 * del * del / 81.0));
    del = d1 / (adel * adel);
    s.no = s.no / (1.0 + del);
  }
  const double ao = std::pow(xke / s.no, kX2o3);
  const double sinio = std::sin(s.inclo);
  s.sinio = sinio;
  s.cosio = cosio;
  s.aopow = ao;
  s.aono = s.no;
  s.aoconst = whichconst;
  const double po = ao * omeosq;
  const double con42 = 1.0 - 5.0 * cosio2;
  s.con41 = -con42 - cosio2 - cosio2;
  const double posq = po * po;
  const double rp = ao * (1.0 - s.ecco);
  s.gsto = gstime(epoch + 2433281.5);

  s.a = std::pow(s.no * tumin, -2.0 / 3.0);
  s.alta = s.a * (1.0 + s.ecco) - 1.0;
  s.altp = s.a * (1.0 - s.ecco) - 1.0;

  // Perigee below the surface (also: elements that are not numbers).
  if (!(rp >= 1.0)) s.error = 5;

  if (omeosq >= 0.0 || s.no >= 0.0) {
    s.isimp = 0;
    if (rp < 220.0 / radiusearthkm + 1.0) s.isimp = 1;
    double sfour = ss;
    double qzms24 = qzms2t;
    const double perige = (rp - 1.0) * radiusearthkm;

    // Low perigee: the density parameter s follows the perigee.
    if (perige < 156.0) {
      sfour = perige - 78.0;
      if (perige < 98.0) sfour = 20.0;
      const double qzms24temp = (120.0 - sfour) / radiusearthkm;
      qzms24 = qzms24temp * qzms24temp * qzms24temp * qzms24temp;
      sfour = sfour / radiusearthkm + 1.0;
    }
    const double pinvsq = 1.0 / posq;

    const double tsi = 1.0 / (ao - sfour);
    s.eta = ao * s.ecco * tsi;
    const double etasq = s.eta * s.eta;
    const double eeta = s.ecco * s.eta;
    const double psisq = std::fabs(1.0 - etasq);
    const double coef = qzms24 * std::pow(tsi, 4.0);
    const double coef1 = coef / std::pow(psisq, 3.5);
    const double cc2 = coef1 * s.no *
                       (ao * (1.0 + 1.5 * etasq + eeta * (4.0 + etasq)) +
                        0.375 * j2 * tsi / psisq * s.con41 * (8.0 + 3.0 * etasq * (8.0 + etasq)));
    s.cc1 = s.bstar * cc2;
    double cc3 = 0.0;
    if (s.ecco > 1.0e-4) cc3 = -2.0 * coef * tsi * j3oj2 * s.no * sinio / s.ecco;
    s.x1mth2 = 1.0 - cosio2;
    s.cc4 = 2.0 * s.no * coef1 * ao * omeosq *
            (s.eta * (2.0 + 0.5 * etasq) + s.ecco * (0.5 + 2.0 * etasq) -
             j2 * tsi / (ao * psisq) *
                 (-3.0 * s.con41 * (1.0 - 2.0 * eeta + etasq * (1.5 - 0.5 * eeta)) +
                  0.75 * s.x1mth2 * (2.0 * etasq - eeta * (1.0 + etasq)) *
                      std::cos(2.0 * s.argpo)));
    s.cc5 = 2.0 * coef1 * ao * omeosq * (1.0 + 2.75 * (etasq + eeta) + eeta * etasq);
    const double cosio4 = cosio2 * cosio2;
    const double temp1 = 1.5 * j2 * pinvsq * s.no;
    const double temp2 = 0.5 * temp1 * j2 * pinvsq;
    const double temp3 = -0.46875 * j4 * pinvsq * pinvsq * s.no;
    s.mdot = s.no + 0.5 * temp1 * rteosq * s.con41 +
             0.0625 * temp2 * rteosq * (13.0 - 78.0 * cosio2 + 137.0 * cosio4);
    s.argpdot = -0.5 * temp1 * con42 + 0.0625 * temp2 * (7.0 - 114.0 * cosio2 + 395.0 * cosio4) +
                temp3 * (3.0 - 36.0 * cosio2 + 49.0 * cosio4);
    const double xhdot1 = -temp1 * cosio;
    s.nodedot = xhdot1 +
                (0.5 * temp2 * (4.0 - 19.0 * cosio2) + 2.0 * temp3 * (3.0 - 7.0 * cosio2)) * cosio;
    const double xpidot = s.argpdot + s.nodedot;
    s.omgcof = s.bstar * cc3 * std::cos(s.argpo);
    s.xmcof = 0.0;
    if (s.ecco > 1.0e-4) s.xmcof = -kX2o3 * coef * s.bstar / eeta;
    s.nodecf = 3.5 * omeosq * xhdot1 * s.cc1;
    s.t2cof = 1.5 * s.cc1;
    const double opcos = std::fabs(cosio + 1.0) > kTemp4 ? 1.0 + cosio : kTemp4;
    s.xlcof = -0.25 * j3oj2 * sinio * (3.0 + 5.0 * cosio) / opcos;
    s.aycof = -0.5 * j3oj2 * sinio;
    const double delmotemp = 1.0 + s.eta * std::cos(s.mo);
    s.delmo = delmotemp * delmotemp * delmotemp;
    s.sinmao = std::sin(s.mo);
    s.x7thm1 = 7.0 * cosio2 - 1.0;

    if (deepsw && kTwoPi / s.no >= 225.0) {
      s.method = 'd';
      s.isimp = 1;
      DeepCommon c;
      deepCommonInit(epoch, s, c);
      // The long-period periodics are zero at epoch by construction.
      dpper(s.e3, s.ee2, s.peo, s.pgho, s.pho, s.pinco, s.plo, s.se2, s.se3, s.sgh2, s.sgh3,
            s.sgh4, s.sh2, s.sh3, s.si2, s.si3, s.sl2, s.sl3, s.sl4, s.t, s.xgh2, s.xgh3, s.xgh4,
            s.xh2, s.xh3, s.xi2, s.xi3, s.xl2, s.xl3, s.xl4, s.zmol, s.zmos, s.inclo, s.init,
            s.ecco, s.inclo, s.nodeo, s.argpo, s.mo);
      deepResonanceInit(xke, c, eccsq, xpidot, s);
    }

    if (s.isimp != 1) {
      const double cc1sq = s.cc1 * s.cc1;
      s.d2 = 4.0 * ao * tsi * cc1sq;
      const double temp = s.d2 * tsi * s.cc1 / 3.0;
      s.d3 = (17.0 * ao + sfour) * temp;
      s.d4 = 0.5 * temp * ao * tsi * (221.0 * ao + 31.0 * sfour) * s.cc1;
      s.t3cof = s.d2 + 2.0 * cc1sq;
      s.t4cof = 0.25 * (3.0 * s.d3 + s.cc1 * (12.0 * s.d2 + 10.0 * cc1sq));
      s.t5cof = 0.2 * (3.0 * s.d4 + 12.0 * s.cc1 * s.d3 + 6.0 * s.d2 * s.d2 +
                       15.0 * cc1sq * (2.0 * s.d2 + cc1sq));
    }
  }

  if (s.error == 0 && s.method == 'd') {
    double r[3], v[3];
    sgp4(whichconst, s, 0.0, r, v);
  }
  s.init = 'n';
  return s.error;
}

int sgp4(gravconsttype whichconst, elsetrec& satrec, double tsince, double r[3], double v[3]) {
  elsetrec& s = satrec;
  double tumin = 0, radiusearthkm = 0, xke = 0, j2 = 0, j3 = 0, j4 = 0, j3oj2 = 0;
  getgravconst(whichconst, tumin, radiusearthkm, xke, j2, j3, j4, j3oj2);
  const double vkmpersec = radiusearthkm * xke / 60.0;

  s.t = tsince;
  s.error = 0;
  const double t = tsince;

  // Secular gravity and atmospheric drag.
  const double xmdf = s.mo + s.mdot * t;
  const double argpdf = s.argpo + s.argpdot * t;
  const double nodedf = s.nodeo + s.nodedot * t;
  double argpm = argpdf;
  double mm = xmdf;
  const double t2 = t * t;
  double nodem = nodedf + s.nodecf * t2;
  double tempa = 1.0 - s.cc1 * t;
  double tempe = s.bstar * s.cc4 * t;
  double templ = s.t2cof * t2;

  if (s.isimp != 1) {
    const double delomg = s.omgcof * t;
    double sinmm = std::sin(xmdf), cosmm = std::cos(xmdf);
    const double delmtemp = 1.0 + s.eta * cosmm;
    const double delm = s.xmcof * (delmtemp * delmtemp * delmtemp - s.delmo);
    const double temp = delomg + delm;
    mm = xmdf + temp;
    argpm = argpdf - temp;
    rotateBy(temp, sinmm, cosmm);  // now sin(mm)
    const double t3 = t2 * t;
    const double t4 = t3 * t;
    tempa = tempa - s.d2 * t2 - s.d3 * t3 - s.d4 * t4;
    tempe = tempe + s.bstar * s.cc5 * (sinmm - s.sinmao);
    templ = templ + s.t3cof * t3 + t4 * (s.t4cof + t * s.t5cof);
  }

  double nm = s.no;
  double em = s.ecco;
  double inclm = s.inclo;
  if (s.method == 'd') {
    if (!deepSecular(s, t, em, argpm, inclm, mm, nodem, nm)) s.error = 1;
  }

  if (nm <= 0.0) s.error = 2;

  // Unless a resonance changed it, nm is still the no of sgp4init here: so
  // is the power.
  const double aonm =
      nm == s.aono && s.aoconst == whichconst ? s.aopow : std::pow(xke / nm, kX2o3);
  const double am = aonm * tempa * tempa;
  // xke / am^1.5, without a second power function.
  nm = nm / std::fabs(tempa * tempa * tempa);
  em = em - tempe;

  if (em >= 1.0 || em < -0.001 || am < 0.95) s.error = 1;
  // A mean eccentricity below 1e-6 (also a negative one) becomes 1e-6, as in
  // the code that produced the published verification output.
  if (em < 1.0e-6) em = 1.0e-6;

  mm = mm + s.no * templ;
  double xlm = mm + argpm + nodem;
  nodem = mod2pi(nodem);
  argpm = mod2pi(argpm);
  xlm = mod2pi(xlm);
  mm = mod2pi(xlm - argpm - nodem);

  // Near Earth the inclination is inclo's; deep space takes the sine and
  // cosine of the perturbed inclination below.
  double ep = em;
  double xincp = inclm;
  double argpp = argpm;
  double nodep = nodem;
  double mp = mm;
  double sinip = s.sinio;
  double cosip = s.cosio;
  if (s.method == 'd') {
    // Lunar-solar periodics.
    dpper(s.e3, s.ee2, s.peo, s.pgho, s.pho, s.pinco, s.plo, s.se2, s.se3, s.sgh2, s.sgh3,
          s.sgh4, s.sh2, s.sh3, s.si2, s.si3, s.sl2, s.sl3, s.sl4, s.t, s.xgh2, s.xgh3, s.xgh4,
          s.xh2, s.xh3, s.xi2, s.xi3, s.xl2, s.xl3, s.xl4, s.zmol, s.zmos, s.inclo, 'n', ep,
          xincp, nodep, argpp, mp, &sinip, &cosip);
    if (xincp < 0.0) {
      xincp = -xincp;
      nodep = nodep + kPi;
      argpp = argpp - kPi;
      sinip = std::sin(xincp);
      cosip = std::cos(xincp);
    }
    if (ep < 0.0 || ep > 1.0) s.error = 3;

    // Long-period coefficients follow the perturbed inclination.
    s.aycof = -0.5 * j3oj2 * sinip;
    const double opcos = std::fabs(cosip + 1.0) > kTemp4 ? 1.0 + cosip : kTemp4;
    s.xlcof = -0.25 * j3oj2 * sinip * (3.0 + 5.0 * cosip) / opcos;
  }

  // Long-period periodics.
  const double axnl = ep * std::cos(argpp);
  double temp = 1.0 / (am * (1.0 - ep * ep));
  const double aynl = ep * std::sin(argpp) + temp * s.aycof;
  const double xl = mp + argpp + nodep + temp * s.xlcof * axnl;

  // Kepler's equation for the eccentric longitude.  sineo1 and coseo1 keep
  // the values of the last iteration's start, as in the published model.
  // The sine and cosine of each new estimate follow from the previous ones
  // by the angle-addition formulas.
  const double u = mod2pi(xl - nodep);
  double eo1 = u;
  double sineo1 = std::sin(eo1), coseo1 = std::cos(eo1);
  for (int ktr = 1;; ++ktr) {
    double tem5 = 1.0 - coseo1 * axnl - sineo1 * aynl;
    tem5 = (u - aynl * coseo1 + axnl * sineo1 - eo1) / tem5;
    if (std::fabs(tem5) >= 0.95) tem5 = tem5 > 0.0 ? 0.95 : -0.95;
    eo1 = eo1 + tem5;
    if (!(std::fabs(tem5) >= 1.0e-12) || ktr >= 10) break;
    rotateBy(tem5, sineo1, coseo1);
  }

  // Short-period preliminaries.
  const double ecose = axnl * coseo1 + aynl * sineo1;
  const double esine = axnl * sineo1 - aynl * coseo1;
  const double el2 = axnl * axnl + aynl * aynl;
  const double pl = am * (1.0 - el2);
  if (!(pl >= 0.0)) {  // also catches a semi-latus rectum that is not a number
    s.error = 6;
    return s.error;
  }

  const double rl = am * (1.0 - ecose);
  const double rdotl = std::sqrt(am) * esine / rl;
  const double rvdotl = std::sqrt(pl) / rl;
  const double betal = std::sqrt(1.0 - el2);
  temp = esine / (1.0 + betal);
  const double sinu = am / rl * (sineo1 - aynl - axnl * temp);
  const double cosu = am / rl * (coseo1 - axnl + aynl * temp);
  const double sin2u = (cosu + cosu) * sinu;
  const double cos2u = 1.0 - 2.0 * sinu * sinu;
  temp = 1.0 / pl;
  const double temp1 = 0.5 * j2 * temp;
  const double temp2 = temp1 * temp;

  // Short-period periodics.
  if (s.method == 'd') {
    const double cosisq = cosip * cosip;
    s.con41 = 3.0 * cosisq - 1.0;
    s.x1mth2 = 1.0 - cosisq;
    s.x7thm1 = 7.0 * cosisq - 1.0;
  }
  const double mrt =
      rl * (1.0 - 1.5 * temp2 * betal * s.con41) + 0.5 * temp1 * s.x1mth2 * cos2u;
  const double dsu = -0.25 * temp2 * s.x7thm1 * sin2u;
  const double xnode = nodep + 1.5 * temp2 * cosip * sin2u;
  const double dinc = 1.5 * temp2 * cosip * sinip * cos2u;
  const double mvt = rdotl - nm * temp1 * s.x1mth2 * sin2u / xke;
  const double rvdot = rvdotl + nm * temp1 * (s.x1mth2 * cos2u + 1.5 * s.con41) / xke;

  // Orientation vectors.  (sinu, cosu) is the direction of the long-period
  // argument of latitude; su and xinc differ from it and from xincp by small
  // short-period terms.
  const double su0 = std::sqrt(sinu * sinu + cosu * cosu);
  double sinsu = sinu / su0, cossu = cosu / su0;
  rotateBy(dsu, sinsu, cossu);
  const double snod = std::sin(xnode);
  const double cnod = std::cos(xnode);
  double sini = sinip, cosi = cosip;
  rotateBy(dinc, sini, cosi);
  const double xmx = -snod * cosi;
  const double xmy = cnod * cosi;
  const double ux = xmx * sinsu + cnod * cossu;
  const double uy = xmy * sinsu + snod * cossu;
  const double uz = sini * sinsu;
  const double vx = xmx * cossu - cnod * sinsu;
  const double vy = xmy * cossu - snod * sinsu;
  const double vz = sini * cossu;

  const double mr = mrt * radiusearthkm;
  r[0] = mr * ux;
  r[1] = mr * uy;
  r[2] = mr * uz;
  v[0] = (mvt * ux + rvdot * vx) * vkmpersec;
  v[1] = (mvt * uy + rvdot * vy) * vkmpersec;
  v[2] = (mvt * uz + rvdot * vz) * vkmpersec;

  // Decayed; a result that is not a finite number is never a success.
  if (!(mrt >= 1.0) || !std::isfinite(r[0] + r[1] + r[2] + v[0] + v[1] + v[2])) s.error = 6;
  return s.error;
}
