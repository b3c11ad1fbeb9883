// Out-of-line parts of the vector and matrix unit (attitude conversions).
#include "astro/attlib.h"
