// Sky chart centring on the prime satellite (kept apart from the geometry so
// that the force model, which uses the orbit frames, does not pull in the
// whole position computation).
#include "engine/geometry.h"
#include "engine/satpos.h"

void SkyAzim(WinpData* d, double t) {
  if (!d || !satpos || d->prs < 0 || d->prs >= NSLOTS) return;
  GetSatPos(t, d, satpos, d->prs, 0);
  d->skaz = satpos->az[d->prs];
}
