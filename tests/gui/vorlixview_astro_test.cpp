// The photograph through the window: a synthetic photograph of Orion's belt
// (astropy's gnomonic projection) loaded and scaled, calibrated on three stars
// by clicks, R.A./Dec. read at other stars against astropy and the catalogue
// at full, half and quarter size; the click state machine; the ISS overlaid
// where skyfield sees it; orbit determination from skyfield's observations of
// the ISS and the matching search, with every cancel path.
#include <QAction>
#include <QDialog>
#include <QLineEdit>
#include <QPushButton>
#include <QScrollArea>
#include <QScrollBar>
#include <QtTest>
#include <sys/stat.h>

#include <cmath>
#include <cstring>
#include <memory>

#include "astro/astrolib.h"
#include "engine/plate.h"
#include "engine/tle.h"
#include "gui/records.h"
#include "gui/vorlix.h"
#include "gui/vorlixview.h"
#include "photorefs.h"
#include "support/watchdog.h"
#include "support/orbitslots.h"
#include "support/scriptedprompter.h"
#include "support/shots.h"
#include "support/windowfixture.h"

namespace {

const photo::Refs& refs() {
  static const photo::Refs r = photo::load(VORLIX_TEST_DATA);
  return r;
}
const photo::Plate& plate() { return refs().plate("photo"); }

// The reference stars of the synthetic photograph (on whole pixels there).
constexpr int kRefs[3] = {1852, 1788, 1903};

std::unique_ptr<WinpData> Copy() { return std::make_unique<WinpData>(*indata); }
bool Same(const WinpData& a) { return std::memcmp(&a, indata, sizeof a) == 0; }

QString Num(double v) { return QString::number(v, 'g', 12); }

// The star dialog answered with the catalogue place of star hr.
void AnswerStar(ScriptedPrompter& p, int hr) {
  const photo::Star& s = refs().stars.at(hr);
  p.fillAndAccept({{"raEdit", Num(DegFDms(s.ra / 15.0))}, {"decEdit", Num(DegFDms(s.dec))}});
}

void Click(VorlixView* v, const QPoint& at) { QTest::mouseClick(v, Qt::RightButton, {}, at); }

// Pixel of a full-size pixel on the picture shown at the scale the view
// holds (Qt's smooth scaling maps pixel centres).
QPoint Shown(const VorlixView* v, double x, double y) {
  const QSize full = v->pmpicsrc.size();
  const QSize s = full.scaled(v->pmpics.size(), Qt::KeepAspectRatio);
  const double fx = double(s.width()) / full.width(), fy = double(s.height()) / full.height();
  return QPoint(int(std::lround((x + 0.5) * fx - 0.5)), int(std::lround((y + 0.5) * fy - 0.5)));
}

// Calibrates the picture shown on the three reference stars by clicks.
void Calibrate(VorlixView* v) {
  ScriptedPrompter p;
  for (int k = 0; k < 3; ++k) {
    const photo::OnPlate* o = plate().star(kRefs[k]);
    AnswerStar(p, kRefs[k]);
    Click(v, Shown(v, o->px, o->py));
  }
  QCOMPARE(indata->npicpt, 4);
}

// The reading (deg) of a click at pixel at.
void ReadAt(VorlixView* v, const QPoint& at, double& ra, double& dec) {
  Click(v, at);
  const int k = indata->npicpt == 5 ? 3 : 4;  // the first pick fills entry 3
  photo::unpack(indata->picra[k], indata->picdec[k], ra, dec);
}

// The date fields and zone that make curmjd the given MJD.
void DateFields(double t) {
  setDateFields(t);
  setNewMjd(indata);
}

// The ISS of match.tle into slot i.
bool LoadIss(int i) { return LoadSatFrom(QStringLiteral("gui/match.tle"), "ISS", i); }

// Positions as skyfield computed them: WGS-72, UT1 = UTC, R.A./Dec. of J2000.
void SkyfieldSettings() {
  WinpData* d = indata;
  d->wgs = 0;
  d->sdp4 = true;
  d->IERSflg = false;
  d->Ut1Utc = 0;
  d->yrepoch = 2000;
  d->rlm = 0;
  d->occflg = d->flarflg = d->iridflg = 0;
  d->sgpsat = SGPSAT_NONE;
  // Every pass counts, seen or not.
  d->visflg = 0;
  d->satel = 0;
}

QString Page() {
  QString s;
  char line[WOUT_LINELEN + 1];
  for (int i = 0; i < outdata->nlines; ++i) {
    WoutLineCopy(outdata, i, line);
    s += QString::fromLatin1(line) + '\n';
  }
  return s;
}

}  // namespace

