// Moon theory (provisional: filled in by the next commit).
#include "astro/astrolib.h"

Vec3 Moon200::position(double) { return Vec3(0, 0, 0); }
double Moon200::sinus(double) { return 0; }
void Moon200::term(int, int, int, int, double& x, double& y) { x = 1; y = 0; }
void Moon200::addsol(double, double, double, double, int, int, int, int) {}
void Moon200::solar1() {}
void Moon200::solar2() {}
void Moon200::solar3() {}
void Moon200::addn(double, int, int, int, int, double&, double& x, double& y) { x = 1; y = 0; }
void Moon200::solarn(double& n) { n = 0; }
void Moon200::planetary(double) {}
void Moon200::addthe(double c1, double s1, double c2, double s2, double& c, double& s) {
  c = c1 * c2 - s1 * s2; s = s1 * c2 + c1 * s2;
}
void Moon200::minit(double) {}
void Moon200::long_periodic(double) {}
