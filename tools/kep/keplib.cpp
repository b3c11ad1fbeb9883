#include "keplib.h"

#include <cerrno>
#include <cmath>
#include <cstdlib>
#include <cstring>
#include <istream>
#include <ostream>
#include <string>

#include "astro/constants.h"

namespace kep {

namespace {

constexpr double kParabola = 1.00001;  // stands in for e = 1

// How a token is echoed in a message: at most kEchoMax characters (then
// "..."), control bytes as \xNN, so that a pasted file or terminal escapes
// cannot flood or garble the console.
constexpr size_t kEchoMax = 40;
std::string Echo(const std::string& tok) {
  std::string s;
  size_t chars = 0;
  for (size_t k = 0; k < tok.size(); ++k) {
    const unsigned char c = static_cast<unsigned char>(tok[k]);
    const bool continuation = (c & 0xC0) == 0x80;  // inside a UTF-8 character
    if (!continuation && chars++ == kEchoMax) return s + "...";
    if (c < 0x20 || c == 0x7F) {
      static const char hex[] = "0123456789abcdef";
      s += "\\x";
      s += hex[c >> 4];
      s += hex[c & 15];
    } else {
      s += static_cast<char>(c);
    }
  }
  return s;
}

// A decimal number: sign, digits with at most one point, an optional
// exponent; no hexadecimal form, no infinity or NaN words.
bool Decimal(const std::string& t) {
  size_t k = 0;
  if (k < t.size() && (t[k] == '+' || t[k] == '-')) ++k;
  size_t digits = 0;
  bool point = false;
  for (; k < t.size(); ++k) {
    if (t[k] >= '0' && t[k] <= '9') {
      ++digits;
    } else if (t[k] == '.' && !point) {
      point = true;
    } else {
      break;
    }
  }
  if (digits == 0) return false;
  if (k < t.size() && (t[k] == 'e' || t[k] == 'E')) {
    ++k;
    if (k < t.size() && (t[k] == '+' || t[k] == '-')) ++k;
    const size_t first = k;
    while (k < t.size() && t[k] >= '0' && t[k] <= '9') ++k;
    if (k == first) return false;
  }
  return k == t.size();
}

// Reads one number: a whole token that is a finite decimal value.
bool ReadNumber(std::istream& in, std::ostream& err, const char* what, double& v,
                std::string& tok) {
  if (!(in >> tok)) {
    err << "*** No value for the " << what << " ***\n";
    return false;
  }
  v = Decimal(tok) ? std::strtod(tok.c_str(), nullptr) : NAN;
  if (!std::isfinite(v)) {
    err << "*** The " << what << " \"" << Echo(tok) << "\" is not a number ***\n";
    return false;
  }
  return true;
}

// Which input makes a result of the open orbit overflow: 0 none (or the true
// anomaly lies at or beyond the asymptote, where the results are no numbers
// by nature), 1 the eccentricity, 2 the semimajor axis, 3 the epoch.
int Overflowing(double nu, double e, double a, double t) {
  if (e == 1.0) e = kParabola;
  a = std::fabs(a);
  const Pericentre p = PericentreOf(nu, e, a, t);
  if (!std::isfinite(p.distance)) return a >= e - 1.0 ? 2 : 1;
  if (std::isfinite(p.time)) return 0;
  const double x = std::sqrt((e - 1.0) / (e + 1.0)) * std::tan(nu * kDeg / 2.0);
  if (!(std::fabs(x) < 1.0)) return 0;
  const double H = 2.0 * std::atanh(x);
  const double M = e * std::sinh(H) - H;
  const double k = std::sqrt(a * a * a / kGM);
  if (!std::isfinite(k)) return 2;
  if (!std::isfinite(M)) return 1;
  if (!std::isfinite(k * M)) return 2;
  return 3;
}

// Sends what was written to out on its way. A write that fails (a full
// disk, a pipe whose reader left, a file size limit) is said on err with its
// reason: the user would otherwise take the silence for an answer. The
// reason is errno as the failed write left it, at the flush or before it.
bool Sent(std::ostream& out, std::ostream& err) {
  if (out) {
    errno = 0;
    out.flush();
    if (out) return true;
  }
  const int reason = errno;
  err << "*** Unable to write the output";
  if (reason != 0) err << ": " << std::strerror(reason);
  err << " ***\n";
  return false;
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
  out << "Enter True Anomaly, Eccentricity:\n\n";
  if (!Sent(out, err)) return 1;
  double nu, e;
  std::string tnu, te;
  if (!ReadNumber(in, err, "true anomaly", nu, tnu) || !ReadNumber(in, err, "eccentricity", e, te))
    return 1;
  if (e < 0.0) {
    err << "*** The eccentricity must not be negative ***\n";
    return 1;
  }
  if (e < 1.0) {
    out << " Mean Anomaly: " << MeanAnomaly(nu, e) << "\n";
    return Sent(out, err) ? 0 : 1;
  }
  out << "Enter Semimajor Axis (km), Epoch (days):\n\n";
  if (!Sent(out, err)) return 1;
  double a, t;
  std::string ta, tt;
  if (!ReadNumber(in, err, "semimajor axis", a, ta) || !ReadNumber(in, err, "epoch", t, tt))
    return 1;
  const int culprit = Overflowing(nu, e, a, t);
  if (culprit != 0) {
    const char* what[] = {"", "eccentricity", "semimajor axis", "epoch"};
    const std::string* tok[] = {nullptr, &te, &ta, &tt};
    err << "*** The " << what[culprit] << " \"" << Echo(*tok[culprit])
        << "\" is too large: the results overflow ***\n";
    return 1;
  }
  const Pericentre p = PericentreOf(nu, e, a, t);
  out << " Time of Pericenter: " << p.time << "\n";
  out << " Pericenter Distance: " << p.distance << "\n";
  return Sent(out, err) ? 0 : 1;
}

}  // namespace kep