class PhotoTest : public WindowTest {
  Q_OBJECT

  // The synthetic photograph loaded at scale code scale.
  void Load(int scale = 0) {
    indata->picscl = scale;
    view()->vPicture(photo::render(refs(), plate()));
  }

  // The calibrated photograph with the ISS, in a 700 x 500 window scrolled
  // to (200, 150).
  bool LoadScrolled() {
    win->resize(700, 500);
    win->show();
    Load(0);
    Calibrate(view());
    if (!LoadIss(0)) return false;
    SkyfieldSettings();
    QScrollArea* area = win->scroller();
    area->horizontalScrollBar()->setValue(200);
    area->verticalScrollBar()->setValue(150);
    return true;
  }

 private slots:
  void init() {
    startStandard([](const WindowFixture& f) { f.copyData("gui/match.tle", "match.tle"); });
    QVERIFY(!plate().stars.empty());
  }
  void cleanup() { closeWindow(); }

  void actions();
  void pictureNotRegularFile_data();
  void pictureNotRegularFile();
  void sizes_data();
  void sizes();
  void readingsFullSize();
  void readingsScaled_data();
  void readingsScaled();
  void starDialogCancelAndAbort();
  void degenerateThirdStar();
  void picksRoll();
  void overlay();
  void overlayLeavesOut_data();
  void overlayLeavesOut();
  void textAtVisibleCorner();
  void homeMovesTheLine();
  void orbitDetermination_data();
  void orbitDetermination();
  void orbitDeterminationBadInput();
  void orbitDeterminationWithoutMotion_data();
  void orbitDeterminationWithoutMotion();
  void orbitDeterminationTenSelected();
  void orbitDeterminationCancel();
  void match();
  void matchCancel();
  void matchWithoutTleFile();
};

// Open Picture, matching and orbit determination are on; the picture entries
// come on with the first photograph.
void PhotoTest::actions() {
  for (auto a : {VorlixApp::FilePicture, VorlixApp::CalcMatch, VorlixApp::ManvOrbDet})
    QVERIFY(win->action(a)->isEnabled());
  for (auto a : {VorlixApp::ViewPicture, VorlixApp::Size25, VorlixApp::Size50,
                 VorlixApp::NormalSize})
    QVERIFY(!win->action(a)->isEnabled());
  const QString file = fx->path("orion.png");
  QVERIFY(photo::render(refs(), plate()).save(file));
  ScriptedPrompter p;
  p.answer(file);
  win->action(VorlixApp::FilePicture)->trigger();
  for (auto a : {VorlixApp::ViewPicture, VorlixApp::Size25, VorlixApp::Size50,
                 VorlixApp::NormalSize})
    QVERIFY(win->action(a)->isEnabled());
  QVERIFY(win->action(VorlixApp::ViewPicture)->isChecked());
  QCOMPARE(view()->size(), QSize(1001, 701));
  win->action(VorlixApp::Size25)->trigger();
  QCOMPARE(view()->size(), QSize(250, 175));
  // Picture off: the plot again.
  win->action(VorlixApp::ViewPicture)->setChecked(false);
  QVERIFY(!indata->picmd);
  QCOMPARE(view()->size(), view()->pmplot.size());
}

// A FIFO (or a directory, a device) chosen as the photograph is refused at
// once with the usual message; the window never waits for a writer.
void PhotoTest::pictureNotRegularFile_data() {
  QTest::addColumn<QString>("kind");
  QTest::newRow("fifo") << "fifo";
  QTest::newRow("directory") << "directory";
  QTest::newRow("device") << "device";
}

void PhotoTest::pictureNotRegularFile() {
  QFETCH(QString, kind);
  QString file = fx->path("sky.png");
  if (kind == "fifo")
    QCOMPARE(mkfifo(QFile::encodeName(file).constData(), 0600), 0);
  else if (kind == "directory")
    QVERIFY(QDir().mkdir(file));
  else
    file = "/dev/zero";
  ScriptedPrompter p;
  p.answer(file);
  {
    support::Watchdog dog(10, "loading a photograph that is no regular file");
    win->action(VorlixApp::FilePicture)->trigger();
  }
  const QList<ScriptedPrompter::Box> told = p.of("inform");
  QCOMPARE(told.size(), 1);
  QCOMPARE(told[0].text, "Cannot load " + file + ".");
  QVERIFY(!win->action(VorlixApp::ViewPicture)->isEnabled());
}

