#include "view/help_control.h"

#include "view/help_window.h"

#include <QAbstractButton>
#include <QButtonGroup>

namespace {
constexpr double twipsPerPixel = 15.0;
constexpr int helpLeftTwips = 1000;
constexpr int helpTopTwips = 2000;
} // namespace

HelpControl::HelpControl(QAbstractButton* optHelp, qint16& helpShown, QObject* parent)
    : QObject(parent), m_optHelp(optHelp), m_helpShown(helpShown) {
}

HelpControl::~HelpControl() = default;

void HelpControl::optHelp_Click() {
    if (m_helpShown == 0) {
        m_helpShown = 1;
        unselectOptHelp();
        showHelp();
    } else {
        // Also reached after the user closed the window with its close box:
        // the window is hidden already, so this click only resets the flag.
        m_helpShown = 0;
        unselectOptHelp();
        if (m_window)
            m_window->hide();
    }
}

void HelpControl::showHelp() {
    if (!m_window)
        m_window = std::make_unique<HelpWindow>();
    // Always the same place, wherever the user dragged it last time.
    m_window->move(qRound(helpLeftTwips / twipsPerPixel), qRound(helpTopTwips / twipsPerPixel));
    m_window->show();
    m_window->printHelp();
}

void HelpControl::unselectOptHelp() {
    // An exclusive group refuses to uncheck its only checked button, so the
    // exclusivity is lifted just for this.
    QButtonGroup* group = m_optHelp->group();
    const bool groupExclusive = group && group->exclusive();
    const bool autoExclusive = m_optHelp->autoExclusive();
    if (group)
        group->setExclusive(false);
    m_optHelp->setAutoExclusive(false);
    m_optHelp->setChecked(false);
    m_optHelp->setAutoExclusive(autoExclusive);
    if (group)
        group->setExclusive(groupExclusive);
}
