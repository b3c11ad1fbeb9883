// The three records the window shares with the engine, and the TLE file the
// selection dialog reads.
// Only gui/ includes this header: dialogs reach the records through
// gui/vsservices.h while they are open.
#ifndef VORLIX_GUI_RECORDS_H
#define VORLIX_GUI_RECORDS_H

#include <cstdio>

#include "engine/vorlixcom.h"

// Created zero-filled when the program is loaded and never freed; the view's
// constructor gives them their start values (swelcm).
extern WinpData* indata;
extern WoutData* outdata;
extern SatPosData* satps;

// The TLE file the satellite selection dialog reads: opened by the view just
// before the dialog is shown and closed (null again) when it is gone; the
// dialog reads it through the services (vsservices_sel.cpp), which rewind it
// for each new search. Null whenever no selection dialog is open.
extern FILE* satfle;

#endif
