// The anomaly calculator against an independent solver (python3-sgp4's
// newtonnu; pericentre times checked by skyfield's two-body propagation, in
// tests/data/companions/kep-refs.csv), the console dialogue of the program,
// and input it must refuse.
#include <gtest/gtest.h>

#include <fcntl.h>
#include <sys/resource.h>
#include <sys/stat.h>
#include <sys/sysmacros.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cmath>
#include <csignal>
#include <sstream>
#include <string>
#include <vector>

#include "support/csv.h"
#include "runprog.h"
#include "tools/kep/keplib.h"

namespace {

struct Ref {
  double nu, e, a, t, M, T, q;
};

double Cell(const std::string& s) { return s.empty() ? NAN : std::stod(s); }

std::vector<Ref> Refs() {
  std::vector<Ref> rows;
  for (auto c : readCsv("companions/kep-refs.csv")) {
    c.resize(7);
    rows.push_back({Cell(c[0]), Cell(c[1]), Cell(c[2]), Cell(c[3]), Cell(c[4]), Cell(c[5]),
                    Cell(c[6])});
  }
  return rows;
}

// Difference of two angles in degrees, modulo 360, in [-180, 180).
double AngleDiff(double a, double b) {
  double d = std::fmod(a - b, 360.0);
  if (d >= 180.0) d -= 360.0;
  if (d < -180.0) d += 360.0;
  return d;
}

runprog::Result Kep(const std::string& input) {
  return runprog::Run(VORLIX_KEP, {}, input, ".");
}

// The program started as a shell starts it, with its standard output on
// the descriptor `out` and the default actions of SIGPIPE and SIGXFSZ (which
// end a program that leaves them alone), under a file size limit of `limit`
// bytes when that is not 0. Gives back the exit status (-1 when the program
// was ended by a signal) and what it said on standard error.
struct Outcome {
  int status = -1;
  std::string err;
};
Outcome KepInto(int out, const std::string& input, rlim_t limit, const support::TempDir& io) {
  const std::string in = io / "kep-stdin";
  writeFile(in, input);
  // Standard error is a pipe: a file would be cut by the limit too.
  int errPipe[2];
  if (pipe(errPipe) != 0) return {};
  const pid_t pid = fork();
  if (pid == 0) {
    alarm(60);
    std::signal(SIGPIPE, SIG_DFL);
    std::signal(SIGXFSZ, SIG_DFL);
    const rlimit r{limit, limit};
    if (limit != 0 && setrlimit(RLIMIT_FSIZE, &r) != 0) _exit(126);
    const int fi = open(in.c_str(), O_RDONLY);
    if (fi < 0 || dup2(fi, 0) < 0 || dup2(out, 1) < 0 || dup2(errPipe[1], 2) < 0) _exit(126);
    execl(VORLIX_KEP, VORLIX_KEP, static_cast<char*>(nullptr));
    _exit(127);
  }
  close(errPipe[1]);
  Outcome o;
  char buf[512];
  ssize_t n;
  while ((n = read(errPipe[0], buf, sizeof buf)) > 0) o.err.append(buf, static_cast<size_t>(n));
  close(errPipe[0]);
  int st = 0;
  if (pid > 0 && waitpid(pid, &st, 0) == pid && WIFEXITED(st)) o.status = WEXITSTATUS(st);
  return o;
}

// The number after label in the program's output.
double After(const std::string& out, const std::string& label) {
  const size_t k = out.find(label);
  if (k == std::string::npos) return NAN;
  return std::stod(out.substr(k + label.size()));
}

const std::string kPrompt1 = "Enter True Anomaly, Eccentricity:\n\n";
const std::string kPrompt2 = "Enter Semimajor Axis (km), Epoch (days):\n\n";

}  // namespace

// Full precision against the reference: mean anomaly modulo 360 degrees,
// pericentre time and distance.
TEST(AnomalyCalculator, AgainstReference) {
  const auto refs = Refs();
  ASSERT_EQ(refs.size(), 22u);
  for (const Ref& r : refs) {
    if (r.e < 1.0) {
      EXPECT_NEAR(AngleDiff(kep::MeanAnomaly(r.nu, r.e), r.M), 0.0, 1e-9) << r.nu << " " << r.e;
      if (std::fabs(r.nu) < 180.0) {
        EXPECT_GE(kep::MeanAnomaly(r.nu, r.e), -180.0);
        EXPECT_LE(kep::MeanAnomaly(r.nu, r.e), 180.0);
      }
      continue;
    }
    const kep::Pericentre p = kep::PericentreOf(r.nu, r.e, r.a, r.t);
    EXPECT_NEAR(r.t - p.time, r.t - r.T, 1e-10 * std::fabs(r.t - r.T) + 1e-12)
        << r.nu << " " << r.e;
    EXPECT_NEAR(p.distance, r.q, 1e-9 * r.q) << r.nu << " " << r.e;
  }
}

