// The derivative the integrator calls without context: the equations of
// motion with the record of the NumProp call in progress.
#include "orbit/vorlixnum.h"

void RKFun(double t, double* y, double* dydt) {
  if (nmdat) {
    RKfun(t, y, dydt, nmdat);
    return;
  }
  dydt[0] = y[3];
  dydt[1] = y[4];
  dydt[2] = y[5];
  dydt[3] = dydt[4] = dydt[5] = 0.0;
}
