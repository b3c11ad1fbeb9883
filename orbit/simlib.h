// One-step integrators for y' = f(t, y) of a fixed size: the adaptive
// Runge-Kutta-Fehlberg 4(5) integrator used by the numerical propagation, and a
// classical fixed-step fourth-order Runge-Kutta integrator.
#ifndef VORLIX_ORBIT_SIMLIB_H
#define VORLIX_ORBIT_SIMLIB_H

// The derivative function: writes all neq elements of dydt for (t, y).
typedef void (*DerivFunc)(double t, double* y, double* dydt);

// Results of RKF45::RKF45Step and RK4::RK4Step.
enum {
  RKF_OK = 0,        // a step was accepted
  RKF_NOSTEP = 1,    // no finite step could be made: the step size fell to zero,
                     // below the resolution of t or became non-finite, or the
                     // start point has a non-finite derivative; nothing advanced
  RKF_NOALLOC = 2,   // the work arrays are missing (size <= 0 or allocation failed)
  RKF_BUDGET = 3     // the derivative-evaluation budget ran out before a step
                     // was accepted; nothing advanced
};

class RKF45 {
public:
  explicit RKF45(int neq);
  virtual ~RKF45();
  RKF45(const RKF45&) = delete;
  RKF45& operator=(const RKF45&) = delete;

  // Reallocates the work arrays for a new size; settings are kept.
  void ResetNeq(int neq);
  // Tolerance := |tol|, kept within [RKF_TOLMIN, 1] (a NaN gives RKF_TOLMIN);
  // rel != 0 measures the error relative to the new solution.
  void SetTolerance(double tol, int rel);
  // Maximum attempts per step := |n|; 0 retries until the tolerance is met.
  void SetMaxIter(int n);
  int GetConOk() const { return conok; }
  double GetTolerance() const { return tol; }
  int GetMaxIter() const { return mxit; }
  // Derivative evaluations that RKF45Step may still make, over all calls
  // until the next SetEvalBudget; a negative n means no limit (the default).
  // This bounds the work of a caller in time, whatever the forces do to the
  // step size.
  void SetEvalBudget(long n) { evals = n < 0 ? -1 : n; }
  long GetEvalBudget() const { return evals; }

  // One accepted step from (t, y) with the trial step h. On RKF_OK, tnew, ynew
  // and hnext (the proposed next step) hold the result; y and ynew may be the
  // same array. A non-finite trial is never accepted: it counts as a rejection
  // and the step is halved. On any other result ynew := y, tnew := t and hnext
  // is the last step tried; RKF_BUDGET when the evaluation budget ran out.
  int RKF45Step(double t, double h, double* y, DerivFunc f, double& tnew, double& hnext,
                double* ynew);

  // Smallest tolerance the integrator accepts: smaller values cannot be met
  // reliably in double precision and only make the step collapse.
  static constexpr double RKF_TOLMIN = 1e-14;

private:
  void release();
  void allocate(int n);

  int neq;
  double tstage;  // time of the last stage evaluated
  double* work;   // stage argument; after the last stage the fifth-order solution
  double* k;      // stage derivatives, stage j at j*neq
  double* err;    // |h times the error combination| per equation
  int conok;      // 1 when all arrays were obtained
  int mxit;       // maximum attempts per step, 0 = until the tolerance is met
  int relerr;     // 1: relative error measure
  double tol;
  double hstep;   // the step being tried; after a call the proposed next step
  long evals;     // derivative evaluations left, -1 = no limit
};

class RK4 {
public:
  explicit RK4(int neq);
  virtual ~RK4();
  RK4(const RK4&) = delete;
  RK4& operator=(const RK4&) = delete;

  int GetConOk() const { return conok; }
  // One step of size h; ynew may be y. Returns RKF_OK or RKF_NOALLOC.
  int RK4Step(double t, double h, double* y, DerivFunc f, double& tnew, double* ynew);

private:
  int neq;
  double tstage;
  double* work;
  double* k;  // four stages
  int conok;
};

#endif
