// The compiled-in resources (icons, world map, quick help) and the About text.
#ifndef VORLIX_GUI_RESOURCES_H
#define VORLIX_GUI_RESOURCES_H

#include <QString>

// Registers the resources of the static library; safe to call again.
void initVorlixResources();
// The About box: the program, what it does, where its data come from.
QString aboutText();

#endif
