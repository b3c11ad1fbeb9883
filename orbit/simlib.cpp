// Runge-Kutta-Fehlberg 4(5) and classical Runge-Kutta 4 integrators.
#include "orbit/simlib.h"

#include <climits>
#include <cmath>
#include <new>

namespace {

// Fehlberg's 4(5) pair with the nodes 2/9, 1/3, 3/4, 1, 5/6; the fifth-order
// solution is carried forward, e = b minus the fourth-order weights.
constexpr double kC[6] = {0.0, 2.0 / 9.0, 1.0 / 3.0, 3.0 / 4.0, 1.0, 5.0 / 6.0};
constexpr double kA[6][5] = {
    {0, 0, 0, 0, 0},
    {2.0 / 9.0, 0, 0, 0, 0},
    {1.0 / 12.0, 1.0 / 4.0, 0, 0, 0},
    {69.0 / 128.0, -243.0 / 128.0, 135.0 / 64.0, 0, 0},
    {-17.0 / 12.0, 27.0 / 4.0, -27.0 / 5.0, 16.0 / 15.0, 0},
    {65.0 / 432.0, -5.0 / 16.0, 13.0 / 16.0, 4.0 / 27.0, 5.0 / 144.0}};
constexpr double kB[6] = {47.0 / 450.0, 0.0, 12.0 / 25.0, 32.0 / 225.0, 1.0 / 30.0, 6.0 / 25.0};
constexpr double kE[6] = {-1.0 / 150.0, 0.0, 3.0 / 100.0, -16.0 / 75.0, -1.0 / 20.0, 6.0 / 25.0};

bool allFinite(const double* a, int n) {
  for (int i = 0; i < n; i++)
    if (!std::isfinite(a[i])) return false;
  return true;
}

}  // namespace

RKF45::RKF45(int n)
    : neq(0), tstage(0), work(nullptr), k(nullptr), err(nullptr), conok(0), mxit(0),
      relerr(1), tol(1e-6), hstep(0), evals(-1) {
  allocate(n);
}

RKF45::~RKF45() { release(); }

void RKF45::release() {
  delete[] work;
  delete[] k;
  delete[] err;
  work = k = err = nullptr;
  conok = 0;
}

void RKF45::allocate(int n) {
  neq = n > 0 ? n : 0;
  conok = 0;
  if (neq == 0) return;
  work = new (std::nothrow) double[neq];
  k = new (std::nothrow) double[6 * static_cast<long>(neq)];
  err = new (std::nothrow) double[neq];
  if (work && k && err) {
    conok = 1;
  } else {
    release();
    neq = 0;
  }
}

void RKF45::ResetNeq(int n) {
  release();
  allocate(n);
}

void RKF45::SetTolerance(double t, int rel) {
  t = std::fabs(t);
  if (!(t >= RKF_TOLMIN)) t = RKF_TOLMIN;  // also a NaN
  if (t > 1.0) t = 1.0;
  tol = t;
  relerr = (rel != 0);
}

void RKF45::SetMaxIter(int n) { mxit = (n == INT_MIN) ? INT_MAX : (n < 0 ? -n : n); }

int RKF45::RKF45Step(double t, double h, double* y, DerivFunc f, double& tnew, double& hnext,
                     double* ynew) {
  auto giveUp = [&](int code) {
    if (ynew != y)
      for (int i = 0; i < neq; i++) ynew[i] = y[i];
    tnew = t;
    hnext = h;
    return code;
  };
  if (!conok) {  // no arrays: neq is 0, nothing to copy
    tnew = t;
    hnext = h;
    return RKF_NOALLOC;
  }
  // One more evaluation of the budget, or false when it is spent.
  auto charge = [this]() {
    if (evals == 0) return false;
    if (evals > 0) --evals;
    return true;
  };
  hstep = h;
  if (!charge()) return giveUp(RKF_BUDGET);
  f(t, y, k);  // k0, shared by every retry
  if (!allFinite(y, neq) || !allFinite(k, neq)) return giveUp(RKF_NOSTEP);

  int counter = mxit != 0 ? mxit : 1;
  for (;;) {
    // A step that no longer moves t (or is not a number) can never be useful.
    if (!std::isfinite(h) || t + h == t) return giveUp(RKF_NOSTEP);

    for (int j = 1; j < 6; j++) {
      if (!charge()) return giveUp(RKF_BUDGET);
      tstage = t + kC[j] * h;
      for (int i = 0; i < neq; i++) {
        double s = 0.0;
        for (int m = 0; m < j; m++) s += kA[j][m] * k[m * neq + i];
        work[i] = y[i] + h * s;
      }
      f(tstage, work, k + j * neq);
    }
    bool finite = true;
    for (int i = 0; i < neq; i++) {
      double s = 0.0, e = 0.0;
      for (int j = 0; j < 6; j++) {
        s += kB[j] * k[j * neq + i];
        e += kE[j] * k[j * neq + i];
      }
      work[i] = y[i] + h * s;
      err[i] = std::fabs(h * e);
      if (!std::isfinite(work[i]) || !std::isfinite(err[i])) finite = false;
    }
    if (!finite) {
      // A non-finite trial is a rejection whatever the attempt count says.
      h *= 0.5;
      hstep = h;
      continue;
    }

    double measure = 1e-15 * tol;
    for (int i = 0; i < neq; i++) {
      double m = relerr ? err[i] / std::fmax(1e-50, std::fabs(work[i])) : err[i];
      if (m > measure) measure = m;
    }
    double proposal = 0.9 * h * std::pow(tol / measure, 0.2);
    hstep = proposal;

    if (mxit != 0) counter--;
    if ((mxit == 0 || counter > 0) && measure > tol) {
      h = proposal;
      continue;
    }
    for (int i = 0; i < neq; i++) ynew[i] = work[i];
    tnew = t + h;
    hnext = proposal;
    return RKF_OK;
  }
}

RK4::RK4(int n) : neq(n > 0 ? n : 0), tstage(0), work(nullptr), k(nullptr), conok(0) {
  if (neq == 0) return;
  work = new (std::nothrow) double[neq];
  k = new (std::nothrow) double[4 * static_cast<long>(neq)];
  if (work && k) {
    conok = 1;
  } else {
    delete[] work;
    delete[] k;
    work = k = nullptr;
    neq = 0;
  }
}

RK4::~RK4() {
  delete[] work;
  delete[] k;
}

int RK4::RK4Step(double t, double h, double* y, DerivFunc f, double& tnew, double* ynew) {
  if (!conok) {
    tnew = t;
    return RKF_NOALLOC;
  }
  static constexpr double c[4] = {0.0, 0.5, 0.5, 1.0};
  f(t, y, k);
  for (int j = 1; j < 4; j++) {
    tstage = t + c[j] * h;
    const double* prev = k + (j - 1) * neq;
    for (int i = 0; i < neq; i++) work[i] = y[i] + h * c[j] * prev[i];
    f(tstage, work, k + j * neq);
  }
  for (int i = 0; i < neq; i++)
    ynew[i] = y[i] + h * (k[i] / 6.0 + k[neq + i] / 3.0 + k[2 * neq + i] / 3.0 +
                          k[3 * neq + i] / 6.0);
  tnew = t + h;
  return RKF_OK;
}
