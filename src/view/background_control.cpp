#include "view/background_control.h"

#include "view/background_window.h"

#include <QAbstractButton>

BackgroundControl::BackgroundControl(QAbstractButton* cmdBackShowHide, QWidget* mainWindow,
                                     qint16& backgroundShown, QObject* parent)
    : QObject(parent), m_button(cmdBackShowHide), m_mainWindow(mainWindow),
      m_backgroundShown(backgroundShown) {
}

BackgroundControl::~BackgroundControl() = default;

void BackgroundControl::cmdBackShowHide_Click() {
    if (m_backgroundShown == 0) {
        m_backgroundShown = 1;
        if (!m_window)
            m_window = std::make_unique<BackgroundWindow>(m_mainWindow);
        m_window->showFullScreen();
        bringMainWindowForward();
        m_button->setText(QStringLiteral("Hide background"));
    } else {
        m_backgroundShown = 0;
        if (m_window)
            m_window->hide();
        bringMainWindowForward();
        m_button->setText(QStringLiteral("Show background"));
    }
}

void BackgroundControl::bringMainWindowForward() {
    m_mainWindow->show();
    m_mainWindow->raise();
    m_mainWindow->activateWindow();
}
