// The sky chart's outside references (tests/data/gui/sky-astropy.txt, made
// by tests/tools/gen_sky_refs.py): observers and times, stars and bodies by
// astropy, the Moon's phase and position angles, an ISS transit of the Sun
// and JPSS-1 seen from the ISS, both by skyfield.
#ifndef VORLIX_TESTS_GUI_SKYREFS_H
#define VORLIX_TESTS_GUI_SKYREFS_H

#include <algorithm>
#include <cmath>
#include <fstream>
#include <sstream>
#include <string>
#include <vector>

namespace skyref {

// Angle between two directions (azimuth, elevation in degrees), in degrees.
inline double sep(double az1, double el1, double az2, double el2) {
  const double r = M_PI / 180;
  const double c = std::sin(el1 * r) * std::sin(el2 * r) +
                   std::cos(el1 * r) * std::cos(el2 * r) * std::cos((az1 - az2) * r);
  return std::acos(std::max(-1.0, std::min(1.0, c))) / r;
}

struct Time {
  double mjd, lat, lng, height;
};
struct Star {
  int k, hr;
  double v, ra, dec, az, el;  // deg; ra, dec of J2000
};
struct Body {
  int k, body;
  double az, el;
};
struct Moon {
  int k;
  double cosi, pa, qmoon, qsun;  // deg
};
// One instant for one observer: the Sun and a satellite.
struct Pair {
  double mjd, lat, lng, height, sunaz, sunel, az, el;
};
struct FromSat {
  double mjd, lat, lng, height, az, el;
};
struct Refs {
  std::vector<Time> times;
  std::vector<Star> stars;
  std::vector<Body> bodies;
  std::vector<Moon> moons;
  std::vector<Pair> transit;
  std::vector<FromSat> fromSat;
};

inline Refs load(const std::string& dataDir) {
  Refs r;
  std::ifstream f(dataDir + "/gui/sky-astropy.txt");
  std::string line;
  while (std::getline(f, line)) {
    std::istringstream s(line);
    std::string tag;
    s >> tag;
    if (tag == "T") {
      int k;
      Time t;
      s >> k >> t.mjd >> t.lat >> t.lng >> t.height;
      if (s) r.times.push_back(t);
    } else if (tag == "S") {
      Star x;
      s >> x.k >> x.hr >> x.v >> x.ra >> x.dec >> x.az >> x.el;
      if (s) r.stars.push_back(x);
    } else if (tag == "B") {
      Body b;
      s >> b.k >> b.body >> b.az >> b.el;
      if (s) r.bodies.push_back(b);
    } else if (tag == "M") {
      Moon m;
      s >> m.k >> m.cosi >> m.pa >> m.qmoon >> m.qsun;
      if (s) r.moons.push_back(m);
    } else if (tag == "X") {
      Pair p;
      s >> p.mjd >> p.lat >> p.lng >> p.height >> p.sunaz >> p.sunel >> p.az >> p.el;
      if (s) r.transit.push_back(p);
    } else if (tag == "F") {
      FromSat x;
      s >> x.mjd >> x.lat >> x.lng >> x.height >> x.az >> x.el;
      if (s) r.fromSat.push_back(x);
    }
  }
  return r;
}

}  // namespace skyref

#endif
