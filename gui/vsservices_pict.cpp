// Picture points for the orbit determination dialog.
#include "gui/records.h"
#include "gui/vsservices.h"

void vsGetPict(double& ra1, double& dec1, double& ra2, double& dec2) {
  ra1 = indata->picra[3];
  dec1 = indata->picdec[3];
  ra2 = indata->picra[4];
  dec2 = indata->picdec[4];
}
