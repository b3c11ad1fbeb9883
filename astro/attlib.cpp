// Out-of-line parts of the vector and matrix unit: attitude conversions.
#include "astro/attlib.h"

#include <cmath>

#include "astro/constants.h"

namespace {
// Rounding can carry a cosine or sine read from a rotation matrix just past
// +-1, where acos and asin give NaN.
double clampUnit(double x) { return x > 1.0 ? 1.0 : (x < -1.0 ? -1.0 : x); }
}  // namespace

Mat3 csmx(double a, double b, double g) { return xrot(g) * zrot(b) * yrot(a); }

void gpyr(const Mat3& M, double& a, double& b, double& g) {
  b = std::asin(clampUnit(M(0, 1)));
  g = atan20(-M(2, 1), M(1, 1));
  a = atan20(-M(0, 2), M(0, 0));
}

void vcpy(Vec3& v, double& a, double& b) {
  a = atan20(-v.z, v.x);
  b = atan20(v.y, std::sqrt(v.x * v.x + v.z * v.z));
}

void vcrp(Vec3& v, double& a, double& b) {
  a = kPi / 2 - atan20(v.x, std::sqrt(v.y * v.y + v.z * v.z));
  b = atan20(v.y, -v.z);
}

// The rotation's quaternion (the convention of mxrox) is taken from the
// matrix by the largest of its four squared components, so that no axis is
// singular: a route through Euler angles degenerates for rotations about its
// first axis, where the two outer angles are lost in rounding noise.
void mxevc(const Mat3& M, double& angle, Vec3& axis) {
  const double m00 = M(0, 0), m11 = M(1, 1), m22 = M(2, 2);
  const double sq[4] = {1.0 + m00 - m11 - m22, 1.0 - m00 + m11 - m22, 1.0 - m00 - m11 + m22,
                        1.0 + m00 + m11 + m22};  // 4 q1^2, 4 q2^2, 4 q3^2, 4 q4^2
  int k = 0;
  for (int i = 1; i < 4; i++)
    if (sq[i] > sq[k]) k = i;
  double qk = 0.5 * std::sqrt(sq[k] > 0.0 ? sq[k] : 0.0);
  double f = qk > 0.0 ? 0.25 / qk : 0.0;
  double q1, q2, q3, q4;
  switch (k) {
    case 0:
      q1 = qk; q2 = (M(0, 1) + M(1, 0)) * f; q3 = (M(0, 2) + M(2, 0)) * f; q4 = (M(1, 2) - M(2, 1)) * f;
      break;
    case 1:
      q2 = qk; q1 = (M(0, 1) + M(1, 0)) * f; q3 = (M(1, 2) + M(2, 1)) * f; q4 = (M(2, 0) - M(0, 2)) * f;
      break;
    case 2:
      q3 = qk; q1 = (M(0, 2) + M(2, 0)) * f; q2 = (M(1, 2) + M(2, 1)) * f; q4 = (M(0, 1) - M(1, 0)) * f;
      break;
    default:
      q4 = qk; q1 = (M(1, 2) - M(2, 1)) * f; q2 = (M(2, 0) - M(0, 2)) * f; q3 = (M(0, 1) - M(1, 0)) * f;
      break;
  }
  if (q4 < 0.0) { q1 = -q1; q2 = -q2; q3 = -q3; q4 = -q4; }
  Vec3 qv(q1, q2, q3);
  double s = abs(qv);
  if (s == 0.0) {
    axis = Vec3(0, 0, 1);
    angle = 0.0;
  } else {
    axis = qv / s;
    angle = 2.0 * std::atan2(s, q4);
  }
}

Mat3 mxrox(double& angle, Vec3& axis) {
  double s = std::sin(angle / 2);
  double q1 = axis.x * s, q2 = axis.y * s, q3 = axis.z * s, q4 = std::cos(angle / 2);
  Mat3 m;
  m.assign(q1 * q1 - q2 * q2 - q3 * q3 + q4 * q4, 2 * (q1 * q2 + q3 * q4), 2 * (q1 * q3 - q2 * q4),
           2 * (q1 * q2 - q3 * q4), -q1 * q1 + q2 * q2 - q3 * q3 + q4 * q4, 2 * (q2 * q3 + q1 * q4),
           2 * (q1 * q3 + q2 * q4), 2 * (q2 * q3 - q1 * q4), -q1 * q1 - q2 * q2 + q3 * q3 + q4 * q4);
  return m;
}

// ---------------------------------------------------------------------------
// Orbit frames
// ---------------------------------------------------------------------------

namespace {
bool isZero(const Vec3& v) { return v.x == 0.0 && v.y == 0.0 && v.z == 0.0; }
}  // namespace

void TurnYawPitch(Mat3& M, double yaw, double pitch) {
  if (yaw != 0.0) M = zrot(-yaw * kDeg) * M;
  if (pitch != 0.0) M = yrot(-pitch * kDeg) * M;
}

Mat3 GetRVMat(const Vec3& r, const Vec3& v, double yaw, double pitch, int mode) {
  const Vec3 rn = vnorm(r), vn = vnorm(v);
  const double f = mode == 2 ? std::acos(clampUnit(dot(rn, vn))) - kPi / 2.0 : 0.0;

  Vec3 h = vnorm(rn * vn);
  if (isZero(h)) h = vnorm(rn * Vec3(0.0, 1.0, 0.0));
  if (isZero(h)) h = vnorm(rn * Vec3(1.0, 0.0, 0.0));
  if (isZero(h)) h = Vec3(0.0, 0.0, 1.0);
  h.z = clampUnit(h.z);

  Mat3 M = yrot(-std::acos(h.z)) * zrot(atan20(h.y, h.x) + kPi);
  const Vec3 u = mxvct(M, v);
  M = zrot(atan20(u.y, u.x)) * M;
  if (mode == 1 || mode == 2) M = xrot(kPi / 2.0) * M;
  if (mode == 2) M = yrot(f) * M;
  TurnYawPitch(M, yaw, pitch);
  return M;
}
