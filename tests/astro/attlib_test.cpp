#include <gtest/gtest.h>
#include <sstream>
#include "astro/attlib.h"

TEST(Attlib, PreMultiplyingCompoundAssignment) {
  Mat3 a = xrot(0.3), b = zrot(1.1);
  Mat3 expected = b * a;
  a *= b;
  for (int k = 0; k < 9; k++) EXPECT_DOUBLE_EQ(a.m[k], expected.m[k]);
}
TEST(Attlib, DivisionGuardAndIndexQuirk) {
  Vec3 v(1, 2, 3);
  EXPECT_EQ(v[7], 1.0);
  v[7] = 5;
  EXPECT_EQ(v.x, 5.0);
  Vec3 z = Vec3(3, 4, 0) / -2.0;
  EXPECT_EQ(abs(z), 0.0);
  EXPECT_EQ(abs(vnorm(Vec3(1e-101, 0, 0))), 0.0);
}
TEST(Attlib, PolarFormAndPrinting) {
  Vec3 p = carpol(Vec3(0, -1, 0));
  EXPECT_DOUBLE_EQ(p.x, 1.0);
  EXPECT_DOUBLE_EQ(p.y, 1.5 * M_PI);
  EXPECT_EQ(abs(carpol(Vec3(0, 0, 0))), 0.0);
  Vec3 back = polcar(carpol(Vec3(1, -2, 3)));
  EXPECT_NEAR(back.x, 1, 1e-15); EXPECT_NEAR(back.y, -2, 1e-15); EXPECT_NEAR(back.z, 3, 1e-15);
  Vec3 r = mxvct(zrot(0.5), Vec3(1, 0, 0));
  EXPECT_NEAR(r.x, std::cos(0.5), 1e-16); EXPECT_NEAR(r.y, -std::sin(0.5), 1e-16);
  std::ostringstream os;
  os << Vec3(1, 2, 3) << "|" << mxidn();
  EXPECT_EQ(os.str(), "[1,2,3]|[1,0,0]\n[0,1,0]\n[0,0,1]\n");
  Mat3 m = mxidn();
  EXPECT_EQ(m.GetMij(0, 1), 0.0);
  m.PutMij(5.0, 4, 1);
  EXPECT_EQ(m.GetMij(1, 1), 1.0);
}

// ---------------------------------------------------------------------------
// Edge cases as tables
// ---------------------------------------------------------------------------

#include <cmath>
#include <string>

#include "support/csv.h"

namespace {
void expectMatNear(const Mat3& a, const Mat3& b, double tol, const std::string& what) {
  for (int k = 0; k < 9; k++) EXPECT_NEAR(a.m[k], b.m[k], tol) << what << " element " << k;
}
}  // namespace

TEST(Attlib, GuardsAndPolarForms) {
  struct { Vec3 v; Vec3 polar; } cases[] = {
      {Vec3(0, -1, 0), Vec3(1, 1.5 * M_PI, 0)},
      {Vec3(0, 0, 0), Vec3(0, 0, 0)},
      {Vec3(-2, 0, 0), Vec3(2, M_PI, 0)},
      {Vec3(0, 0, -3), Vec3(3, 0, -M_PI / 2)},
      {Vec3(1, 1, std::sqrt(2.0)), Vec3(2, M_PI / 4, M_PI / 4)}};
  for (auto& c : cases) {
    Vec3 p = carpol(c.v);
    for (unsigned i = 0; i < 3; i++) EXPECT_NEAR(p[i], c.polar[i], 1e-15) << c.v;
    Vec3 back = polcar(p);
    for (unsigned i = 0; i < 3; i++) EXPECT_NEAR(back[i], c.v[i], 1e-15) << c.v;
  }
  EXPECT_EQ(atan20(0, 0), 0.0);
  EXPECT_EQ(atan20(0, -1), M_PI);
  // Zero, tiny, negative and NaN divisors.
  for (Vec3 v : {vnorm(Vec3(0, 0, 0)), vnorm(Vec3(1e-101, 0, 0)), Vec3(3, 4, 0) / -2.0,
                 Vec3(3, 4, 0) / 1e-101}) {
    EXPECT_EQ(v.x, 0.0);
    EXPECT_EQ(v.y, 0.0);
  }
  EXPECT_TRUE(std::isnan((Vec3(1, 0, 0) / NAN).x));
  Vec3 w(1, 2, 3);
  w /= 0.0;
  EXPECT_EQ(abs(w), 0.0);
  Mat3 m = mxidn() / -1.0;
  EXPECT_EQ(m.m[0], 0.0);
  EXPECT_NEAR(abs(vnorm(Vec3(3, 4, 12))), 1.0, 1e-15);
  Vec3 c(1, 0, 0);
  c *= Vec3(0, 1, 0);
  EXPECT_EQ(c.z, 1.0);
  EXPECT_EQ((Vec3(0, 1, 0) * Vec3(1, 0, 0)).z, -1.0);
}