void PhotoTest::sizes_data() {
  QTest::addColumn<int>("scale");
  QTest::addColumn<QSize>("size");
  QTest::newRow("50 %") << 2 << QSize(500, 350);
  QTest::newRow("25 %") << 3 << QSize(250, 175);
  QTest::newRow("full") << 0 << QSize(1001, 701);
}

void PhotoTest::sizes() {
  QFETCH(int, scale);
  QFETCH(QSize, size);
  Load(1);
  QCOMPARE(view()->pmpics.size(), QSize(1001, 701));
  indata->npicpt = 5;
  view()->vImage(scale);
  QCOMPARE(view()->pmpics.size(), size);
  QCOMPARE(view()->pmpicw.size(), size);
  QCOMPARE(view()->size(), size);
  QCOMPARE(indata->picscl, scale);
  QCOMPARE(indata->npicpt, 1);
  QVERIFY(indata->picmd);
  QCOMPARE(indata->dspst, 1);
}

// At full size every star reads within 1 arcsec of what astropy's projection
// gives for its pixel, and within 1.5 px of its catalogue place.
void PhotoTest::readingsFullSize() {
  Load(0);
  Calibrate(view());
  const double px = plate().scale() * 3600.0;
  int n = 0;
  for (const photo::OnPlate& o : plate().stars) {
    double ra, dec;
    ReadAt(view(), QPoint(o.px, o.py), ra, dec);
    // In the packed form seconds of 59.5 and more go up to the next minute:
    // astropy's value is compared in the same form.
    double tra, tdec;
    photo::unpack(DegFDms(o.ra / 15.0), DegFDms(o.dec), tra, tdec);
    const double err = photo::arcsec(ra, dec, tra, tdec);
    if (err > 1.0) qWarning("HR %d: %.2f arcsec from astropy", o.hr, err);
    QVERIFY(err <= 1.0);
    const photo::Star& s = refs().stars.at(o.hr);
    QVERIFY(photo::arcsec(ra, dec, s.ra, s.dec) <= 1.5 * px);
    ++n;
  }
  QVERIFY(n >= 8);
  shot(view()->pmpicw, "photo-full.png");
}

// Half and quarter size: calibrated again on the scaled picture, the other
// stars read what the full size reads, within 1.5 px of the scale shown.
void PhotoTest::readingsScaled_data() {
  QTest::addColumn<int>("scale");
  QTest::newRow("50 %") << 2;
  QTest::newRow("25 %") << 3;
}

void PhotoTest::readingsScaled() {
  QFETCH(int, scale);
  Load(0);
  Calibrate(view());
  QVector<QPointF> full;
  for (const photo::OnPlate& o : plate().stars) {
    double ra, dec;
    ReadAt(view(), QPoint(o.px, o.py), ra, dec);
    full << QPointF(ra, dec);
  }
  view()->vImage(scale);
  Calibrate(view());
  const double px = plate().scale() * 3600.0 * (scale == 2 ? 2 : 4);
  int k = 0;
  for (const photo::OnPlate& o : plate().stars) {
    double ra, dec;
    ReadAt(view(), Shown(view(), o.px, o.py), ra, dec);
    const photo::Star& s = refs().stars.at(o.hr);
    const double e1 = photo::arcsec(ra, dec, s.ra, s.dec);
    const double e2 = photo::arcsec(ra, dec, full[k].x(), full[k].y());
    if (e1 > 1.5 * px || e2 > 1.5 * px)
      qWarning("HR %d: %.1f arcsec from the catalogue, %.1f from full size (px %.1f)", o.hr, e1, e2, px);
    QVERIFY(e1 <= 1.5 * px);
    QVERIFY(e2 <= 1.5 * px);
    ++k;
  }
}

