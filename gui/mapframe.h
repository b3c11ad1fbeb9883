// Chart frames and the pure projections of the world map: latitude and
// longitude to pixels and back, and the one rounding helper every chart uses.
// QtCore only, so the projections can be tested as plain tables.
#ifndef VORLIX_GUI_MAPFRAME_H
#define VORLIX_GUI_MAPFRAME_H

#include <QPoint>

// Map kinds (WinpData::mapprj).
enum MapKind { MAP_SIMPLE = 0, MAP_NORTH = 1, MAP_SOUTH = 2, MAP_PHYSICAL = 3 };

// The plot's geometry in pixels. The chart (world map or sky) fills the
// top left corner, a black strip lies on its right, and the
// info panel runs below both.
constexpr int PLOT_W = 860;             // width of the composed plot
constexpr int PLOT_H = 501;             // height of the composed plot
constexpr int CHART_W = 721;            // width of the chart, the map image and the track layer
constexpr int CHART_H = 361;            // height of the chart; its edge lines and the horizon
                                        // view's bottom lie on row CHART_H itself
constexpr int PANEL_TOP = CHART_H + 1;  // first row of the info panel
constexpr int PANEL_H = 140;            // height of the info panel

// Values beyond this size (pixels) are taken as off the chart.
constexpr double PIX_LIMIT = 1e6;

// Rounds half away from zero into out. A value that is not finite or lies
// beyond +-PIX_LIMIT gives false and leaves out unchanged: the caller then
// returns its off-chart sentinel instead of converting an undefined value.
bool pixRound(double v, int& out);

// What a projection needs to know of the chart it draws on: centre pixel,
// scales, the plot size (for the off-chart sentinel) and the chart kind.
struct MapFrame {
  int cx = 360, cy = 180;         // px, chart centre
  double sclx = 2.0, scly = 2.0;  // px per unit of the projection
  int pltw = PLOT_W, plth = PLOT_H;  // px, plot size
  int mapprj = MAP_SIMPLE;        // world map kind
  double centmer = 0.0;           // deg, central meridian, kept in [0, 360)
  // Sky chart (used by the sky projections).
  int skyprj = 0;                 // 0 zenith, otherwise horizon view
  double skaz = 0.0;              // deg, centre azimuth of the horizon view
  double h0 = 0.0;                // deg, horizon dip seen from a satellite

  // The sentinel pixel of a point that is not on the chart: x = pltw + 3
  // (every caller tests x - 2 > pltw before drawing).
  QPoint offChart() const { return QPoint(pltw + 3, plth + 3); }
  // Centre plus the rounded offsets (dx, dy) in pixels; offChart() when
  // either offset is not a usable number.
  QPoint at(double dx, double dy) const;
};

// A central meridian reduced into [0, 360); 0 for a value that is no number.
double reducedMeridian(double centmer);

// The stereographic chart around a pole or the zenith, inverted: bearing and
// altitude (degrees) of the offset (u, v) from the centre, in units of the
// projection, where u = -r sin(bearing), v = r cos(bearing) and
// r = 2 cos(alt) / (1 + sin(alt)). The centre itself is bearing 0, altitude 90.
void stereoInverse(double u, double v, double& bearing, double& alt);

// World map kinds 0 to 3 (MAP_SIMPLE ... MAP_PHYSICAL).
// Pixel of the place (lat, lng) in degrees on the world map of frame f.
QPoint PxCoord(const MapFrame& f, double lat, double lng);
// Place of pixel p on the world map of frame f (degrees). Outside the polar
// map's hemisphere the latitude is -100.
void CoordPx(const MapFrame& f, const QPoint& p, double& lat, double& lng);

// The frames vRefresh sets up for the world maps.
MapFrame worldFrame(int mapprj, double centmer, int pltw = PLOT_W, int plth = PLOT_H);

#endif
