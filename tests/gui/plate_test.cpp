// Plate constants against astropy's gnomonic projection: plates of Orion's
// belt at 20"/px turned, mirrored and with two reference stars in one pixel
// column or row; degenerate reference stars refused; the projection's edge
// cases.
#include <QtTest>
#include <cmath>
#include <memory>

#include "engine/plate.h"
#include "photorefs.h"

namespace {

const photo::Refs& refs() {
  static const photo::Refs r = photo::load(VORLIX_TEST_DATA);
  return r;
}

std::unique_ptr<WinpData> Record() { return std::make_unique<WinpData>(); }

// Reference star k of d: star hr of the catalogue at pixel (x, y).
void SetStar(WinpData& d, int k, double ra, double dec, int x, int y) {
  d.picra[k] = ra * photo::kDeg;
  d.picdec[k] = dec * photo::kDeg;
  d.refx[k] = x;
  d.refy[k] = y;
}

void SetStar(WinpData& d, int k, const photo::Plate& p, int hr) {
  const photo::Star& s = refs().stars.at(hr);
  const photo::OnPlate* o = p.star(hr);
  QVERIFY(o);
  SetStar(d, k, s.ra, s.dec, o->px, o->py);
}

}  // namespace

class PlateTest : public QObject {
  Q_OBJECT
 private slots:
  void initTestCase() { QVERIFY(refs().plates.size() >= 6); }

  void readings_data();
  void readings();
  void degenerate_data();
  void degenerate();
  void lsqfitOneColumn();
  void equpltTangentPoint();
  void readingAtStar1IsStar1();
  void rightAscensionStaysBelow24h();
  void pixelOfADirection();
  void nothingBehindTheCamera();
};

// Calibrated on three stars at their rounded pixels, the other stars read
// within 1.5 px of their catalogue places, and the pixel of each star's
// catalogue place lies within 1.5 px of it.
void PlateTest::readings_data() {
  QTest::addColumn<QString>("plate");
  QTest::addColumn<int>("hr1");
  QTest::addColumn<int>("hr2");
  QTest::addColumn<int>("hr3");
  QTest::newRow("north up") << "rot0" << 1852 << 1788 << 1931;
  QTest::newRow("turned 37 deg") << "rot37" << 1852 << 1788 << 1948;
  QTest::newRow("upside down") << "rot180" << 1903 << 1788 << 1852;
  QTest::newRow("mirrored") << "mirror" << 1852 << 1788 << 1931;
  QTest::newRow("star 2 in star 1's column") << "column" << 1852 << 1903 << 1788;
  QTest::newRow("star 2 in star 1's row") << "row" << 1788 << 1903 << 1852;
}

void PlateTest::readings() {
  QFETCH(QString, plate);
  QFETCH(int, hr1);
  QFETCH(int, hr2);
  QFETCH(int, hr3);
  const photo::Plate& p = refs().plate(plate.toStdString());
  QVERIFY(!p.stars.empty());
  auto d = Record();
  SetStar(*d, 0, p, hr1);
  SetStar(*d, 1, p, hr2);
  SetStar(*d, 2, p, hr3);
  if (plate == "column") QCOMPARE(d->refx[1], d->refx[0]);
  if (plate == "row") QCOMPARE(d->refy[1], d->refy[0]);
  QCOMPARE(getPlateConst(*d), PLATE_OK);
  const double tol = 1.5 * p.scale() * 3600.0;  // arcsec
  int checked = 0;
  for (const photo::OnPlate& o : p.stars) {
    const photo::Star& s = refs().stars.at(o.hr);
    double ra, dec, raDeg, decDeg;
    getRaDec(*d, o.px, o.py, ra, dec);
    photo::unpack(ra, dec, raDeg, decDeg);
    const double err = photo::arcsec(raDeg, decDeg, s.ra, s.dec);
    if (err > tol) qWarning("HR %d: %.1f arcsec from the catalogue", o.hr, err);
    QVERIFY(err <= tol);
    double x, y;
    QVERIFY(platePixel(*d, s.ra * photo::kDeg, s.dec * photo::kDeg, x, y));
    QVERIFY(std::hypot(x - o.px, y - o.py) <= 1.5);
    ++checked;
  }
  QVERIFY(checked >= 8);
}

