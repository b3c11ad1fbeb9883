// Integrators: accuracy against known solutions, order of convergence, and
// the guards that keep a bad step from hanging or poisoning the state.
#include "orbit/simlib.h"

#include <gtest/gtest.h>

#include <climits>
#include <cmath>
#include <limits>

namespace {

// y'' = -y as a first-order system; y(t) = (cos t, -sin t) from (1, 0) at t = 0.
void oscillator(double, double* y, double* dydt) {
  dydt[0] = y[1];
  dydt[1] = -y[0];
}

// y' = y, y(t) = e^t.
void growth(double, double* y, double* dydt) { dydt[0] = y[0]; }

void zeroDeriv(double, double*, double* dydt) { dydt[0] = 0.0; }

// Finite only at t = 0, so every trial stage is NaN.
void nanAfterStart(double t, double* y, double* dydt) {
  dydt[0] = t > 0.0 ? std::numeric_limits<double>::quiet_NaN() : y[0];
}

// Finite up to t = 0.5 only.
void nanAfterHalf(double t, double* y, double* dydt) {
  dydt[0] = t > 0.5 ? std::numeric_limits<double>::infinity() : y[0];
}

TEST(RKF45, MeetsToleranceOnHarmonicOscillator) {
  RKF45 rk(2);
  ASSERT_EQ(rk.GetConOk(), 1);
  const double tol = 1e-10;
  rk.SetTolerance(tol, 0);  // absolute error
  rk.SetMaxIter(20);
  double y[2] = {1.0, 0.0}, t = 0.0, h = 0.5;
  int steps = 0;
  while (t < 20.0) {
    // Local error of each accepted step, measured from the exact solution at
    // the start of the step, stays within the tolerance.
    double ys[2] = {std::cos(t), -std::sin(t)};
    double tn, hn, yn[2];
    ASSERT_EQ(rk.RKF45Step(t, h, ys, oscillator, tn, hn, yn), RKF_OK);
    EXPECT_LE(std::fabs(yn[0] - std::cos(tn)), tol);
    EXPECT_LE(std::fabs(yn[1] + std::sin(tn)), tol);
    // The carried solution, in place.
    ASSERT_EQ(rk.RKF45Step(t, h, y, oscillator, t, hn, y), RKF_OK);
    h = hn;
    steps++;
  }
  EXPECT_GT(steps, 20);
  EXPECT_LE(std::hypot(y[0] - std::cos(t), y[1] + std::sin(t)), steps * tol);
}

TEST(RKF45, ErrorEstimateIsOfOrderFive) {
  // With one attempt the proposal reveals the error measure:
  // hnext = 0.9 h (tol/m)^0.2. Halving h must shrink m by about 2^5; a
  // mistyped coefficient drops the order.
  RKF45 rk(1);
  rk.SetTolerance(1e-6, 0);
  rk.SetMaxIter(1);
  double measure[2];
  for (int k = 0; k < 2; k++) {
    double h = 0.1 / (1 << k), y[1] = {1.0}, tn, hn, yn[1];
    ASSERT_EQ(rk.RKF45Step(0.0, h, y, growth, tn, hn, yn), RKF_OK);
    measure[k] = 1e-6 * std::pow(0.9 * h / hn, 5);
  }
  EXPECT_NEAR(measure[0] / measure[1], 32.0, 2.0);
}

TEST(RKF45, EdgeCasesOfTheProposal) {
  RKF45 rk(1);
  rk.SetTolerance(1e-8, 1);
  rk.SetMaxIter(1);
  double y[1] = {2.0}, t, hn;
  // Zero error: the floor gives 0.9 (1e15)^0.2 = 900 times the step.
  ASSERT_EQ(rk.RKF45Step(0.0, 1.0, y, zeroDeriv, t, hn, y), RKF_OK);
  EXPECT_DOUBLE_EQ(t, 1.0);
  EXPECT_NEAR(hn, 900.0, 1e-9);
  EXPECT_EQ(y[0], 2.0);
  // One attempt is accepted whatever its error, with the reduced proposal.
  double z[1] = {1.0};
  ASSERT_EQ(rk.RKF45Step(0.0, 1.0, z, growth, t, hn, z), RKF_OK);
  EXPECT_EQ(t, 1.0);
  EXPECT_LT(hn, 0.2);
  // Backwards with the same rules.
  double w[1] = {1.0};
  rk.SetMaxIter(20);
  ASSERT_EQ(rk.RKF45Step(0.0, -0.1, w, growth, t, hn, w), RKF_OK);
  EXPECT_LT(t, 0.0);
  EXPECT_LT(hn, 0.0);
  EXPECT_NEAR(w[0], std::exp(t), 1e-8 * w[0] * 10);
}

TEST(RKF45, SettingsAreSanitised) {
  RKF45 rk(6);
  EXPECT_EQ(rk.GetMaxIter(), 0);
  EXPECT_EQ(rk.GetTolerance(), 1e-6);
  rk.SetTolerance(-1e-9, 1);
  EXPECT_EQ(rk.GetTolerance(), 1e-9);
  for (double bad : {0.0, -0.0, 1e-300, std::numeric_limits<double>::quiet_NaN()}) {
    rk.SetTolerance(bad, 1);
    EXPECT_EQ(rk.GetTolerance(), RKF45::RKF_TOLMIN) << bad;
  }
  rk.SetTolerance(std::numeric_limits<double>::infinity(), 1);
  EXPECT_EQ(rk.GetTolerance(), 1.0);
  rk.SetMaxIter(-7);
  EXPECT_EQ(rk.GetMaxIter(), 7);
  rk.SetMaxIter(INT_MIN);
  EXPECT_EQ(rk.GetMaxIter(), INT_MAX);
  RKF45 none(0);
  EXPECT_EQ(none.GetConOk(), 0);
  double y[1] = {1}, t, hn;
  EXPECT_EQ(none.RKF45Step(0.0, 1.0, y, growth, t, hn, y), RKF_NOALLOC);
  none.ResetNeq(1);
  EXPECT_EQ(none.GetConOk(), 1);
  EXPECT_EQ(none.RKF45Step(0.0, 0.1, y, growth, t, hn, y), RKF_OK);
}

// With unlimited attempts (SetMaxIter(0)) a non-finite or zero step must end
// with a status in bounded time and leave the state untouched.
TEST(RKF45, NonFiniteTrialsAreRejectedAndEndInBoundedTime) {
  RKF45 rk(1);
  rk.SetTolerance(0.0, 1);
  rk.SetMaxIter(0);
  double y[1] = {1.0}, t = 123.0, hn = -1;
  EXPECT_EQ(rk.RKF45Step(0.0, 1.0, y, nanAfterStart, t, hn, y), RKF_NOSTEP);
  EXPECT_EQ(y[0], 1.0);
  EXPECT_EQ(t, 0.0);

  // Part of the interval is finite: the step halves into it and is accepted.
  rk.SetTolerance(1e-8, 1);
  ASSERT_EQ(rk.RKF45Step(0.0, 4.0, y, nanAfterHalf, t, hn, y), RKF_OK);
  EXPECT_LE(t, 0.5);
  EXPECT_GT(t, 0.0);
  EXPECT_TRUE(std::isfinite(y[0]) && std::isfinite(hn));

  // Zero and non-finite steps, and a non-finite start state.
  double z[1] = {1.0};
  EXPECT_EQ(rk.RKF45Step(5.0, 0.0, z, growth, t, hn, z), RKF_NOSTEP);
  EXPECT_EQ(t, 5.0);
  EXPECT_EQ(rk.RKF45Step(5.0, std::numeric_limits<double>::quiet_NaN(), z, growth, t, hn, z),
            RKF_NOSTEP);
  EXPECT_EQ(rk.RKF45Step(1e20, 1e-10, z, growth, t, hn, z), RKF_NOSTEP);  // below resolution
  double bad[1] = {std::numeric_limits<double>::quiet_NaN()}, out[1] = {7.0};
  EXPECT_EQ(rk.RKF45Step(0.0, 1.0, bad, growth, t, hn, out), RKF_NOSTEP);
  EXPECT_TRUE(std::isnan(out[0]));  // ynew := y, nothing invented
  EXPECT_EQ(z[0], 1.0);
}

// The evaluation budget bounds the work of every call together, retries
// included; a step that cannot be finished within it leaves the state alone.
int gCalls = 0;
void countedGrowth(double t, double* y, double* dydt) {
  ++gCalls;
  growth(t, y, dydt);
}

TEST(RKF45, EvaluationBudgetEndsTheWork) {
  RKF45 rk(1);
  EXPECT_EQ(rk.GetEvalBudget(), -1);  // no limit unless asked
  rk.SetTolerance(1e-12, 1);
  rk.SetMaxIter(0);  // retries until the tolerance is met
  rk.SetEvalBudget(14);
  double y[1] = {1.0}, t = 0.0, hn;
  gCalls = 0;
  // 1 + 5 evaluations per attempt: a huge first step needs several attempts.
  EXPECT_EQ(rk.RKF45Step(0.0, 10.0, y, countedGrowth, t, hn, y), RKF_BUDGET);
  EXPECT_EQ(gCalls, 14);
  EXPECT_EQ(y[0], 1.0);
  EXPECT_EQ(t, 0.0);
  EXPECT_EQ(rk.GetEvalBudget(), 0);
  EXPECT_EQ(rk.RKF45Step(0.0, 1e-3, y, countedGrowth, t, hn, y), RKF_BUDGET);
  EXPECT_EQ(gCalls, 14);
  // Accepted steps spend it as they go.
  rk.SetEvalBudget(12);
  ASSERT_EQ(rk.RKF45Step(0.0, 1e-3, y, countedGrowth, t, hn, y), RKF_OK);
  EXPECT_EQ(rk.GetEvalBudget(), 6);
  rk.SetEvalBudget(-5);
  EXPECT_EQ(rk.GetEvalBudget(), -1);
}

TEST(RK4, ErrorShrinksSixteenfoldWhenTheStepHalves) {
  RK4 rk(2);
  ASSERT_EQ(rk.GetConOk(), 1);
  double errs[3];
  for (int k = 0; k < 3; k++) {
    int n = 20 << k;
    double h = 2.0 / n, y[2] = {1.0, 0.0}, t = 0.0;
    for (int s = 0; s < n; s++) ASSERT_EQ(rk.RK4Step(t, h, y, oscillator, t, y), RKF_OK);
    errs[k] = std::hypot(y[0] - std::cos(2.0), y[1] + std::sin(2.0));
  }
  EXPECT_NEAR(errs[0] / errs[1], 16.0, 0.8);
  EXPECT_NEAR(errs[1] / errs[2], 16.0, 0.8);
  // Backwards.
  RK4 one(1);
  double y[1] = {1.0}, t = 0.0;
  for (int s = 0; s < 10; s++) one.RK4Step(t, -0.1, y, growth, t, y);
  EXPECT_NEAR(t, -1.0, 1e-12);
  EXPECT_NEAR(y[0], std::exp(-1.0), 1e-6);
  RK4 none(-1);
  EXPECT_EQ(none.GetConOk(), 0);
  EXPECT_EQ(none.RK4Step(0.0, 1.0, y, growth, t, y), RKF_NOALLOC);
}

}  // namespace
