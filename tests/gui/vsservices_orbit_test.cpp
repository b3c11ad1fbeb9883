// Services of the orbit dialogs on the prime satellite: the osculating check,
// the SGP4 conversion's failure path, what a state or an adjustment refuses.
#include <QtTest>
#include <cmath>
#include <cstring>

#include "gui/vsservices.h"
#include "orbit/sgp4fit.h"
#include "support/orbitslots.h"

namespace {
void State(double x, double vy) {
  WinpData* d = indata;
  d->satnr = 1;
  d->prs = 0;
  d->epoch[0] = 60000.0;
  d->rx[0] = 1000.0 * x;
  d->ry[0] = d->rz[0] = d->vx[0] = d->vz[0] = 0.0;
  d->vy[0] = 1000.0 * vy;
}
}  // namespace

class VsOrbitServicesTest : public QObject {
  Q_OBJECT
 private slots:
  void ckHyp() {
    OrbitRecord();
    const double gm = 2975536351779840.0 / 86400.0 / 86400.0;
    State(7000.0, std::sqrt(gm / 7000.0));
    double e = -1, tp = 0;
    QVERIFY(vsCkHyp(e, tp));
    QVERIFY(e < 1e-9);
    State(7000.0, 1.2 * std::sqrt(2.0 * gm / 7000.0));
    QVERIFY(vsCkHyp(e, tp));
    QVERIFY(e > 1.0);
    QVERIFY(std::fabs(tp - 60000.0) < 1e-9);  // at the pericentre now
    State(0.0, 0.0);
    e = -1;
    QVERIFY(!vsCkHyp(e, tp));
    QCOMPARE(e, -1.0);
  }

  // No orbit in the slot: a code, and the outputs as they were.
  void sgp4OfNoState() {
    OrbitRecord();
    State(0.0, 0.0);
    indata->sgpsat = 0;
    double x[6] = {1, 2, 3, 4, 5, 6};
    const int res = cvSGP4(0.0, x[0], x[1], x[2], x[3], x[4], x[5]);
    QVERIFY(res != 0 && res != SGP4FIT_NOTCONVERGED);
    for (int k = 0; k < 6; ++k) QCOMPARE(x[k], k + 1.0);
    QCOMPARE(indata->sgpsat, SGPSAT_NONE);
    QVERIFY(!cvSGP4Text(res).isEmpty());
    State(7000.0, 12.0);  // unbound
    QCOMPARE(cvSGP4(0.0, x[0], x[1], x[2], x[3], x[4], x[5]), int(RV2EL_NOTELLIPTIC));
  }

  void putStateRefuses() {
    OrbitRecord();
    State(7000.0, 7.5);
    const WinpData before = *indata;
    QVERIFY(!vsPutState(false, 60001.0, 0, 0, 0, 2, 0, 0, 0, NAN, 0, 0, 0, 7.5, 0, false));
    QVERIFY(!vsPutState(false, 60001.0, 0, 0, 0, 2, 0, 0, 0, 0, 0, 0, 0, 7.5, 0, false));
    QVERIFY(!vsPutState(true, 60001.0, INFINITY, 0, 0, 2, 0, 0, 0, 7000, 0, 0, 0, 7.5, 0, false));
    QVERIFY(std::memcmp(&before, indata, sizeof before) == 0);
    // The same vector read and stored again: the metres as they were.
    double f107, fb107, kp, cr, cd, am, x, y, z, vx, vy, vz, ep;
    int frame;
    indata->rx[0] = 6778137.123456789;
    vsGetState(true, f107, fb107, kp, frame, cr, cd, am, x, y, z, vx, vy, vz, ep);
    QVERIFY(vsPutState(true, ep, f107, fb107, kp, frame, cr, cd, am, x, y, z, vx, vy, vz, false));
    QCOMPARE(indata->rx[0], 6778137.123456789);
  }

  void putAdjKeepsFiniteValues() {
    OrbitRecord();
    vsPutAdj(true, true, NAN, -3.0, INFINITY, 1);
    QCOMPARE(indata->adjtim, 0.0);
    QCOMPARE(indata->adjn0, 0.0);
    QCOMPARE(indata->adjra, 0.0);
    QCOMPARE(indata->wgs, 1);
    QCOMPARE(indata->sgpsat, SGPSAT_NONE);
  }
};

QTEST_MAIN(VsOrbitServicesTest)
#include "vsservices_orbit_test.moc"
