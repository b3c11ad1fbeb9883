// The dialogs' parameter structs to and from the shared record: one
// xFromRecord/xToRecord pair per struct, the one place where a dialog's
// values meet the record's fields. The view fills each dialog with the first
// and stores what OK returns with the second; the services of the open
// dialogs and the tests use the same pairs. A ToRecord writes the fields its
// struct carries back and nothing else; values only shown (marked "in only"
// in the struct) stay as they are in the record.
#ifndef VORLIX_GUI_RECORDPARAMS_H
#define VORLIX_GUI_RECORDPARAMS_H

#include "dialogs/stadjdialog.h"
#include "dialogs/stastdialog.h"
#include "dialogs/stdatedialog.h"
#include "dialogs/stdeltadialog.h"
#include "dialogs/steditorbdialog.h"
#include "dialogs/stiersdialog.h"
#include "dialogs/stiridiumdialog.h"
#include "dialogs/stlaunchdialog.h"
#include "dialogs/stmapdialog.h"
#include "dialogs/stmatchdialog.h"
#include "dialogs/stobsdialog.h"
#include "dialogs/storbdetdialog.h"
#include "dialogs/stremsatdialog.h"
#include "dialogs/ststepdialog.h"
#include "dialogs/stswitchdialog.h"
#include "dialogs/stsysconfdialog.h"
#include "dialogs/stvisdialog.h"
#include "engine/vorlixcom.h"

// Date, time, zone, interval and real-time offset. While a launch, manoeuvre,
// match or orbit determination asks for its start time (lcflg 1) the interval
// goes out negative, which locks it, and comes back unstored.
DateParams dateFromRecord(const WinpData& d);
void dateToRecord(const DateParams& p, WinpData& d);

// The observer's place.
ObsParams obsFromRecord(const WinpData& d);
void obsToRecord(const ObsParams& p, WinpData& d);

// The IERS values; without them given, the UTC - TAI that the default TT - UT
// implies.
IersParams iersFromRecord(const WinpData& d);
void iersToRecord(const IersParams& p, WinpData& d);

// Integrator and force-model settings, refraction and extinction.
SysConfParams sysConfFromRecord(const WinpData& d);
void sysConfToRecord(const SysConfParams& p, WinpData& d);

// Visibility, events and flares. The two directions are the cylinder axis for
// cylinder flares on a surface of unknown orientation, else the occultation
// direction; a new transit body with the Sun/Moon chart on asks for a new
// background (bkgmjd 0).
VisParams visFromRecord(const WinpData& d);
void visToRecord(const VisParams& p, WinpData& d);

// Map and sky chart settings. The physical map is offered only while its
// image is loaded; the meridian is kept in [0, 360), a negative frequency
// means none.
MapParams mapFromRecord(const WinpData& d);
void mapToRecord(const MapParams& p, WinpData& d);

// The orbit of slot i. shownEpoch is the epoch the dialog was filled with:
// it comes back unchanged, fraction of a second and all, when the year and
// day returned are those it showed. During a launch (lcflg 1) the epoch,
// node, perigee and mean anomaly are the launch's to set and stay; for a
// numerical satellite on an open orbit the epoch stays as well.
EditOrbParams editOrbFromRecord(const WinpData& d, int i);
void editOrbToRecord(const EditOrbParams& p, double shownEpoch, WinpData& d, int i);

// The launch site and ascent.
LaunchParams launchFromRecord(const WinpData& d);
void launchToRecord(const LaunchParams& p, WinpData& d);

// The manoeuvre of slot s: a running thrust of a numerical satellite is shown
// in mm/s^2 and kept in m/s^2, an impulse in m/s.
DeltaParams deltaFromRecord(const WinpData& d, int s);
void deltaToRecord(const DeltaParams& p, WinpData& d, int s);

// Reference star k of the photograph: kept in radians, shown packed (R.A.
// HH.MMSS, Dec. DD.MMSS).
AstParams astFromRecord(const WinpData& d, int k);
void astToRecord(const AstParams& p, WinpData& d, int k);

// The search for matching catalogue satellites; the time window is kept
// without its sign.
MatchParams matchFromRecord(const WinpData& d);
void matchToRecord(const MatchParams& p, WinpData& d);

// The two observations of an orbit determination; the Picture button while
// two points of the photograph are measured.
OrbDetParams orbDetFromRecord(const WinpData& d);
void orbDetToRecord(const OrbDetParams& p, WinpData& d);

// The rows of the removal dialog; its marks are an action, not values.
RemSatParams remSatFromRecord(const WinpData& d);

// The prime satellite and relative mode.
SwitchParams switchFromRecord(const WinpData& d);
void switchToRecord(const SwitchParams& p, WinpData& d);

// The time step, stored as minutes, seconds and days (VorlixView::stepFromInput).
StepParams stepFromRecord(const WinpData& d);
void stepToRecord(const StepParams& p, WinpData& d);

// The Iridium flare options.
IridiumParams iridiumFromRecord(const WinpData& d);
void iridiumToRecord(const IridiumParams& p, WinpData& d);

// The TLE adjustment settings and the SGP4 model switches; a non-finite value
// is stored as 0, and so is a negative mean motion.
AdjParams adjFromRecord(const WinpData& d);
void adjToRecord(const AdjParams& p, WinpData& d);

#endif