// Closed forms: e = 0 gives the true anomaly back, nu = 0 the epoch itself,
// e = 1 with a = 10000 km a pericentre distance of 0.1 km; beyond the
// asymptote the results are no numbers.
TEST(AnomalyCalculator, EdgeCases) {
  for (double nu : {-179.0, -30.0, 0.0, 77.7, 179.0})
    EXPECT_NEAR(kep::MeanAnomaly(nu, 0.0), nu, 1e-12);
  EXPECT_EQ(kep::MeanAnomaly(0.0, 0.7), 0.0);
  EXPECT_EQ(kep::PericentreOf(0.0, 1.5, 7000.0, 123.25).time, 123.25);
  EXPECT_NEAR(kep::PericentreOf(10.0, 1.0, 10000.0, 0.0).distance, 0.1, 1e-9);
  EXPECT_EQ(kep::PericentreOf(30.0, 2.0, -7000.0, 1.0).time,
            kep::PericentreOf(30.0, 2.0, 7000.0, 1.0).time);
  // e = 1.5: the asymptote lies at 131.81 degrees.
  EXPECT_TRUE(std::isfinite(kep::PericentreOf(131.0, 1.5, 7000.0, 0.0).time));
  EXPECT_TRUE(std::isnan(kep::PericentreOf(150.0, 1.5, 7000.0, 0.0).time));
}

// The program itself: each reference row typed at the console, the answer
// printed with six significant digits.
TEST(AnomalyCalculator, Dialogue) {
  for (const Ref& r : Refs()) {
    std::ostringstream in;
    in.precision(17);
    in << r.nu << " " << r.e << "\n";
    if (r.e >= 1.0) in << r.a << "\n" << r.t << "\n";
    const auto res = Kep(in.str());
    ASSERT_EQ(res.status, 0) << in.str() << res.err;
    EXPECT_EQ(res.err, "");
    if (r.e < 1.0) {
      ASSERT_EQ(res.out.rfind(kPrompt1 + " Mean Anomaly: ", 0), 0u) << res.out;
      const double m = After(res.out, " Mean Anomaly: ");
      EXPECT_NEAR(AngleDiff(m, r.M), 0.0, 5e-6 * std::fmax(1.0, std::fabs(m))) << res.out;
    } else {
      ASSERT_EQ(res.out.rfind(kPrompt1 + kPrompt2 + " Time of Pericenter: ", 0), 0u) << res.out;
      EXPECT_NEAR(After(res.out, " Time of Pericenter: "), r.T, 5e-6 * std::fmax(1.0, std::fabs(r.T)));
      EXPECT_NEAR(After(res.out, " Pericenter Distance: "), r.q, 5e-6 * r.q);
    }
  }
  EXPECT_EQ(Kep("90 0.5\n").out, kPrompt1 + " Mean Anomaly: 35.1902\n");
  EXPECT_EQ(Kep("60 1.5 14000 58000.5\n").out,
            kPrompt1 + kPrompt2 + " Time of Pericenter: 58000.5\n Pericenter Distance: 7000\n");
  // Beyond the asymptote the answer is no number, and says so.
  const auto res = Kep("150 1.5\n7000 0\n");
  EXPECT_EQ(res.status, 0);
  EXPECT_NE(res.out.find(" Time of Pericenter: "), std::string::npos);
  EXPECT_NE(res.out.find("nan"), std::string::npos) << res.out;
}

