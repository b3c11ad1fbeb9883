// Plate constants of a photograph: the gnomonic projection about a reference
// star, the plate solved from three reference stars, R.A./Dec. of a pixel and
// the pixel of a direction. No Qt, so the astrometry can be tested as tables.
//
// The plate model: with dx = x - refx[0] and dy = y - refy[0] (pixels of the
// picture shown), the standard coordinates about reference star 1 are
//   X = pcx[0] dx + pcx[1] dy + pcx[2],   Y = pcy[0] dx + pcy[1] dy + pcy[2],
// X counted positive toward decreasing R.A., Y toward the north.
#ifndef VORLIX_ENGINE_PLATE_H
#define VORLIX_ENGINE_PLATE_H

#include "engine/vorlixcom.h"

// Standard coordinates (X, Y) of (ra, dec) about the tangent point (ra0, dec0),
// all in radians. Returns the cosine of the angular distance from the tangent
// point: a direction behind the tangent plane gives a value <= 0 and a
// mirrored (X, Y); where its magnitude is below 1e-60 the projection divides
// by 1 instead.
double equplt(double ra0, double dec0, double ra, double dec, double& X, double& Y);

// Solves dx_i c0 + dy_i c1 + c2 = v_i exactly for the three rows
// a[4i..4i+3] = (dx_i, dy_i, 1, v_i) whose row 0 is the origin (dx_0 = dy_0 = 0).
// False, c unwritten, when the three pixels are collinear (the triangle's
// doubled area dx_1 dy_2 - dx_2 dy_1 is below PLATE_MIN_AREA in magnitude).
bool lsqfit(const double* a, double* c);

// Pixel triangles of smaller doubled area (px^2) give no plate.
constexpr double PLATE_MIN_AREA = 1.0;

// Results of getPlateConst.
constexpr int PLATE_OK = 0;
constexpr int PLATE_DEGENERATE = 1;  // collinear or coincident pixels, stars
                                     // that coincide (or lie on one great
                                     // circle) on the sky, or a value that is
                                     // no number: pcx, pcy unchanged

// Plate constants pcx, pcy of d from the three reference stars (picra and
// picdec 0-2 in radians, refx and refy 0-2).
int getPlateConst(WinpData& d);

// R.A. (packed HH.MMSS hours, in [0h, 24h)) and Dec. (packed DD.MMSS degrees)
// of the pixel (x, y) of a calibrated picture.
void getRaDec(const WinpData& d, double x, double y, double& ra, double& dec);

// Directions further than this from the tangent point (cosine) are not placed
// on the picture: a gnomonic projection there is meaningless.
constexpr double PLATE_MIN_COS = 0.17364817766693036;  // cos 80 deg

// The pixel (x, y) of the direction (ra, dec) in radians on a calibrated
// picture, unrounded. False, x and y unwritten, for a direction behind the
// camera or more than 80 deg from the tangent point, or a plate that cannot be
// inverted.
bool platePixel(const WinpData& d, double ra, double dec, double& x, double& y);

#endif