// Cancel changes nothing and asks the same star again; Abort clears the
// stars; a second star clicked on the first one's place is the second star.
void PhotoTest::starDialogCancelAndAbort() {
  Load(0);
  const photo::OnPlate* o1 = plate().star(kRefs[0]);
  ScriptedPrompter p;
  AnswerStar(p, kRefs[0]);
  Click(view(), QPoint(o1->px, o1->py));
  QCOMPARE(indata->npicpt, 2);
  const auto before = Copy();
  const QImage picture = view()->pmpicw.toImage();
  p.reject();
  Click(view(), QPoint(5, 5));
  QVERIFY(Same(*before));
  QCOMPARE(view()->pmpicw.toImage(), picture);
  // The same star asked again: its second place is star 2, whatever it is.
  AnswerStar(p, kRefs[1]);
  Click(view(), QPoint(o1->px, o1->py));
  QCOMPARE(indata->npicpt, 3);
  QCOMPARE(indata->refx[1], indata->refx[0]);
  QCOMPARE(indata->refy[1], indata->refy[0]);
  // Abort: the stars go, the next click asks for star 1.
  p.onExec([](QDialog& d) {
    d.findChild<QPushButton*>("abortButton")->click();
    return d.result();
  });
  Click(view(), QPoint(50, 50));
  QCOMPARE(p.of("inform").size(), 1);
  QCOMPARE(p.of("inform")[0].title, QString("PicAst: "));
  QCOMPARE(p.of("inform")[0].text, QString("Astrometry aborted."));
  QCOMPARE(indata->npicpt, 1);
  for (int i = 0; i < 3; ++i) QVERIFY(indata->picra[i] == 0.0 && indata->picdec[i] == 0.0);
  // The star marks are gone with them.
  QCOMPARE(view()->pmpicw.toImage(), view()->pmpics.toImage());
}

// A third star in line with the first two is refused and asked again; the
// plate constants stay unset until a usable star comes.
void PhotoTest::degenerateThirdStar() {
  Load(0);
  ScriptedPrompter p;
  const photo::OnPlate* a = plate().star(kRefs[0]);
  const photo::OnPlate* b = plate().star(kRefs[1]);
  AnswerStar(p, kRefs[0]);
  Click(view(), QPoint(a->px, a->py));
  AnswerStar(p, kRefs[1]);
  Click(view(), QPoint(b->px, b->py));
  AnswerStar(p, kRefs[2]);
  Click(view(), QPoint(2 * b->px - a->px, 2 * b->py - a->py));  // on the line through 1 and 2
  QCOMPARE(p.of("warn").size(), 1);
  QCOMPARE(p.of("warn")[0].text, QString("Reference stars are collinear; choose another third star"));
  QCOMPARE(indata->npicpt, 3);
  for (int i = 0; i < 3; ++i) QVERIFY(indata->pcx[i] == 0.0 && indata->pcy[i] == 0.0);
  const photo::OnPlate* c = plate().star(kRefs[2]);
  AnswerStar(p, kRefs[2]);
  Click(view(), QPoint(c->px, c->py));
  QCOMPARE(indata->npicpt, 4);
  QVERIFY(indata->pcx[0] != 0.0);
}

// Picks fill entry 3, then 4; later picks move 4 to 3: the last two are kept.
// The reading is written in yellow at the visible top left.
void PhotoTest::picksRoll() {
  Load(0);
  Calibrate(view());
  const QImage clean = view()->pmpics.toImage();
  double ra[4], dec[4];
  const QPoint at[4] = {{100, 100}, {200, 150}, {300, 200}, {400, 250}};
  for (int k = 0; k < 4; ++k) {
    getRaDec(*indata, at[k].x(), at[k].y(), ra[k], dec[k]);
    Click(view(), at[k]);
    QCOMPARE(indata->npicpt, std::min(5 + k, 6));
  }
  QCOMPARE(indata->picra[3], ra[2]);
  QCOMPARE(indata->picdec[3], dec[2]);
  QCOMPARE(indata->picra[4], ra[3]);
  QCOMPARE(indata->picdec[4], dec[3]);
  const QImage shownPic = view()->pmpicw.toImage();
  int yellow = 0;
  for (int y = 0; y < 40; ++y)
    for (int x = 180; x < 460; ++x)
      if (shownPic.pixel(x, y) == qRgb(255, 255, 0)) ++yellow;
  QVERIFY(yellow > 20);
  // Everything else is the photograph (and the three star marks).
  QCOMPARE(shownPic.pixel(at[0]), clean.pixel(at[0]));
}

