// Compiled by ctest only (never linked): the sky chart's call of AppPos in
// the library's order (topocentric flag sixth), and the same call with the
// flag moved to the front. The window's compile options must refuse the
// second, where the observer's height would silently become the flag.
#include "astro/astrolib.h"

void skyPlace(double t, double lat, double lng, double height, const Vec3& v) {
  double az, el, dist;
#if defined(VORLIX_ORDER_right)
  AppPos(t, 0.0, lat, lng, height, 1, v, az, el, dist);
#else
  AppPos(1, t, 0.0, lat, lng, height, v, az, el, dist);
#endif
  (void)az;
  (void)el;
  (void)dist;
}
