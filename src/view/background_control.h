#pragma once

#include <QObject>
#include <QtGlobal>

#include <memory>

class QAbstractButton;
class QWidget;
class BackgroundWindow;

// Shows and hides the full-screen backdrop from its command button, keeping
// the main window in front and the button's caption telling the next action.
class BackgroundControl : public QObject {
    Q_OBJECT
public:
    BackgroundControl(QAbstractButton* cmdBackShowHide, QWidget* mainWindow,
                      qint16& backgroundShown, QObject* parent = nullptr);
    ~BackgroundControl() override;

    void cmdBackShowHide_Click();
    BackgroundWindow* window() const { return m_window.get(); }

private:
    void bringMainWindowForward();

    QAbstractButton* m_button;
    QWidget* m_mainWindow;
    qint16& m_backgroundShown;
    std::unique_ptr<BackgroundWindow> m_window;
};