// The ISS is drawn where astropy puts skyfield's R.A./Dec. of it.
void PhotoTest::overlay() {
  Load(0);
  Calibrate(view());
  const photo::Sat& s = refs().sat;
  QVERIFY(LoadIss(0));
  indata->prs = 0;
  SkyfieldSettings();
  indata->lat = s.lat;
  indata->lng = s.lng;
  indata->height = s.h;
  indata->visflg = 0;
  indata->shwnm = 1;
  view()->SatPlot(s.mjd, 0);
  QCOMPARE(indata->curmjd, s.mjd);
  const int px = view()->mkx[0], py = view()->mky[0];
  qInfo("marker (%d, %d), astropy (%.2f, %.2f)", px, py, s.x, s.y);
  QVERIFY(std::hypot(px - s.x, py - s.y) <= 1.0);
  const QImage img = view()->pmpicw.toImage();
  QCOMPARE(img.pixel(px - 2, py - 2), qRgb(255, 255, 255));
  QCOMPARE(img.pixel(px + 1, py + 1), qRgb(255, 255, 255));
  QCOMPARE(img.pixel(px, py), qRgb(255, 255, 255));
  shot(view()->pmpicw, "photo-overlay.png");
  // The next step starts from the photograph again: nothing accumulates.
  view()->SatPlot(s.mjd + 30.0 / 86400.0, 0);
  const QImage next = view()->pmpicw.toImage();
  QVERIFY(std::hypot(view()->mkx[0] - px, view()->mky[0] - py) > 4);
  QCOMPARE(next.pixel(px, py), view()->pmpics.toImage().pixel(px, py));
  // At a quarter of the size, calibrated again: the same place within a
  // pixel of the picture shown.
  view()->vImage(3);
  Calibrate(view());
  view()->SatPlot(s.mjd, 0);
  const QPoint q = Shown(view(), s.x, s.y);
  QVERIFY(std::hypot(view()->mkx[0] - q.x(), view()->mky[0] - q.y()) <= 1.5);
  // The picture is too narrow for the line of texts: they stand one under
  // the other at the left, the R.A. in yellow under the time.
  const QImage small = view()->pmpicw.toImage();
  const int line = QFontMetrics(QFont("Helvetica", indata->mfsz, indata->bf ? QFont::Bold
                                                                             : QFont::Normal))
                       .lineSpacing();
  int yellow = 0;
  for (int y = 10 + line / 2; y < 10 + 2 * line; ++y)
    for (int x = 10; x < 120; ++x)
      if (small.pixel(x, y) == qRgb(255, 255, 0)) ++yellow;
  QVERIFY(yellow > 10);
  shot(view()->pmpicw, "photo-25.png");
}

// Not drawn: before the plate is known (the picture stays as it was), below
// the horizon, behind the camera, in the Earth's shadow with visible passes
// only.
void PhotoTest::overlayLeavesOut_data() {
  QTest::addColumn<QString>("why");
  QTest::newRow("plate not known") << "plate";
  QTest::newRow("below the horizon") << "horizon";
  QTest::newRow("behind the camera") << "behind";
  QTest::newRow("in the shadow") << "shadow";
}

void PhotoTest::overlayLeavesOut() {
  QFETCH(QString, why);
  Load(0);
  Calibrate(view());
  const photo::Sat& s = refs().sat;
  QVERIFY(LoadIss(0));
  SkyfieldSettings();
  indata->lat = s.lat;
  indata->lng = s.lng;
  indata->height = s.h;
  indata->visflg = 0;
  const int off = view()->pmpicw.width() + 3;
  if (why == "plate") {
    indata->npicpt = 3;
    const QImage before = view()->pmpicw.toImage();
    view()->SatPlot(s.mjd, 0);
    QCOMPARE(view()->pmpicw.toImage(), before);
    return;
  }
  if (why == "horizon") {
    indata->lat = -s.lat;
    indata->lng = s.lng + 180.0;
  } else if (why == "behind") {
    // The camera turned round: the tangent point opposite to where it was.
    indata->picra[0] += photo::kPi;
    indata->picdec[0] = -indata->picdec[0];
  } else {
    // The ISS stands in the Earth's shadow at that time: seen with visible
    // passes only it is not there.
    indata->visflg = 1;
    indata->moonflg = 0;
  }
  view()->SatPlot(s.mjd, 0);
  if (why == "shadow") QVERIFY(satps->sunh[0] < 0 && satps->el[0] > 0);
  QCOMPARE(view()->mkx[0], off);
}

// The time and R.A./Dec. line stands at the visible top left of a scrolled
// photograph.
void PhotoTest::textAtVisibleCorner() {
  QVERIFY(LoadScrolled());
  const QPoint o = view()->mapFromParent(QPoint(0, 0));
  QCOMPARE(o, QPoint(200, 150));
  view()->SatPlot(refs().sat.mjd, 0);
  const QImage img = view()->pmpicw.toImage();
  auto white = [&img](int x0, int y0) {
    int n = 0;
    for (int y = y0; y < y0 + 30; ++y)
      for (int x = x0; x < x0 + 150; ++x)
        if (img.pixel(x, y) == qRgb(255, 255, 255)) ++n;
    return n;
  };
  QVERIFY(white(o.x() + 10, o.y() + 5) > 20);
  QCOMPARE(white(10, 5), 0);
  shot(win.get(), "photo-window.png");
}