TEST(Attlib, MatrixAlgebra) {
  Mat3 a;
  a.assign(2, -1, 0.5, 3, 4, -2, 1, 0, 7);
  const double arr[3][3] = {{2, -1, 0.5}, {3, 4, -2}, {1, 0, 7}};
  Mat3 b;
  b.assign(arr);
  expectMatNear(a, b, 0, "array assign");
  EXPECT_NEAR(mxdet(a), 2 * (28 - 0) + 1 * (21 + 2) + 0.5 * (0 - 4), 1e-12);
  EXPECT_EQ(a.GetMij(2, 3), -2.0);
  EXPECT_EQ(a.GetMij(2, 4), 0.0);
  a.PutMij(9.0, 3, 1);
  EXPECT_EQ(a.m[6], 9.0);
  a.PutMij(5.0, 0, 2);
  a.PutMij(5.0, 2, 0);
  EXPECT_EQ(a.m[1], -1.0);
  EXPECT_EQ(a.m[3], 3.0);
  // Rotations are orthonormal with determinant 1; transposes invert them.
  for (Mat3 r : {xrot(0.7), yrot(-2.1), zrot(3.0), xrot(0.2) * zrot(1.1) * yrot(-0.4)}) {
    EXPECT_NEAR(mxdet(r), 1.0, 1e-15);
    expectMatNear(r * mxtrn(r), mxidn(), 1e-15, "orthonormal");
  }
  // Frame rotation: a vector on x seen from a frame turned by +a about z.
  Vec3 v = mxvct(zrot(0.5), Vec3(1, 0, 0));
  EXPECT_NEAR(v.x, std::cos(0.5), 1e-16);
  EXPECT_NEAR(v.y, -std::sin(0.5), 1e-16);
}

// xrot/yrot/zrot and mxrox are the transposes of scipy's active rotations.
TEST(Attlib, RotationsMatchScipy) {
  auto rows = readCsv("rotations-scipy.csv");
  ASSERT_EQ(rows.size(), 36u);
  for (auto& r : rows) {
    double angle = std::stod(r[0]);
    Vec3 axis(std::stod(r[1]), std::stod(r[2]), std::stod(r[3]));
    Mat3 ref;
    for (int k = 0; k < 9; k++) ref.m[k] = std::stod(r[4 + k]);
    std::string what = r[0] + " about " + r[1] + "," + r[2] + "," + r[3];
    expectMatNear(mxrox(angle, axis), ref, 1e-15, what);
    if (axis.x == 1) expectMatNear(xrot(angle), ref, 1e-15, what);
    if (axis.y == 1) expectMatNear(yrot(angle), ref, 1e-15, what);
    if (axis.z == 1) expectMatNear(zrot(angle), ref, 1e-15, what);
    // Euler axis and angle: the same rotation (q and -q describe it alike).
    double a2;
    Vec3 ax2;
    mxevc(ref, a2, ax2);
    EXPECT_GE(a2, 0.0);
    EXPECT_LE(a2, 2 * M_PI);
    EXPECT_NEAR(abs(ax2), 1.0, 1e-14);
    expectMatNear(mxrox(a2, ax2), ref, 1e-12, what + " via mxevc");
  }
}

TEST(Attlib, AttitudeAngles) {
  struct { double a, b, g; } angles[] = {
      {0.3, -0.2, 1.1}, {-3.0, 1.5, -3.1}, {2.5, -1.5, 0.0}, {0.0, 0.0, 0.0}, {-0.7, 0.9, 3.0}};
  for (auto& c : angles) {
    Mat3 m = csmx(c.a, c.b, c.g);
    expectMatNear(m, xrot(c.g) * zrot(c.b) * yrot(c.a), 1e-15, "csmx");
    double a, b, g;
    gpyr(m, a, b, g);
    EXPECT_NEAR(a, c.a, 1e-12);
    EXPECT_NEAR(b, c.b, 1e-12);
    EXPECT_NEAR(g, c.g, 1e-12);
    // vcpy gives the angles that turn the x axis of the frame into v.
    Vec3 x = mxvct(mxtrn(m), Vec3(1, 0, 0));
    vcpy(x, a, b);
    EXPECT_NEAR(a, c.a, 1e-12);
    EXPECT_NEAR(b, c.b, 1e-12);
  }
  double a, b;
  Vec3 zero(0, 0, 0), x(1, 0, 0), ny(0, 2, 0), mz(0, 0, -1);
  vcpy(zero, a, b);
  EXPECT_EQ(a, 0.0);
  EXPECT_EQ(b, 0.0);
  vcrp(x, a, b);
  EXPECT_EQ(a, 0.0);
  EXPECT_EQ(b, 0.0);
  vcrp(ny, a, b);
  EXPECT_NEAR(a, M_PI / 2, 1e-15);
  EXPECT_NEAR(b, M_PI / 2, 1e-15);
  vcrp(mz, a, b);
  EXPECT_NEAR(a, M_PI / 2, 1e-15);
  EXPECT_EQ(b, 0.0);
}

TEST(Attlib, EulerAxisEdgeCases) {
  double angle;
  Vec3 axis;
  mxevc(mxidn(), angle, axis);
  EXPECT_EQ(angle, 0.0);
  EXPECT_EQ(axis.z, 1.0);
  double half = 0.5;
  Vec3 z(0, 0, 1);
  mxevc(mxrox(half, z), angle, axis);
  EXPECT_NEAR(angle, 0.5, 1e-15);
  EXPECT_EQ(axis.z, 1.0);
  // Elements that rounding carries past 1 must not give NaN.
  Mat3 m = mxidn();
  m.m[0] = m.m[4] = m.m[8] = 1.0 + 4e-16;
  mxevc(m, angle, axis);
  EXPECT_EQ(angle, 0.0);
  m = zrot(M_PI);
  m.m[8] = 1.0 + 2e-16;
  mxevc(m, angle, axis);
  EXPECT_NEAR(angle, M_PI, 1e-7);
  double a, b, g;
  m = csmx(0.2, M_PI / 2, 0.1);
  m.m[1] = 1.0 + 2e-16;
  gpyr(m, a, b, g);
  EXPECT_EQ(b, M_PI / 2);
}
