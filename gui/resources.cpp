// Registration of the compiled-in resources and the About text.
#include "gui/resources.h"

#include <QCoreApplication>

void initVorlixResources() {
  static bool done = false;
  if (done) return;
  done = true;
  Q_INIT_RESOURCE(vorlix);
}

QString aboutText() {
  return QCoreApplication::translate(
      "VorlixApp",
      "Vorlix 11.8\n\n"
      "Predicts where Earth satellites are and when they can be seen: pass lists, "
      "pass details, flares, transits, ground tracks, sky charts, orbit editing, launch "
      "and manoeuvre planning and orbit determination.\n\n"
      "Orbits come from NORAD two-line element sets (TLE files) and are propagated with "
      "a Kepler orbit with J2, the SGP4/SDP4 model or numerical integration.\n\n"
      "Data: the world map is resampled from NASA's Blue Marble image, coastlines come "
      "from the Micro World Data Bank II, stars from the Yale Bright Star Catalogue, and "
      "the tool-bar icons partly from the Tango icon theme (public domain). The element "
      "sets shipped as visual.txt are bright satellites of January 2009: load current "
      "elements before relying on any prediction.\n\n"
      "Built with Qt %1.")
      .arg(QLatin1String(qVersion()));
}