// Home on a scrolled photograph: the line moves to the new top left at
// once, and where it stood the photograph shows again.
void PhotoTest::homeMovesTheLine() {
  QVERIFY(LoadScrolled());
  view()->SatPlot(refs().sat.mjd, 0);
  // The R.A. and Dec. are the line's yellow.
  auto yellow = [this](const QRect& r) {
    const QImage img = view()->pmpicw.toImage(), src = view()->pmpics.toImage();
    int n = 0;
    for (int y = r.top(); y <= r.bottom(); ++y)
      for (int x = r.left(); x <= r.right(); ++x)
        n += img.pixel(x, y) == qRgb(255, 255, 0) && src.pixel(x, y) != qRgb(255, 255, 0);
    return n;
  };
  const QRect before(200, 150, 500, 40), after(0, 0, 500, 40);
  QVERIFY(yellow(before) > 20);
  QTest::keyClick(win.get(), Qt::Key_Home);
  QCOMPARE(view()->mapFromParent(QPoint(0, 0)), QPoint(0, 0));
  QCOMPARE(yellow(before), 0);
  QVERIFY(yellow(after) > 20);
  shot(win.get(), "photo-home.png");
}

// Two observations of the ISS 60 s apart give its orbit: radius within 10 km,
// inclination and node within 0.1 deg; the matching search through both
// observations lists it.
void PhotoTest::orbitDetermination_data() {
  QTest::addColumn<bool>("raDec");
  QTest::newRow("azimuth and elevation") << false;
  QTest::newRow("R.A. and Dec.") << true;
}

void PhotoTest::orbitDetermination() {
  QFETCH(bool, raDec);
  const photo::Obs& o = refs().obs;
  const photo::Truth& tr = refs().truth;
  WinpData* d = indata;
  d->satnr = 0;
  d->prs = 0;
  SkyfieldSettings();
  d->lat = o.lat;
  d->lng = o.lng;
  d->height = o.h;
  DateFields(o.mjd);
  QVERIFY(std::fabs(d->curmjd - o.mjd) < 1e-9);
  QVERIFY(fx->path("match.tle").size() < FILENAME_SIZE);
  qstrncpy(d->tlenm, QFile::encodeName(fx->path("match.tle")).constData(), FILENAME_SIZE);
  d->mxa = 1.0;
  d->tm = 1.0;
  d->drf = 0;
  d->mtmaj = false;
  d->iridflg = 3;

  ScriptedPrompter p;
  p.onExec(accepting());  // the date as it stands
  if (raDec)
    p.fillAndAccept({{"az1Edit", Num(DegFDms(o.ra1 / 15.0))}, {"el1Edit", Num(DegFDms(o.dec1))},
                     {"az2Edit", Num(DegFDms(o.ra2 / 15.0))}, {"el2Edit", Num(DegFDms(o.dec2))},
                     {"obs1Box", "1"}, {"obs2Box", "1"}, {"deltmEdit", Num(o.dt)},
                     {"matchBox", "1"}});
  else
    p.fillAndAccept({{"az1Edit", Num(o.az1)}, {"el1Edit", Num(o.el1)}, {"az2Edit", Num(o.az2)},
                     {"el2Edit", Num(o.el2)}, {"obs1Box", "0"}, {"obs2Box", "0"},
                     {"deltmEdit", Num(o.dt)}, {"matchBox", "1"}});
  p.onExec(accepting());  // the element editor
  view()->vOrbDet();
  QCOMPARE(p.of("exec").size(), 3);
  QCOMPARE(p.of("exec")[2].title, QString("StEditOrbDialog"));
  QCOMPARE(QString(d->satname[0]), QString("New"));
  qInfo("a %.2f km (r %.2f, %.2f; osculating %.2f), i %.4f (%.4f), node %.4f (%.4f)", d->a[0],
        tr.r1, tr.r2, tr.a, d->inc[0], tr.inc, d->ra[0], tr.node);
  QVERIFY(std::fabs(d->a[0] - 0.5 * (tr.r1 + tr.r2)) < 10.0);
  QVERIFY(std::fabs(d->a[0] - tr.a) < 10.0);
  QVERIFY(std::fabs(d->inc[0] - tr.inc) < 0.1);
  QVERIFY(std::fabs(d->ra[0] - tr.node) < 0.1);
  // The match: the ISS of the TLE file.
  QCOMPARE(d->mtchdn, 1);
  QCOMPARE(d->iridflg, 3);
  QCOMPARE(d->dspst, 0);
  const QString page = Page();
  QVERIFY2(page.contains("NORAD#: 25544"), qPrintable(page));
}