// Input that is no number, a negative eccentricity, or input that ends early:
// a message and exit status 1, no result.
TEST(AnomalyCalculator, RefusedInput) {
  const struct {
    const char* input;
    const char* message;
  } rows[] = {
      {"abc 0.5\n", "*** The true anomaly \"abc\" is not a number ***\n"},
      {"30 nan\n", "*** The eccentricity \"nan\" is not a number ***\n"},
      {"30 0.5x\n", "*** The eccentricity \"0.5x\" is not a number ***\n"},
      {"1e999 0.5\n", "*** The true anomaly \"1e999\" is not a number ***\n"},
      {"30, 0.5\n", "*** The true anomaly \"30,\" is not a number ***\n"},
      {"30 -0.1\n", "*** The eccentricity must not be negative ***\n"},
      {"", "*** No value for the true anomaly ***\n"},
      {"30\n", "*** No value for the eccentricity ***\n"},
      {"30 1.5\n7000 inf\n", "*** The epoch \"inf\" is not a number ***\n"},
      {"30 1.5\nseven 0\n", "*** The semimajor axis \"seven\" is not a number ***\n"},
      {"30 1.5\n7000\n", "*** No value for the epoch ***\n"},
      {"0x10 0.5\n", "*** The true anomaly \"0x10\" is not a number ***\n"},
      {"30 0x1p-1\n", "*** The eccentricity \"0x1p-1\" is not a number ***\n"},
      {"inf 0.5\n", "*** The true anomaly \"inf\" is not a number ***\n"},
      {"30 1.5\n7000 -NaN\n", "*** The epoch \"-NaN\" is not a number ***\n"},
      {"30 1e\n", "*** The eccentricity \"1e\" is not a number ***\n"},
      {"0 1.5 1e308 5\n",
       "*** The semimajor axis \"1e308\" is too large: the results overflow ***\n"},
      {"30 1.5 1e200 0\n",
       "*** The semimajor axis \"1e200\" is too large: the results overflow ***\n"},
      {"60 1.7e308 7000 0\n",
       "*** The eccentricity \"1.7e308\" is too large: the results overflow ***\n"},
      {"30 3 -1.7e308 0\n",
       "*** The semimajor axis \"-1.7e308\" is too large: the results overflow ***\n"},
      {"-60 1e164 1e100 1.79e308\n",
       "*** The epoch \"1.79e308\" is too large: the results overflow ***\n"},
  };
  for (const auto& r : rows) {
    const auto res = Kep(r.input);
    EXPECT_EQ(res.status, 1) << r.input;
    EXPECT_EQ(res.err, r.message) << r.input;
    EXPECT_EQ(res.out.find("Mean Anomaly"), std::string::npos) << r.input;
    EXPECT_EQ(res.out.find("Pericenter"), std::string::npos) << r.input;
  }
}

// An offending token is echoed cut to 40 characters, its control bytes
// escaped: a pasted file or a terminal escape does not reach the console.
TEST(AnomalyCalculator, EchoOfRefusedToken) {
  const std::string big = "abc\x01\x1b[31m" + std::string(100000, 'x');
  auto res = Kep(big + " 0.5\n");
  EXPECT_EQ(res.status, 1);
  EXPECT_EQ(res.err, "*** The true anomaly \"abc\\x01\\x1b[31m" + std::string(31, 'x') +
                         "...\" is not a number ***\n");
  res = Kep("30 1\x7f\n");
  EXPECT_EQ(res.err, "*** The eccentricity \"1\\x7f\" is not a number ***\n");
  const std::string exact(40, 'z');  // 40 characters: shown whole
  res = Kep("30 1.5\n" + exact + " 0\n");
  EXPECT_EQ(res.err, "*** The semimajor axis \"" + exact + "\" is not a number ***\n");
}

// Output that cannot be written is no answer: a full device, a pipe whose
// reader left, a file beyond the size limit. The program is not ended by a
// signal; it says why on standard error and fails. The full device is a node
// made in the test's own folder (as root; that row is skipped otherwise).
TEST(AnomalyCalculator, OutputThatCannotBeWritten) {
  support::TempDir dir;
  const std::string prefix = "*** Unable to write the output: ";
  for (const char* input : {"10 0.5\n", "60 1.5 14000 58000.5\n"}) {
    SCOPED_TRACE(input);
    if (mknod((dir / "full").c_str(), S_IFCHR | 0600, makedev(1, 7)) == 0) {
      const int fd = open((dir / "full").c_str(), O_WRONLY);
      ASSERT_GE(fd, 0);
      const Outcome o = KepInto(fd, input, 0, dir);
      close(fd);
      unlink((dir / "full").c_str());
      EXPECT_EQ(o.status, 1);
      EXPECT_EQ(o.err, prefix + "No space left on device ***\n");
    } else {
      std::printf("full device row skipped: no device node can be made here\n");
    }

    int p[2];
    ASSERT_EQ(pipe(p), 0);
    close(p[0]);
    Outcome o = KepInto(p[1], input, 0, dir);
    close(p[1]);
    EXPECT_EQ(o.status, 1);
    EXPECT_EQ(o.err, prefix + "Broken pipe ***\n");

    // The limit cuts the first prompt.
    const std::string file = dir / "out.txt";
    const int fd = open(file.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0600);
    ASSERT_GE(fd, 0);
    o = KepInto(fd, input, 10, dir);
    close(fd);
    EXPECT_EQ(o.status, 1);
    EXPECT_EQ(o.err, prefix + "File too large ***\n");
    EXPECT_EQ(readFile(file), kPrompt1.substr(0, 10));
  }
}
