// Painters of the world map background: coastlines, night shading, grid and
// the observer. They draw on any painter through a MapFrame.
#ifndef VORLIX_GUI_MAPDRAW_H
#define VORLIX_GUI_MAPDRAW_H

#include "gui/mapframe.h"

class QPainter;
struct WinpData;

// The coastline table (gui/mapdata.cpp, generated): pairs of latitude and
// longitude in tenths of a degree; a pair with latitude MAPLAND_PENUP lifts
// the pen.
constexpr int MAPLAND_PENUP = 1111;
extern const int MapLandTable[][2];
extern const int MapLandCount;

// Coastline polylines of table (n pairs). A segment is drawn only when its
// ends lie less than 200 px apart in x (so no line runs across the date line
// or the map edge). The polar maps get the equator too.
void MapLand(QPainter& p, const MapFrame& f, const int (*table)[2], int n);
inline void MapLand(QPainter& p, const MapFrame& f) { MapLand(p, f, MapLandTable, MapLandCount); }

// Latitude (deg) of the night boundary on the meridian lng (deg) at MJD t:
// night lies south of it when the Sun's declination is north, and north of it
// otherwise (sunNorth tells which).
double nightLimit(double t, double lng, bool& sunNorth);

// Night shading in the night colour of the background mgrey at curmjd: one
// vertical span per meridian on the plain maps, points every half degree on
// the polar maps.
void NightShade(QPainter& p, const MapFrame& f, const WinpData& d);

// The map background: night shading (mpnight), grid (mgrid), coastlines
// (unless the physical image is shown without night shading) and the observer.
void PlotWorld(QPainter& p, const MapFrame& f, const WinpData& d);

#endif
