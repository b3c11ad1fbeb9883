// State vectors between true of date, mean of date, J2000 and Earth-fixed.
#include "engine/stateframes.h"

#include "astro/astrolib.h"
#include "astro/constants.h"

namespace {

constexpr double kOmegaEarth = 7.2921158553e-5;  // rad/s

// The rotations between the frames at one time.
struct FrameSet {
  Mat3 n;       // mean of date -> true of date
  Mat3 q;       // J2000 -> mean of date
  Mat3 s;       // true of date -> pseudo-Earth-fixed (Greenwich apparent sidereal angle)
  Mat3 p;       // pseudo-Earth-fixed -> Earth-fixed (polar motion)
  bool pole;    // polar motion used
};

FrameSet Frames(const WinpData& d, double mjd) {
  FrameSet f;
  // Precession and nutation are taken at the UT instant: the ~70 s to TT move
  // a low orbit by millimetres.
  const double T = julcent(mjd);
  const double ut1 = d.IERSflg ? mjd + d.Ut1Utc / 86400.0 : mjd;
  double eqeq = 0.0;
  f.n = nutmat(T, eqeq, d.IERSflg);
  f.s = zrot(kPi * lsidtim(ut1, 0.0, eqeq) / 12.0);
  f.pole = d.IERSxp != 0.0 || d.IERSyp != 0.0;
  f.p = f.pole ? PoleMx(d.IERSxp, d.IERSyp) : mxidn();
  f.q = pmatequ(0.0, T);
  return f;
}

// Inverse of a 3x3 matrix (adjugate over determinant). The pole matrix is the
// small-angle form, orthogonal only to some 1e-12: its transpose would leave
// a round trip through the Earth-fixed frame off by tens of micrometres.
Mat3 Inverse(const Mat3& a) {
  const double* e = a.m;
  Mat3 c;
  c.assign(e[4] * e[8] - e[5] * e[7], e[2] * e[7] - e[1] * e[8], e[1] * e[5] - e[2] * e[4],
           e[5] * e[6] - e[3] * e[8], e[0] * e[8] - e[2] * e[6], e[2] * e[3] - e[0] * e[5],
           e[3] * e[7] - e[4] * e[6], e[1] * e[6] - e[0] * e[7], e[0] * e[4] - e[1] * e[3]);
  return c / mxdet(a);
}

// omega x r of the Earth's rotation about the z axis.
Vec3 Spin(const Vec3& r) { return Vec3(-kOmegaEarth * r.y, kOmegaEarth * r.x, 0.0); }

}  // namespace

int ValidFrame(int frame) { return frame >= 0 && frame < NFRAMES ? frame : FRAME_MOD; }

void RefState(const WinpData& d, int from, int to, double mjd, Vec3& r, Vec3& v) {
  from = ValidFrame(from);
  to = ValidFrame(to);
  if (from == to) return;
  const FrameSet f = Frames(d, mjd);

  // To true of date.
  switch (from) {
    case FRAME_J2000:
      r = mxvct(f.q, r);
      v = mxvct(f.q, v);
      [[fallthrough]];
    case FRAME_MOD:
      r = mxvct(f.n, r);
      v = mxvct(f.n, v);
      break;
    case FRAME_EFIX: {
      const Mat3 pt = Inverse(f.p), st = mxtrn(f.s);
      const Vec3 rp = f.pole ? mxvct(pt, r) : r;  // pseudo-Earth-fixed
      const Vec3 vp = f.pole ? mxvct(pt, v) : v;
      r = mxvct(st, rp);
      v = mxvct(st, vp + Spin(rp));
      break;
    }
    default:
      break;
  }

  // From true of date.
  switch (to) {
    case FRAME_MOD:
    case FRAME_J2000: {
      const Mat3 nt = mxtrn(f.n);
      r = mxvct(nt, r);
      v = mxvct(nt, v);
      if (to == FRAME_J2000) {
        const Mat3 qt = mxtrn(f.q);
        r = mxvct(qt, r);
        v = mxvct(qt, v);
      }
      break;
    }
    case FRAME_EFIX: {
      const Vec3 rp = mxvct(f.s, r);
      const Vec3 vp = mxvct(f.s, v) - Spin(rp);
      r = f.pole ? mxvct(f.p, rp) : rp;
      v = f.pole ? mxvct(f.p, vp) : vp;
      break;
    }
    default:
      break;
  }
}