// Observations that give no orbit (an observer that is no place): a message,
// nothing stored, no editor.
void PhotoTest::orbitDeterminationBadInput() {
  WinpData* d = indata;
  d->lat = qQNaN();
  DateFields(58139.0);
  const int satnr = d->satnr;
  ScriptedPrompter p;
  p.onExec(accepting());
  p.fillAndAccept({{"az1Edit", "10"}, {"el1Edit", "40"}, {"az2Edit", "20"}, {"el2Edit", "45"},
                   {"obs1Box", "0"}, {"obs2Box", "0"}, {"deltmEdit", "60"}, {"matchBox", "0"}});
  view()->vOrbDet();
  QCOMPARE(p.of("exec").size(), 2);
  QCOMPARE(p.of("inform").size(), 1);
  QCOMPARE(p.of("inform")[0].title, QString("Orbit Determination"));
  QCOMPARE(d->satnr, satnr);
}

// Two sightings of one direction, 30 s apart (the same azimuth and elevation,
// or the same R.A. and Dec.): the object did not move, no orbit follows from
// them. A message, nothing added, no editor.
void PhotoTest::orbitDeterminationWithoutMotion_data() {
  QTest::addColumn<QString>("raDec");
  QTest::addColumn<QString>("first");
  QTest::addColumn<QString>("second");
  QTest::newRow("azimuth/elevation") << "0" << "180" << "45";
  QTest::newRow("R.A./Dec.") << "1" << "12.3" << "20.15";
}

void PhotoTest::orbitDeterminationWithoutMotion() {
  QFETCH(QString, raDec);
  QFETCH(QString, first);
  QFETCH(QString, second);
  WinpData* d = indata;
  d->lat = 48.137;
  d->lng = 11.575;
  DateFields(58139.0);
  const auto before = Copy();
  ScriptedPrompter p;
  p.onExec(accepting());
  p.fillAndAccept({{"az1Edit", first}, {"el1Edit", second}, {"az2Edit", first},
                   {"el2Edit", second}, {"obs1Box", raDec}, {"obs2Box", raDec},
                   {"deltmEdit", "30"}, {"matchBox", "0"}});
  view()->vOrbDet();
  QCOMPARE(p.of("exec").size(), 2);
  QCOMPARE(p.of("inform").size(), 1);
  QCOMPARE(p.of("inform")[0].title, QString("Orbit Determination"));
  QVERIFY2(p.of("inform")[0].text.contains("did not move"), qPrintable(p.of("inform")[0].text));
  QCOMPARE(d->satnr, before->satnr);
  QCOMPARE(d->prs, before->prs);
  QVERIFY(std::memcmp(before->satname, d->satname, sizeof d->satname) == 0);
}

// With ten satellites the new orbit replaces the tenth only when the user
// agrees.
void PhotoTest::orbitDeterminationTenSelected() {
  WinpData* d = indata;
  d->satnr = 0;
  for (int i = 0; i < MAXSEL; ++i) QVERIFY(LoadIss(i));
  d->prs = 3;
  const photo::Obs& o = refs().obs;
  d->lat = o.lat;
  d->lng = o.lng;
  d->height = o.h;
  DateFields(o.mjd);
  const auto odFields = QMap<QString, QString>{
      {"az1Edit", Num(o.az1)}, {"el1Edit", Num(o.el1)}, {"az2Edit", Num(o.az2)},
      {"el2Edit", Num(o.el2)}, {"obs1Box", "0"},       {"obs2Box", "0"},
      {"deltmEdit", Num(o.dt)}, {"matchBox", "0"}};
  {
    ScriptedPrompter p;
    p.warnAnswer = false;
    p.onExec(accepting());
    p.fillAndAccept(odFields);
    const auto before = Copy();
    view()->vOrbDet();
    QCOMPARE(p.of("warn").size(), 1);
    QVERIFY2(p.of("warn")[0].text.startsWith(
                 "Ten satellites are selected. The new orbit replaces satellite 10 (ISS"),
             qPrintable(p.of("warn")[0].text));
    QCOMPARE(p.of("exec").size(), 2);
    QVERIFY(std::memcmp(before->satname, d->satname, sizeof d->satname) == 0);
    QVERIFY(std::memcmp(before->a, d->a, sizeof d->a) == 0);
    QCOMPARE(d->prs, 3);
  }
  ScriptedPrompter p;
  p.onExec(accepting());
  p.fillAndAccept(odFields);
  p.onExec(accepting());
  view()->vOrbDet();
  QCOMPARE(d->satnr, MAXSEL);
  QCOMPARE(d->prs, MAXSEL - 1);
  QCOMPARE(QString(d->satname[MAXSEL - 1]), QString("New"));
  QCOMPARE(QString(d->satname[MAXSEL - 2]).left(3), QString("ISS"));
}

