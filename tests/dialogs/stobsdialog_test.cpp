// Observer dialog: decimal <-> DD.MMSS display, the packed input read back,
// refusals of impossible places.
#include <QLineEdit>
#include <QRadioButton>
#include <QtTest>
#include <cmath>

#include "dialogs/stobsdialog.h"
#include "engine/config.h"
#include "gui/recordparams.h"
#include "support/dialogrefusal.h"
#include "support/files.h"
#include "support/record.h"

namespace {
// Packed D.MMSS text worked out with whole arcseconds of a tenth, independent
// of the engine: seconds of 59.5 and more go up into the next minute.
QString packedText(double deg) {
  double a = std::fabs(deg);
  long tenths = std::lround(a * 36000.0);
  long d = tenths / 36000, m = (tenths / 600) % 60;
  double s = (tenths % 600) / 10.0;
  if (s >= 59.5) { s = 0; if (++m == 60) { m = 0; ++d; } }
  double v = d + m / 100.0 + s / 10000.0;
  char buf[32];
  std::snprintf(buf, sizeof buf, std::fabs(deg) > 100.0 ? "%10.4f" : "%g", deg < 0 ? -v : v);
  return QString::fromLatin1(buf);
}
}  // namespace

class StObsDialogTest : public QObject {
  Q_OBJECT

  static QLineEdit* edit(StObsDialog& d, const char* name) { return d.findChild<QLineEdit*>(name); }
  static ObsParams place(double lat, double lng, double height, const char* name, bool packed) {
    ObsParams p;
    p.lat = lat;
    p.lng = lng;
    p.height = height;
    p.name = QString::fromLatin1(name);
    p.packed = packed;
    return p;
  }

 private slots:
  void switching_data() {
    QTest::addColumn<double>("lat");
    QTest::addColumn<double>("lng");
    QTest::addColumn<QString>("latDec");
    QTest::addColumn<QString>("lngDec");
    QTest::newRow("48.5 / 11.25") << 48.5 << 11.25 << "48.5" << "11.25";
    QTest::newRow("west, wide field") << -33.875 << -122.5 << "-33.875" << " -122.5000";
    QTest::newRow("seconds") << 48.123456 << 16.3725 << "48.1235" << "16.3725";
    QTest::newRow("rounds into the minute") << 10.999999 << 179.99999 << "11" << "  180.0000";
    QTest::newRow("equator, Greenwich") << 0.0 << 0.0 << "0" << "0";
  }
  void switching() {
    QFETCH(double, lat);
    QFETCH(double, lng);
    QFETCH(QString, latDec);
    QFETCH(QString, lngDec);
    StObsDialog d;
    d.setParams(place(lat, lng, 500.0, "Here", false));
    QCOMPARE(edit(d, "latEdit")->text(), latDec);
    QCOMPARE(edit(d, "lngEdit")->text(), lngDec);
    auto* packed = d.findChild<QRadioButton*>("ddmmButton");
    auto* decimal = d.findChild<QRadioButton*>("decButton");
    packed->click();
    QCOMPARE(edit(d, "latEdit")->text(), packedText(lat));
    QCOMPARE(edit(d, "lngEdit")->text(), packedText(lng));
    packed->click();  // the mode already shown: nothing changes
    QCOMPARE(edit(d, "latEdit")->text(), packedText(lat));
    QCOMPARE(edit(d, "heightEdit")->text(), QString("500"));
    decimal->click();
    QCOMPARE(edit(d, "latEdit")->text(), latDec);
    QCOMPARE(edit(d, "lngEdit")->text(), lngDec);
    // Untouched, the place comes back as it was passed, whatever the mode
    // (to the half arcsecond the packed form rounds to).
    packed->click();
    const ObsParams p = d.params();
    QVERIFY(p.packed);
    QVERIFY(std::fabs(p.lat - lat) <= 0.5 / 3600);
    QVERIFY(std::fabs(p.lng - lng) <= 0.5 / 3600);
    QCOMPARE(p.height, 500.0);
  }

  void packedOnInput() {
    StObsDialog d;
    d.setParams(place(48.5, -122.5, 0.0, "Somewhere", true));
    QVERIFY(d.findChild<QRadioButton*>("ddmmButton")->isChecked());
    QCOMPARE(edit(d, "latEdit")->text(), QString("48.3"));
    QCOMPARE(edit(d, "lngEdit")->text(), QString(" -122.3000"));
    d.findChild<QRadioButton*>("decButton")->click();
    QCOMPARE(edit(d, "lngEdit")->text(), QString(" -122.5000"));
  }

