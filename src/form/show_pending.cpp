// SPDX-License-Identifier: GPL-3.0-or-later
#include "form/show_pending.h"

#include <QWidget>

void showPending(QWidget& window) {
    // An immediate repaint of one pixel paints everything else that is due as well.
    if (window.isVisible())
        window.repaint(0, 0, 1, 1);
}
