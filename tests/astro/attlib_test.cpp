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