  // Typed packed digits count as they stand: 75 minutes are 1.25 degrees.
  void packedTyped_data() {
    QTest::addColumn<QString>("typed");
    QTest::addColumn<double>("deg");
    QTest::newRow("48.3") << "48.3" << 48.5;
    QTest::newRow("48.75") << "48.75" << 49.25;
    QTest::newRow("-33.5230") << "-33.5230" << -33.875;
  }
  void packedTyped() {
    QFETCH(QString, typed);
    QFETCH(double, deg);
    StObsDialog d;
    d.setParams(place(0.0, 0.0, 0.0, "", true));
    edit(d, "latEdit")->setText(typed);
    QVERIFY(refusalOf(d).isEmpty());
    const double la = d.params().lat;
    QVERIFY2(std::fabs(la - deg) < 1e-9, qPrintable(QString::number(la, 'g', 12)));
  }

  void nameIsReturnedUncut() {
    StObsDialog d;
    d.setParams(place(0.0, 0.0, 0.0, "Short", false));
    QString longName(45, QChar('x'));
    edit(d, "locEdit")->setText(longName);
    QCOMPARE(d.params().name, longName);
  }

  void refusals_data() {
    QTest::addColumn<bool>("ddmm");
    QTest::addColumn<QString>("field");
    QTest::addColumn<QString>("text");
    QTest::addColumn<QString>("refusal");
    QTest::newRow("lat 95") << false << "latEdit" << "95" << "Latitude";
    QTest::newRow("lat -90") << false << "latEdit" << "-90" << "";
    QTest::newRow("lat nan") << false << "latEdit" << "nan" << "Latitude";
    QTest::newRow("packed 90.30") << true << "latEdit" << "90.30" << "Latitude";
    QTest::newRow("packed 89.75") << true << "latEdit" << "89.75" << "Latitude";
    QTest::newRow("packed -89.5959") << true << "latEdit" << "-89.5959" << "";
    QTest::newRow("packed decimal comma") << true << "latEdit" << "48,5"
                                          << "Latitude: \"48,5\" is not a number.";
    QTest::newRow("lng inf") << false << "lngEdit" << "inf" << "Longitude";
    QTest::newRow("lng 400") << false << "lngEdit" << "400" << "Longitude";
    QTest::newRow("lng -180") << false << "lngEdit" << "-180" << "";
    QTest::newRow("height 1e999") << false << "heightEdit" << "1e999" << "Height";
    QTest::newRow("height letters") << false << "heightEdit" << "high"
                                   << "Height: \"high\" is not a number.";
    QTest::newRow("decimal comma") << false << "latEdit" << "48,137"
                                   << "Latitude: \"48,137\" is not a number.";
    QTest::newRow("height 1e6") << false << "heightEdit" << "1e6" << "Height";
    QTest::newRow("place with a letter beyond Latin-1")
        << false << "locEdit" << QString::fromUtf8("\xc5\x81\xc3\xb3" "d\xc5\xba")
        << QString::fromUtf8("Name of Location: the letter \"\xc5\x81\"");
    QTest::newRow("place beyond 16 bits") << false << "locEdit"
                                          << QString::fromUtf8("Berlin \xf0\x9f\x99\x82")
                                          << QString::fromUtf8("Name of Location: the letter \"\xf0\x9f\x99\x82\"");
    QTest::newRow("place in Latin-1") << false << "locEdit" << QString::fromUtf8("M\xc3\xbcnchen")
                                      << "";
  }
  void refusals() {
    QFETCH(bool, ddmm);
    QFETCH(QString, field);
    QFETCH(QString, text);
    QFETCH(QString, refusal);
    StObsDialog d;
    d.setParams(place(48.0, 11.0, 500.0, "Here", ddmm));
    edit(d, field.toLatin1().constData())->setText(text);
    expectRefusal(d, refusal);
    // A refused dialog stays open on the field, nothing else changed.
    if (!refusal.isEmpty()) QCOMPARE(edit(d, field.toLatin1().constData())->text(), text);
  }

  // A place name with letters beyond ASCII reaches the record as the letters
  // typed (an accent typed as a mark of its own included), and the
  // configuration file keeps it in UTF-8 and gives it back.
  void placeNameInRecord() {
    StObsDialog d;
    d.setParams(place(48.1, 11.6, 520.0, "Here", false));
    edit(d, "locEdit")->setText(QString::fromUtf8("Mu\xcc\x88nchen"));  // u + combining diaeresis
    expectRefusal(d, "");
    auto rec = support::newRecord(0.0, 0.0, 0.0);
    obsToRecord(d.params(), *rec);
    QCOMPARE(QByteArray(rec->geoname), QByteArray("M\xfcnchen"));
    const support::TempDir dir;
    const std::string cfg = dir / "vorlix.cfg";
    QCOMPARE(putcfg(rec.get(), cfg.c_str()), 0);
    QVERIFY(readFile(cfg).find("\nM\xc3\xbcnchen\n") != std::string::npos);
    auto back = support::newRecord(0.0, 0.0, 0.0);
    QCOMPARE(getcfg(back.get(), cfg.c_str()), CFG_READ);
    QCOMPARE(QByteArray(back->geoname), QByteArray("M\xfcnchen"));
  }
};

QTEST_MAIN(StObsDialogTest)
#include "stobsdialog_test.moc"
