// Sun theory (provisional: filled in by the next commit).
#include "astro/astrolib.h"

Vec3 Sun200::position(double T) { Vec3 r, v; state(T, r, v); return r; }
void Sun200::state(double, Vec3& r, Vec3& v) { r.assign(0, 0, 0); v.assign(0, 0, 0); }
void Sun200::addthe(double c1, double s1, double c2, double s2, double& c, double& s) {
  c = c1 * c2 - s1 * s2; s = s1 * c2 + c1 * s2;
}
void Sun200::term(int, int, int, double, double, double, double, double, double) {}
void Sun200::pertven() {}
void Sun200::pertmar() {}
void Sun200::pertjup() {}
void Sun200::pertsat() {}
void Sun200::pertmoo() {}
Vec3 QuickSun(double) { return Vec3(0, 0, 0); }
