// Sky chart and Sun/Moon close-up: the view's painters, projections and sky clicks.
#include <QPainter>

#include <cmath>

#include "astro/astrolib.h"
#include "astro/constants.h"
#include "engine/vorlixcom.h"
#include "gui/records.h"
#include "gui/skydraw.h"
#include "gui/skyframe.h"
#include "gui/vorlixview.h"

void VorlixView::PltSky(QPainter& p) {
  int day, month, year;
  double hour;
  caldat(indata->curmjd, day, month, year, hour);
  PaintSky(p, frame(), *indata, SetTtUt(indata, year));
}

void VorlixView::PltSunM(QPainter& p) { PaintSunMoon(p, frame(), *indata, *satps); }

QPoint VorlixView::PxSky(double el, double az) { return ::PxSky(frame(), el, az); }

// The clicked direction into az1, el1 (el1 = -100 where no sky is shown)
// and its R.A. and Dec. into az2, el2 (packed HH.MMSS and DD.MMSS), of the
// epoch yrepoch when one is set.
void VorlixView::SkyPx(QPoint& q) {
  WinpData* d = indata;
  double az, el;
  if (!::SkyPx(frame(), q, az, el)) {
    d->el1 = -100.0;
    return;
  }
  d->az1 = az;
  d->el1 = el;
  double ra, dec;
  AppRADec(d->bkgmjd, 0.0, d->lat * kDeg, d->lng * kDeg, az * kDeg, el * kDeg, ra, dec);
  if (d->yrepoch != 0) {
    const Mat3 prec = pmatequ(julcent(d->curmjd), (d->yrepoch - 2000.0) / 100.0);
    const Vec3 v = carpol(mxvct(prec, polcar(Vec3(1.0, ra, dec))));
    ra = v.y;
    dec = v.z;
  }
  d->az2 = DegFDms(ra / kDeg / 15.0);
  d->el2 = DegFDms(dec / kDeg);
}

QPoint VorlixView::PxCdSun(int i, int mode) {
  if (i < 0 || i >= MAXSEL) return QPoint(0, CLOSEUP_OFF_Y);
  const SatPosData* s = satps;
  // The Sun's elevation is kept in degrees, the Moon's place in radians.
  const double A = mode == 1 ? s->sunazo / kDeg : s->moonazo / kDeg;
  const double E = mode == 1 ? s->sunelo : s->moonelo / kDeg;
  return ::PxCdSun(frame(), A, E, s->az[i], s->el[i]);
}