// Cancel at the date or at the observations: the record as it was. The
// Picture button is offered once two points were picked on the photograph.
void PhotoTest::orbitDeterminationCancel() {
  const auto before = Copy();
  {
    ScriptedPrompter p;
    p.reject();
    view()->vOrbDet();
    QVERIFY(Same(*before));
  }
  ScriptedPrompter p;
  p.onExec(accepting());
  bool offered = true;
  p.onExec([&offered](QDialog& d) {
    offered = d.findChild<QPushButton*>("picButton")->isVisibleTo(&d);
    return int(QDialog::Rejected);
  });
  view()->vOrbDet();
  QVERIFY(!offered);
  QVERIFY(Same(*before));
  indata->npicpt = 6;
  p.onExec(accepting());
  p.onExec([&offered](QDialog& d) {
    offered = d.findChild<QPushButton*>("picButton")->isVisibleTo(&d);
    return int(QDialog::Rejected);
  });
  view()->vOrbDet();
  QVERIFY(offered);
}

// The matching search from the first observation's R.A. and Dec. lists the
// ISS; the Iridium kind comes back.
void PhotoTest::match() {
  const photo::Obs& o = refs().obs;
  WinpData* d = indata;
  SkyfieldSettings();
  d->lat = o.lat;
  d->lng = o.lng;
  d->height = o.h;
  DateFields(o.mjd);
  qstrncpy(d->tlenm, QFile::encodeName(fx->path("match.tle")).constData(), FILENAME_SIZE);
  d->iridflg = 3;
  d->odm = true;
  ScriptedPrompter p;
  p.onExec(accepting());
  p.fillAndAccept({{"azEdit", Num(DegFDms(o.ra1 / 15.0))}, {"elEdit", Num(DegFDms(o.dec1))},
                   {"raBox", "1"}, {"mxaEdit", "1"}, {"draEdit", "0"}, {"drfBox", "0"},
                   {"visBox", "0"}, {"tmEdit", "-2"}});
  view()->vMatch();
  QCOMPARE(d->iridflg, 3);
  QCOMPARE(d->rdf, 1);
  QCOMPARE(d->drf, 0);
  QCOMPARE(d->tm, 2.0);
  QVERIFY(!d->odm);
  QCOMPARE(d->mtchdn, 1);
  QCOMPARE(d->dspst, 0);
  const QString page = Page();
  QVERIFY2(page.contains("NORAD#: 25544"), qPrintable(page));
  shot(view()->textPixmap().copy(0, 0, 700, 300), "photo-matchpage.png");
}

// Cancel at the date: nothing changed; at the match dialog: only the match
// flags are cleared (the search is no longer the one of an orbit
// determination), and the Iridium kind is back.
void PhotoTest::matchCancel() {
  WinpData* d = indata;
  d->iridflg = 3;
  d->odm = true;
  d->mtchdn = 1;
  const auto before = Copy();
  ScriptedPrompter p;
  p.reject();
  view()->vMatch();
  QVERIFY(Same(*before));
  p.onExec(accepting());
  p.reject();
  view()->vMatch();
  QCOMPARE(d->iridflg, 3);
  QCOMPARE(d->mtchdn, 0);
  QVERIFY(!d->odm);
  d->mtchdn = 1;
  d->odm = true;
  QVERIFY(Same(*before));
}

void PhotoTest::matchWithoutTleFile() {
  qstrncpy(indata->tlenm, QFile::encodeName(fx->path("missing.tle")).constData(), FILENAME_SIZE);
  ScriptedPrompter p;
  p.onExec(accepting());
  p.onExec(accepting());
  view()->vMatch();
  QCOMPARE(p.of("inform").size(), 1);
  QCOMPARE(p.of("inform")[0].title, QString("Find Matching Sats"));
  QCOMPARE(p.of("inform")[0].text, QString("*** Unable to open TLE file ***"));
  QCOMPARE(indata->dspst, 0);
  QVERIFY(Page().contains("Unable to open TLE file"));
}

QTEST_MAIN(PhotoTest)
#include "vorlixview_astro_test.moc"
