// Plate constants of a photograph from three reference stars.
#include "engine/plate.h"

#include <algorithm>
#include <cmath>

#include "astro/constants.h"

namespace {

// Doubled signed area of the triangle (0, 0), (x1, y1), (x2, y2).
double area2(double x1, double y1, double x2, double y2) { return x1 * y2 - x2 * y1; }

}  // namespace

double equplt(double ra0, double dec0, double ra, double dec, double& X, double& Y) {
  const double cd = std::cos(dec), sd = std::sin(dec);
  const double cd0 = std::cos(dec0), sd0 = std::sin(dec0);
  const double c = std::cos(ra - ra0);
  const double cosc = cd0 * cd * c + sd0 * sd;
  const double D = std::fabs(cosc) < 1e-60 ? 1.0 : cosc;
  X = -cd * std::sin(ra - ra0) / D;
  Y = -(cd * sd0 * c - sd * cd0) / D;
  return cosc;
}

bool lsqfit(const double* a, double* c) {
  // Row 0 is the origin, so c2 is its value and (c0, c1) solve the 2 x 2
  // system of rows 1 and 2 (Cramer's rule).
  const double dx1 = a[4], dy1 = a[5], v1 = a[7] - a[3];
  const double dx2 = a[8], dy2 = a[9], v2 = a[11] - a[3];
  const double det = area2(dx1, dy1, dx2, dy2);
  if (!(std::fabs(det) >= PLATE_MIN_AREA)) return false;
  c[0] = (v1 * dy2 - v2 * dy1) / det;
  c[1] = (dx1 * v2 - dx2 * v1) / det;
  c[2] = a[3];
  return true;
}

int getPlateConst(WinpData& d) {
  double X[3], Y[3], dx[3], dy[3];
  for (int i = 0; i < 3; ++i) {
    if (!std::isfinite(d.picra[i]) || !std::isfinite(d.picdec[i])) return PLATE_DEGENERATE;
    equplt(d.picra[0], d.picdec[0], d.picra[i], d.picdec[i], X[i], Y[i]);
    dx[i] = static_cast<double>(d.refx[i]) - d.refx[0];
    dy[i] = static_cast<double>(d.refy[i]) - d.refy[0];
  }
  // The stars on the sky, measured in pixels at the plate's rough scale (the
  // longest side on the sky over the longest side in pixels): a sky triangle
  // of less than one square pixel means two stars in one place or three on
  // one great circle, and the plate would fold the picture onto a line.
  const double skySide = std::max({std::hypot(X[1], Y[1]), std::hypot(X[2], Y[2]),
                                   std::hypot(X[2] - X[1], Y[2] - Y[1])});
  const double pixSide = std::max({std::hypot(dx[1], dy[1]), std::hypot(dx[2], dy[2]),
                                   std::hypot(dx[2] - dx[1], dy[2] - dy[1])});
  if (!(skySide > 0.0) || !(pixSide > 0.0)) return PLATE_DEGENERATE;
  const double scale = skySide / pixSide;  // rad/px
  if (!(std::fabs(area2(X[1], Y[1], X[2], Y[2])) >= PLATE_MIN_AREA * scale * scale))
    return PLATE_DEGENERATE;

  double a[12];
  double pcx[3], pcy[3];
  for (int i = 0; i < 3; ++i) {
    a[4 * i] = dx[i];
    a[4 * i + 1] = dy[i];
    a[4 * i + 2] = 1.0;
    a[4 * i + 3] = X[i];
  }
  if (!lsqfit(a, pcx)) return PLATE_DEGENERATE;
  for (int i = 0; i < 3; ++i) a[4 * i + 3] = Y[i];
  if (!lsqfit(a, pcy)) return PLATE_DEGENERATE;
  for (int i = 0; i < 3; ++i) {
    d.pcx[i] = pcx[i];
    d.pcy[i] = pcy[i];
  }
  return PLATE_OK;
}

void getRaDec(const WinpData& d, double x, double y, double& ra, double& dec) {
  const double dx = x - d.refx[0], dy = y - d.refy[0];
  const double X = d.pcx[0] * dx + d.pcx[1] * dy + d.pcx[2];
  const double Y = d.pcy[0] * dx + d.pcy[1] * dy + d.pcy[2];
  const double dec0 = d.picdec[0];
  double q = std::cos(dec0) - std::sin(dec0) * Y;
  if (std::fabs(q) < 1e-60) q = 1.0;
  double a = std::fmod(std::atan2(-X, q) + d.picra[0], kTwoPi);
  if (a < 0.0) a += kTwoPi;
  if (a >= kTwoPi) a = 0.0;  // -tiny + 2 pi rounds up to 2 pi
  const double s = (std::cos(dec0) * Y + std::sin(dec0)) / std::sqrt(X * X + 1.0 + Y * Y);
  const double b = std::asin(std::max(-1.0, std::min(1.0, s)));
  ra = DegFDms(12.0 * a / kPi);
  dec = DegFDms(180.0 * b / kPi);
  // Seconds that round up to the next minute can carry a reading just below
  // 24h to 24h: that is 0h.
  if (ra >= 24.0) ra -= 24.0;
}

bool platePixel(const WinpData& d, double ra, double dec, double& x, double& y) {
  double X, Y;
  if (!(equplt(d.picra[0], d.picdec[0], ra, dec, X, Y) > PLATE_MIN_COS)) return false;
  // The plate model inverted: [pcx0 pcx1; pcy0 pcy1] (dx, dy) = (X - pcx2, Y - pcy2).
  const double det = d.pcx[0] * d.pcy[1] - d.pcx[1] * d.pcy[0];
  if (!std::isfinite(det) || det == 0.0) return false;
  const double u = X - d.pcx[2], v = Y - d.pcy[2];
  const double dx = (u * d.pcy[1] - d.pcx[1] * v) / det;
  const double dy = (d.pcx[0] * v - d.pcy[0] * u) / det;
  if (!std::isfinite(dx) || !std::isfinite(dy)) return false;
  x = dx + d.refx[0];
  y = dy + d.refy[0];
  return true;
}
