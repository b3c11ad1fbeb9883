// Online update of a TLE file over HTTP (the File menu's Online TLE Update).
// Placeholder until the online-update work lands; its action stays disabled.
#ifndef VORLIX_GUI_TLEUPDATE_H
#define VORLIX_GUI_TLEUPDATE_H

#endif
