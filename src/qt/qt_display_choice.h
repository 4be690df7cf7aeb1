// SPDX-License-Identifier: MIT
// Before QApplication: the display Qt is to open, where Qt's own choice would fail.
#pragma once

#include <QString>

// Steers Qt to X11 where a Wayland session shows but Qt's Wayland platform plugin is not
// installed and an X server is at hand. Returns, as one line, why no window can open at all
// (no display; Wayland only, without the plugin; a platform asked for by QT_QPA_PLATFORM
// that has no display or no plugin), or an empty string when one can.
QString chooseQtDisplay();
