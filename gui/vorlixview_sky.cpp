// Sky chart and Sun/Moon close-up chart.
// Placeholder until the sky-chart work lands.
#include "gui/records.h"
#include "gui/vorlixview.h"
