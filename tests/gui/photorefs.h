// Shared by the photograph tests and benchmark: the references of
// tests/data/gui/photo-refs.txt (astropy plates of Orion's belt, the ISS on
// the synthetic photograph, two observations of the ISS), the synthetic
// photograph itself and the record set up for a photograph.
#ifndef VORLIX_TESTS_GUI_PHOTOREFS_H
#define VORLIX_TESTS_GUI_PHOTOREFS_H

#include <QColor>
#include <QImage>
#include <QPainter>
#include <cmath>
#include <fstream>
#include <map>
#include <sstream>
#include <string>
#include <vector>

#include "engine/vorlixcom.h"

namespace photo {

constexpr double kPi = 3.14159265358979323846;
constexpr double kDeg = kPi / 180.0;

struct Star {
  int hr;
  double ra, dec, v;  // deg, J2000
};
// A star on a plate: its exact pixel, its rounded pixel and the sky position
// astropy gives for the rounded pixel.
struct OnPlate {
  int hr;
  double x, y;
  int px, py;
  double ra, dec;  // deg
};
struct Plate {
  std::string name;
  int w = 0, h = 0;
  double ra0 = 0, dec0 = 0, crpix1 = 0, crpix2 = 0, cd[4] = {};
  std::vector<OnPlate> stars;
  const OnPlate* star(int hr) const {
    for (const OnPlate& s : stars)
      if (s.hr == hr) return &s;
    return nullptr;
  }
  // deg/px, the mean of the two axes.
  double scale() const {
    return std::sqrt(std::fabs(cd[0] * cd[3] - cd[1] * cd[2]));
  }
};
// The ISS on the photograph: time (MJD UTC), observer, skyfield's R.A./Dec.
// (deg) and astropy's pixel of it.
struct Sat {
  double mjd, lat, lng, h, ra, dec, x, y;
};
// Two observations of the ISS dt seconds apart (az/el and R.A./Dec., deg).
struct Obs {
  double mjd, dt, lat, lng, h, az1, el1, az2, el2, ra1, dec1, ra2, dec2;
};
// The ISS at the two times: distances, osculating a (km), plane (deg).
struct Truth {
  double r1, r2, a, inc, node;
};
struct Refs {
  std::map<int, Star> stars;
  std::vector<Plate> plates;
  Sat sat{};
  Obs obs{};
  Truth truth{};
  const Plate& plate(const std::string& name) const {
    for (const Plate& p : plates)
      if (p.name == name) return p;
    static const Plate none;
    return none;
  }
};

inline Refs load(const std::string& dataDir) {
  Refs r;
  std::ifstream f(dataDir + "/gui/photo-refs.txt");
  std::string line;
  auto plate = [&r](const std::string& name) -> Plate* {
    for (Plate& p : r.plates)
      if (p.name == name) return &p;
    return nullptr;
  };
  while (std::getline(f, line)) {
    std::istringstream s(line);
    std::string tag, name;
    s >> tag;
    if (tag == "S") {
      Star st;
      s >> st.hr >> st.ra >> st.dec >> st.v;
      if (s) r.stars[st.hr] = st;
    } else if (tag == "P") {
      Plate p;
      s >> p.name >> p.w >> p.h >> p.ra0 >> p.dec0 >> p.crpix1 >> p.crpix2 >> p.cd[0] >> p.cd[1] >>
          p.cd[2] >> p.cd[3];
      if (s) r.plates.push_back(p);
    } else if (tag == "X") {
      OnPlate o{};
      s >> name >> o.hr >> o.x >> o.y;
      if (Plate* p = plate(name)) p->stars.push_back(o);
    } else if (tag == "Q") {
      int hr;
      OnPlate q{};
      s >> name >> hr >> q.px >> q.py >> q.ra >> q.dec;
      if (Plate* p = plate(name))
        for (OnPlate& o : p->stars)
          if (o.hr == hr) {
            o.px = q.px;
            o.py = q.py;
            o.ra = q.ra;
            o.dec = q.dec;
          }
    } else if (tag == "V") {
      Sat v;
      s >> name >> v.mjd >> v.lat >> v.lng >> v.h >> v.ra >> v.dec >> v.x >> v.y;
      if (s) r.sat = v;
    } else if (tag == "O") {
      Obs o;
      s >> o.mjd >> o.dt >> o.lat >> o.lng >> o.h >> o.az1 >> o.el1 >> o.az2 >> o.el2 >> o.ra1 >>
          o.dec1 >> o.ra2 >> o.dec2;
      if (s) r.obs = o;
    } else if (tag == "E") {
      Truth t;
      s >> t.r1 >> t.r2 >> t.a >> t.inc >> t.node;
      if (s) r.truth = t;
    }
  }
  return r;
}

// Angular distance (arcsec) between two directions in degrees.
inline double arcsec(double ra1, double dec1, double ra2, double dec2) {
  const double c = std::sin(dec1 * kDeg) * std::sin(dec2 * kDeg) +
                   std::cos(dec1 * kDeg) * std::cos(dec2 * kDeg) * std::cos((ra1 - ra2) * kDeg);
  return std::acos(std::min(1.0, c)) / kDeg * 3600.0;
}

// A packed reading (R.A. HH.MMSS, Dec. DD.MMSS) in degrees.
inline void unpack(double ra, double dec, double& raDeg, double& decDeg) {
  raDeg = 15.0 * DmsDegF(ra);
  decDeg = DmsDegF(dec);
}

// The synthetic photograph of a plate: black sky, each star a round spot at
// its rounded pixel, brighter and larger for brighter stars, on w x h pixels.
inline QImage render(const Refs& r, const Plate& p, int w = 0, int h = 0) {
  QImage img(w ? w : p.w, h ? h : p.h, QImage::Format_RGB32);
  img.fill(QColor(8, 10, 24));
  QPainter g(&img);
  g.setRenderHint(QPainter::Antialiasing);
  g.setPen(Qt::NoPen);
  for (const OnPlate& s : p.stars) {
    const double v = r.stars.at(s.hr).v;
    const double rad = std::max(1.2, 4.5 - 0.7 * v);
    g.setBrush(QColor(255, 255, 235));
    g.drawEllipse(QPointF(s.px, s.py), rad, rad);
  }
  return img;
}

}  // namespace photo

#endif
