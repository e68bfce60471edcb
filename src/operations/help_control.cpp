// SPDX-License-Identifier: GPL-3.0-or-later
#include "operations/help_control.h"

#include "form/help_window.h"
#include "form/option_group.h"
#include "form/window_position.h"

#include <QAbstractButton>

namespace {
const QPointF helpPlace(1000, 2000); // twips
} // namespace

HelpControl::HelpControl(QAbstractButton* optHelp, QObject* parent)
    : QObject(parent), optHelp_(optHelp) {
}

HelpControl::~HelpControl() = default;

void HelpControl::optHelp_Click() {
    if (!HelpShown) {
        HelpShown = true;
        uncheckDespiteGroup(optHelp_);
        showHelp();
    } else {
        // Also reached after the user closed the window with its close box:
        // the window is hidden already, so this click only resets the flag.
        HelpShown = false;
        uncheckDespiteGroup(optHelp_);
        if (window_)
            window_->hide();
    }
}

void HelpControl::showHelp() {
    if (!window_)
        window_ = std::make_unique<HelpWindow>();
    // Always the same place, wherever the user dragged it last time.
    placeWindow(*window_, helpPlace);
    window_->show();
    window_->printHelp();
}