// Refused, and the plate constants stay as they were.
void PlateTest::degenerate_data() {
  QTest::addColumn<QVector<double>>("sky");  // ra, dec of the three stars (deg)
  QTest::addColumn<QVector<int>>("pixels");  // x, y of the three stars
  const QVector<double> belt = {83.0, -0.2992, 84.05, -1.2019, 81.1167, -2.3969};
  QTest::newRow("collinear pixels") << belt << QVector<int>{100, 100, 200, 200, 300, 300};
  QTest::newRow("three stars in one row") << belt << QVector<int>{100, 100, 600, 100, 301, 100};
  QTest::newRow("star 2 on star 1's pixel") << belt << QVector<int>{100, 100, 100, 100, 300, 50};
  QTest::newRow("two stars in one place")
      << QVector<double>{83.0, -0.2992, 83.0, -0.2992, 81.1167, -2.3969}
      << QVector<int>{100, 100, 400, 120, 300, 350};
  QTest::newRow("three stars on one great circle")
      << QVector<double>{10.0, 0.0, 12.0, 0.0, 15.0, 0.0} << QVector<int>{100, 100, 400, 120, 300, 350};
  QTest::newRow("not a number")
      << QVector<double>{83.0, -0.2992, qQNaN(), -1.2019, 81.1167, -2.3969}
      << QVector<int>{100, 100, 400, 120, 300, 350};
}

void PlateTest::degenerate() {
  QFETCH(QVector<double>, sky);
  QFETCH(QVector<int>, pixels);
  auto d = Record();
  for (int k = 0; k < 3; ++k) SetStar(*d, k, sky[2 * k], sky[2 * k + 1], pixels[2 * k], pixels[2 * k + 1]);
  const double before[6] = {1, 2, 3, 4, 5, 6};
  for (int i = 0; i < 3; ++i) {
    d->pcx[i] = before[i];
    d->pcy[i] = before[3 + i];
  }
  QCOMPARE(getPlateConst(*d), PLATE_DEGENERATE);
  for (int i = 0; i < 3; ++i) {
    QCOMPARE(d->pcx[i], before[i]);
    QCOMPARE(d->pcy[i], before[3 + i]);
  }
}

// Star 2 straight below star 1: solved exactly, not through its zero column
// offset.
void PlateTest::lsqfitOneColumn() {
  // v = 2 dx - 3 dy + 0.5 at (0, 0), (0, 40), (25, 10).
  const double a[12] = {0, 0, 1, 0.5, 0, 40, 1, 0.5 - 120, 25, 10, 1, 0.5 + 50 - 30};
  double c[3] = {};
  QVERIFY(lsqfit(a, c));
  QCOMPARE(c[0], 2.0);
  QCOMPARE(c[1], -3.0);
  QCOMPARE(c[2], 0.5);
  const double line[12] = {0, 0, 1, 0, 10, 10, 1, 1, 20, 20, 1, 2};
  double u[3] = {7, 7, 7};
  QVERIFY(!lsqfit(line, u));
  QCOMPARE(u[0], 7.0);
}

void PlateTest::equpltTangentPoint() {
  double X = 1, Y = 1;
  QCOMPARE(equplt(1.2, -0.3, 1.2, -0.3, X, Y), 1.0);
  QCOMPARE(X, 0.0);
  QCOMPARE(Y, 0.0);
  // West of the tangent point X is positive, north Y.
  equplt(1.2, -0.3, 1.19, -0.29, X, Y);
  QVERIFY(X > 0 && Y > 0);
}

