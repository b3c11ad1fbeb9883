// The sky chart and the Sun/Moon close-up as pure functions over a MapFrame:
// projections of elevation and azimuth to pixels and back, the places of the
// stars and bodies for an observer, and the geometry of the close-up (the
// Sun's position angle on the Moon, the north line). QtCore and the engine
// only, so all of it can be tested as plain tables.
#ifndef VORLIX_GUI_SKYFRAME_H
#define VORLIX_GUI_SKYFRAME_H

#include <QPoint>

#include "astro/astrolib.h"
#include "gui/mapframe.h"

// The star catalogue (gui/stardata.cpp, generated): rows of R.A. (packed
// hours HH.MMSS), Dec. (packed degrees DD.MMSS) and V magnitude, mean equator
// and equinox of SKY_STAR_EPOCH, sorted by R.A.
extern const double SkyStars[][3];
extern const int SkyStarCount;
constexpr double SKY_STAR_EPOCH = -0.015;  // Julian centuries from J2000 (1998.5)

// Earth radii per astronomical unit, as the chart has always used it.
constexpr double SKY_AU = 23454.77992;

// Scales of the two views (vRefresh sets them on the view).
constexpr double ZENITH_SCALE = 180 / 1.678;        // px per unit of 2 tan(z/2)
constexpr double HORIZON_SCALE_X = 360 / 1.414;     // px per Mollweide unit
constexpr double HORIZON_SCALE_Y = 255.30410183875532;
// The close-up: 504 px per degree.
constexpr double CLOSEUP_SCALE = 180 * 2.8;
// The Sun's disc on the close-up (deg): a fixed radius.
constexpr double CLOSEUP_SUN_RADIUS = 0.265;

// The frame vRefresh sets up for the sky chart: zenith view (skyprj 0,
// centre (360, 180)) or horizon view (any other skyprj, centre (360, 361),
// centred on azimuth skaz). h0: the horizon dip (deg, 0 or negative).
MapFrame skyFrame(int skyprj, double skaz, double h0, int pltw = PLOT_W, int plth = PLOT_H);
// The dip of the horizon (deg, 0 or negative) seen from height metres above
// the ellipsoid; 0 for a height that is not positive or no number.
double horizonDip(double height);

// The Mollweide auxiliary angle t of t + sin t = pi sin(phi) (rad), solved
// to convergence; phi is clamped into [-pi/2, pi/2].
double mollweideAngle(double phi);

// Pixel of the direction (el, az) in degrees on the sky chart of frame f;
// f.offChart() when it is below the horizon h0 or not on the chart.
QPoint PxSky(const MapFrame& f, double el, double az);
// Direction (degrees; az 0..360) of pixel p on the sky chart of frame f.
// false, with el = -100, when the pixel shows no sky: below the horizon,
// outside the horizon view's ellipse, or off the chart area.
bool SkyPx(const MapFrame& f, const QPoint& p, double& az, double& el);

// Pixel of a satellite at (az, el) on the close-up of a body at azimuth A
// and elevation E (all degrees); (0, -10) when it is off the chart.
QPoint PxCdSun(const MapFrame& f, double A, double E, double az, double el);
constexpr int CLOSEUP_OFF_Y = -10;

// The position angle P (rad) of the Sun on the Moon's close-up: the Sun's
// bearing from the Moon, from up (the zenith side) towards larger azimuth,
// minus pi/2, so that the limb point at angle a = pi/2 faces the Sun. All
// angles in radians.
double sunPositionAngle(double sunEl, double sunAz, double moonEl, double moonAz);
// The angle (rad) of the north line on the close-up of a body at elevation E
// and azimuth A (rad) for an observer at latitude phi (rad): from up towards
// larger azimuth (the parallactic angle, positive west of the meridian).
double northAngle(double E, double A, double phi);

// Azimuth and elevation (rad; azimuth in (-pi, pi]) of catalogue star k in
// the observer's frame obs (horframe of the time and place, height 0): the
// catalogue place precessed with prec (pmatequ from SKY_STAR_EPOCH to the
// date), geocentric.
void starAzEl(int k, const Mat3& prec, const HorFrame& obs, double& az, double& el);

// The bodies of the chart, in drawing order.
enum SkyBody { SKY_SUN, SKY_MOON, SKY_MERCURY, SKY_VENUS, SKY_MARS, SKY_JUPITER, SKY_SATURN,
               SKY_BODIES };
// Azimuth and elevation (rad) of the bodies at MJD t (UT), ttut = TT - UT in
// seconds, seen from (lat, lng in radians, height in metres): topocentric,
// mean equator of date.
void bodyAzEl(double t, double ttut, double lat, double lng, double height, double az[SKY_BODIES],
              double el[SKY_BODIES]);

#endif
