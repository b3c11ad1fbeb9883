#include "keplib.h"

#include <cmath>
#include <cstdlib>
#include <istream>
#include <ostream>
#include <string>

#include "astro/constants.h"

namespace kep {

namespace {

constexpr double kParabola = 1.00001;  // stands in for e = 1

// Reads one number: a whole token that is a finite decimal value.
bool ReadNumber(std::istream& in, std::ostream& err, const char* what, double& v) {
  std::string tok;
  if (!(in >> tok)) {
    err << "*** No value for the " << what << " ***\n";
    return false;
  }
  const char* s = tok.c_str();
  char* end = nullptr;
  v = std::strtod(s, &end);
  if (end == s || *end != '\0' || !std::isfinite(v)) {
    err << "*** The " << what << " \"" << tok << "\" is not a number ***\n";
    return false;
  }
  return true;
}

}  // namespace

double MeanAnomaly(double nu, double e) {
  const double h = nu * kDeg / 2.0;
  const double E = 2.0 * std::atan2(std::sqrt((1.0 - e) / (1.0 + e)) * std::sin(h), std::cos(h));
  return (E - e * std::sin(E)) / kDeg;
}

Pericentre PericentreOf(double nu, double e, double a, double t) {
  if (e == 1.0) e = kParabola;
  a = std::fabs(a);
  const double h = nu * kDeg / 2.0;
  const double H = 2.0 * std::atanh(std::sqrt((e - 1.0) / (e + 1.0)) * std::tan(h));
  const double M = e * std::sinh(H) - H;
  return Pericentre{t - std::sqrt(a * a * a / kGM) * M, (e - 1.0) * a};
}

int RunDialogue(std::istream& in, std::ostream& out, std::ostream& err) {
  out << "Enter True Anomaly, Eccentricity:\n\n" << std::flush;
  double nu, e;
  if (!ReadNumber(in, err, "true anomaly", nu) || !ReadNumber(in, err, "eccentricity", e))
    return 1;
  if (e < 0.0) {
    err << "*** The eccentricity must not be negative ***\n";
    return 1;
  }
  if (e < 1.0) {
    out << " Mean Anomaly: " << MeanAnomaly(nu, e) << "\n";
    return 0;
  }
  out << "Enter Semimajor Axis (km), Epoch (days):\n\n" << std::flush;
  double a, t;
  if (!ReadNumber(in, err, "semimajor axis", a) || !ReadNumber(in, err, "epoch", t)) return 1;
  const Pericentre p = PericentreOf(nu, e, a, t);
  out << " Time of Pericenter: " << p.time << "\n";
  out << " Pericenter Distance: " << p.distance << "\n";
  return 0;
}

}  // namespace kep
