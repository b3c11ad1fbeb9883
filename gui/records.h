// The three records the window shares with the engine, and the few
// file-level values of the view that other parts of the window read.
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

// Top pixel row (minus 2) of each pass line of the last pass list drawn.
extern int epos[MAXPASS];
// What the text pixmap holds: 1 general text, 2 pass list, 3 the last drawing
// was a plot.
extern int dsplmd;
// Display font size in points.
extern int fsz;
// The TLE file the selection dialog reads while it is open.
extern FILE* satfle;

#endif
