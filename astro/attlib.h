// Vectors and 3x3 matrices: the value types every computing layer rests on.
// Header-only and allocation-free: these run on every step of every satellite.
#ifndef VORLIX_ASTRO_ATTLIB_H
#define VORLIX_ASTRO_ATTLIB_H

#include <cmath>
#include <ostream>

// Divisors below this give a zero result instead of a division (also for
// negative divisors: every caller passes a length).
inline double attDivFactor(double d) { return d < 1e-100 ? 0.0 : 1.0 / d; }

class Vec3 {
public:
  double x, y, z;
  Vec3() : x(0), y(0), z(0) {}
  Vec3(double xx, double yy, double zz) : x(xx), y(yy), z(zz) {}
  void assign(double xx, double yy, double zz) { x = xx; y = yy; z = zz; }
  // Any index above 2 refers to x; never an error.
  double& operator[](unsigned i) { return i == 1 ? y : (i == 2 ? z : x); }
  double operator[](unsigned i) const { return i == 1 ? y : (i == 2 ? z : x); }
  Vec3& operator+=(const Vec3& b) { x += b.x; y += b.y; z += b.z; return *this; }
  Vec3& operator-=(const Vec3& b) { x -= b.x; y -= b.y; z -= b.z; return *this; }
  // In-place cross product: a becomes a x b.
  Vec3& operator*=(const Vec3& b) {
    double cx = y * b.z - z * b.y, cy = z * b.x - x * b.z, cz = x * b.y - y * b.x;
    x = cx; y = cy; z = cz;
    return *this;
  }
  Vec3& operator*=(double k) { x *= k; y *= k; z *= k; return *this; }
  Vec3& operator/=(double d) { return *this *= attDivFactor(d); }
};

inline double abs(const Vec3& v) { return std::sqrt(v.x * v.x + v.y * v.y + v.z * v.z); }
inline double dot(const Vec3& a, const Vec3& b) { return a.x * b.x + a.y * b.y + a.z * b.z; }
inline Vec3 operator+(const Vec3& a, const Vec3& b) { return Vec3(a.x + b.x, a.y + b.y, a.z + b.z); }
inline Vec3 operator-(const Vec3& a, const Vec3& b) { return Vec3(a.x - b.x, a.y - b.y, a.z - b.z); }
inline Vec3 operator-(const Vec3& a) { return Vec3(-a.x, -a.y, -a.z); }
inline Vec3 operator*(double k, const Vec3& v) { return Vec3(k * v.x, k * v.y, k * v.z); }
inline Vec3 operator*(const Vec3& v, double k) { return Vec3(k * v.x, k * v.y, k * v.z); }
// Cross product.
inline Vec3 operator*(const Vec3& a, const Vec3& b) {
  return Vec3(a.y * b.z - a.z * b.y, a.z * b.x - a.x * b.z, a.x * b.y - a.y * b.x);
}
inline Vec3 operator/(const Vec3& v, double d) { return attDivFactor(d) * v; }
inline Vec3 vnorm(const Vec3& v) { return v / abs(v); }

// atan2 that answers 0 for (0, 0).
inline double atan20(double y, double x) { return (y == 0.0 && x == 0.0) ? 0.0 : std::atan2(y, x); }

// Cartesian to polar (radius, longitude in [0, 2 pi), latitude).
inline Vec3 carpol(const Vec3& v) {
  double rho2 = v.x * v.x + v.y * v.y;
  double r = std::sqrt(rho2 + v.z * v.z);
  double lon = atan20(v.y, v.x);
  if (lon < 0.0) lon += 6.283185307179586;
  double lat = atan20(v.z, std::sqrt(rho2));
  return Vec3(r, lon, lat);
}
// Polar (radius, longitude, latitude) to cartesian.
inline Vec3 polcar(const Vec3& p) {
  double cb = std::cos(p.z);
  return Vec3(p.x * cb * std::cos(p.y), p.x * cb * std::sin(p.y), p.x * std::sin(p.z));
}

inline std::ostream& operator<<(std::ostream& os, const Vec3& v) {
  return os << "[" << v.x << "," << v.y << "," << v.z << "]";
}

class Mat3 {
public:
  double m[9];  // row-major: element (i, j) at 3i + j
  explicit Mat3(double c = 0) { for (double& e : m) e = c; }
  void assign(double a11, double a12, double a13, double a21, double a22, double a23,
              double a31, double a32, double a33) {
    m[0] = a11; m[1] = a12; m[2] = a13;
    m[3] = a21; m[4] = a22; m[5] = a23;
    m[6] = a31; m[7] = a32; m[8] = a33;
  }
  void assign(const double a[3][3]) {
    for (int i = 0; i < 3; i++)
      for (int j = 0; j < 3; j++) m[3 * i + j] = a[i][j];
  }
  // 1-based element access; indices outside 1..3 are ignored (read as 0).
  void PutMij(double value, int i, int j) {
    if (i >= 1 && i <= 3 && j >= 1 && j <= 3) m[3 * (i - 1) + (j - 1)] = value;
  }
  double GetMij(int i, int j) const {
    return (i >= 1 && i <= 3 && j >= 1 && j <= 3) ? m[3 * (i - 1) + (j - 1)] : 0.0;
  }
  double operator()(int i, int j) const { return m[3 * i + j]; }  // 0-based
  Mat3& operator+=(const Mat3& b) { for (int k = 0; k < 9; k++) m[k] += b.m[k]; return *this; }
  Mat3& operator-=(const Mat3& b) { for (int k = 0; k < 9; k++) m[k] -= b.m[k]; return *this; }
  // PRE-multiplication: A *= B makes A equal to B x A.
  inline Mat3& operator*=(const Mat3& b);
  Mat3& operator*=(double k) { for (double& e : m) e *= k; return *this; }
  Mat3& operator/=(double d) { return *this *= attDivFactor(d); }
};

