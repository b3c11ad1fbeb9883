// The anomaly calculator: from a true anomaly and an eccentricity, the mean
// anomaly of an ellipse, or the pericentre time and distance of a parabola or
// hyperbola, for an orbit about the Earth.
#ifndef VORLIX_TOOLS_KEPLIB_H
#define VORLIX_TOOLS_KEPLIB_H

#include <iosfwd>

namespace kep {

// The Earth's gravitational parameter, km^3/day^2: kGmEgm96Km3Day2 of
// astro/constants.h rounded to 12 digits. The calculator has always printed
// its pericentre times with this rounded value, so it keeps its own.
constexpr double kGM = 2975536351780000.0;

// Mean anomaly in degrees of an ellipse (0 <= e < 1) at true anomaly nu
// (degrees); between -180 and 180 for nu in that range.
double MeanAnomaly(double nu, double e);

struct Pericentre {
  double time;      // days
  double distance;  // km
};

// Pericentre passage of an open orbit (e >= 1; e = 1 is taken as 1.00001)
// with semimajor axis |a| km that has true anomaly nu (degrees) at time t
// (days). Not a number at or beyond the asymptote.
Pericentre PericentreOf(double nu, double e, double a, double t);

// The dialogue on the console: prompts and results to out, a complaint about
// input that is no decimal number, a negative eccentricity or values whose
// results overflow to err (offending text cut to 40 characters, control
// bytes escaped), and output that cannot be written, with its reason, to err.
// Returns the exit status: 0 answered, 1 refused or not written.
int RunDialogue(std::istream& in, std::ostream& out, std::ostream& err);

}  // namespace kep

#endif