void PlateTest::readingAtStar1IsStar1() {
  const photo::Plate& p = refs().plate("rot37");
  auto d = Record();
  SetStar(*d, 0, p, 1852);
  SetStar(*d, 1, p, 1788);
  SetStar(*d, 2, p, 1948);
  QCOMPARE(getPlateConst(*d), PLATE_OK);
  double ra, dec;
  getRaDec(*d, d->refx[0], d->refy[0], ra, dec);
  QCOMPARE(ra, DegFDms(12.0 * d->picra[0] / photo::kPi));
  QCOMPARE(dec, DegFDms(180.0 * d->picdec[0] / photo::kPi));
}

// A plate about 0h: points east of 0h read just above 0h, not above 24h, and
// a point 0.3 s before 24h (whose seconds round up) reads 0h.
void PlateTest::rightAscensionStaysBelow24h() {
  auto d = Record();
  const double s = 20.0 / 3600.0 * photo::kDeg;  // rad/px
  d->picra[0] = 2 * photo::kPi - 10 * s;           // 10 px west of 0h
  d->picdec[0] = 0.0;
  d->refx[0] = 500;
  d->refy[0] = 300;
  d->pcx[0] = s;  // x grows westwards, y southwards
  d->pcy[1] = -s;
  double ra, dec;
  getRaDec(*d, 480, 300, ra, dec);  // 10 px east of 0h
  QVERIFY(ra >= 0.0 && ra < 0.01);
  QVERIFY(std::fabs(DmsDegF(ra) * 15.0 - 10 * 20.0 / 3600.0) < 1e-6);
  d->picra[0] = 2 * photo::kPi - 0.3 / 86400.0 * 2 * photo::kPi;
  getRaDec(*d, 500, 300, ra, dec);
  QVERIFY(ra >= 0.0 && ra < 24.0);
}

void PlateTest::pixelOfADirection() {
  const photo::Plate& p = refs().plate("mirror");
  auto d = Record();
  SetStar(*d, 0, p, 1852);
  SetStar(*d, 1, p, 1788);
  SetStar(*d, 2, p, 1931);
  QCOMPARE(getPlateConst(*d), PLATE_OK);
  // The reference stars come back to their own pixels.
  for (int k = 0; k < 3; ++k) {
    double x, y;
    QVERIFY(platePixel(*d, d->picra[k], d->picdec[k], x, y));
    QVERIFY(std::fabs(x - d->refx[k]) < 1e-6 && std::fabs(y - d->refy[k]) < 1e-6);
  }
  // A plate that cannot be inverted places nothing.
  d->pcx[0] = d->pcx[1] = 0.0;
  double x = -1, y = -1;
  QVERIFY(!platePixel(*d, d->picra[1], d->picdec[1], x, y));
  QCOMPARE(x, -1.0);
}

// Directions behind the camera (and beyond 80 deg) are not placed, though the
// projection would put them on the picture, mirrored through its centre.
void PlateTest::nothingBehindTheCamera() {
  const photo::Plate& p = refs().plate("rot0");
  auto d = Record();
  SetStar(*d, 0, p, 1852);
  SetStar(*d, 1, p, 1788);
  SetStar(*d, 2, p, 1931);
  QCOMPARE(getPlateConst(*d), PLATE_OK);
  const double ra = d->picra[1], dec = d->picdec[1];
  double X, Y;
  QVERIFY(equplt(d->picra[0], d->picdec[0], ra + photo::kPi, -dec, X, Y) < 0);
  double x, y;
  QVERIFY(platePixel(*d, ra, dec, x, y));
  QVERIFY(!platePixel(*d, ra + photo::kPi, -dec, x, y));
  QVERIFY(!platePixel(*d, d->picra[0] + 85.0 * photo::kDeg, d->picdec[0], x, y));
  QVERIFY(platePixel(*d, d->picra[0] + 60.0 * photo::kDeg, d->picdec[0], x, y));
}

QTEST_APPLESS_MAIN(PlateTest)
#include "plate_test.moc"