inline Mat3 operator*(const Mat3& a, const Mat3& b) {
  Mat3 c;
  for (int i = 0; i < 3; i++)
    for (int j = 0; j < 3; j++) {
      double s = 0.0;
      for (int k = 0; k < 3; k++) s += a.m[3 * i + k] * b.m[3 * k + j];
      c.m[3 * i + j] = s;
    }
  return c;
}
inline Mat3& Mat3::operator*=(const Mat3& b) { *this = b * *this; return *this; }

inline Mat3 mxcon(double c) { return Mat3(c); }
inline Mat3 mxidn() { Mat3 a; a.m[0] = a.m[4] = a.m[8] = 1.0; return a; }
inline Mat3 mxtrn(const Mat3& a) {
  Mat3 t;
  for (int i = 0; i < 3; i++)
    for (int j = 0; j < 3; j++) t.m[3 * j + i] = a.m[3 * i + j];
  return t;
}
inline double mxdet(const Mat3& a) {
  const double* e = a.m;
  return e[0] * e[4] * e[8] + e[1] * e[5] * e[6] + e[2] * e[3] * e[7]
       - e[2] * e[4] * e[6] - e[5] * e[0] * e[7] - e[3] * e[1] * e[8];
}
inline Mat3 operator+(const Mat3& a, const Mat3& b) { Mat3 c(a); c += b; return c; }
inline Mat3 operator-(const Mat3& a, const Mat3& b) { Mat3 c(a); c -= b; return c; }
inline Mat3 operator*(double k, const Mat3& a) { Mat3 c(a); c *= k; return c; }
inline Mat3 operator*(const Mat3& a, double k) { Mat3 c(a); c *= k; return c; }
inline Mat3 operator/(const Mat3& a, double d) { Mat3 c(a); c /= d; return c; }
inline Vec3 mxvct(const Mat3& a, const Vec3& v) {
  const double* e = a.m;
  return Vec3(e[0] * v.x + e[1] * v.y + e[2] * v.z,
              e[3] * v.x + e[4] * v.y + e[5] * v.z,
              e[6] * v.x + e[7] * v.y + e[8] * v.z);
}

// Elementary frame rotations by +a (a fixed vector turns by -a).
inline Mat3 xrot(double a) {
  double c = std::cos(a), s = std::sin(a);
  Mat3 r; r.assign(1, 0, 0, 0, c, s, 0, -s, c); return r;
}
inline Mat3 yrot(double a) {
  double c = std::cos(a), s = std::sin(a);
  Mat3 r; r.assign(c, 0, -s, 0, 1, 0, s, 0, c); return r;
}
inline Mat3 zrot(double a) {
  double c = std::cos(a), s = std::sin(a);
  Mat3 r; r.assign(c, s, 0, -s, c, 0, 0, 0, 1); return r;
}

inline std::ostream& operator<<(std::ostream& os, const Mat3& a) {
  for (int i = 0; i < 3; i++)
    os << "[" << a.m[3 * i] << "," << a.m[3 * i + 1] << "," << a.m[3 * i + 2] << "]" << std::endl;
  return os;
}

// ---------------------------------------------------------------------------
// Attitude conversions (frame rotations as xrot/yrot/zrot; angles in radians)
// ---------------------------------------------------------------------------

// xrot(g) x zrot(b) x yrot(a): a about y, then b about the new z, then g about
// the new x.
Mat3 csmx(double a, double b, double g);
// Inverse of csmx (b in [-pi/2, pi/2]).
void gpyr(const Mat3& M, double& a, double& b, double& g);
// The angles with which csmx(a, b, any) turns the x axis into the direction of v.
void vcpy(Vec3& v, double& a, double& b);
// Cone angle of v from +x (0..pi) and clock angle from -z toward +y.
void vcrp(Vec3& v, double& a, double& b);
// Euler axis (unit vector) and angle (in [0, pi]) of the frame rotation M.
void mxevc(const Mat3& M, double& angle, Vec3& axis);
// Frame rotation by angle about the unit vector axis (not normalised here).
Mat3 mxrox(double& angle, Vec3& axis);

// ---------------------------------------------------------------------------
// Orbit frames (angles of the attitude in degrees)
// ---------------------------------------------------------------------------

// Rotation from the equatorial frame into the orbit frame of a satellite at r
// with velocity v (any units), then turned by yaw and pitch (deg).
// mode 0: x along the velocity's in-plane direction, z along the orbit normal;
// mode 1: the same turned by 90 deg about x (z towards the centre side);
// mode 2: as mode 1 and pitched by the flight-path angle.
Mat3 GetRVMat(const Vec3& r, const Vec3& v, double yaw, double pitch, int mode);
// Adds the yaw and pitch turns (deg) of an attitude to the frame rotation M:
// M := yrot(-pitch) zrot(-yaw) M (a zero angle adds nothing).
void TurnYawPitch(Mat3& M, double yaw, double pitch);

#endif
