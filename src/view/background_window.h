#pragma once

#include <QWidget>
#include <QtGlobal>

class QLabel;

// A borderless full-screen backdrop behind the main window: one stretched
// picture, generated for the screen's size. A double click on it ends the
// program at once.
class BackgroundWindow : public QWidget {
    Q_OBJECT
public:
    explicit BackgroundWindow(QWidget* mainWindow, QWidget* parent = nullptr);

    // On the first activation the picture is fitted to the window and the main
    // window is brought in front; later activations only bring the backdrop forward.
    void Form_Activate();
    void Form_DblClick();
    void imgBild1_DblClick();

    bool pictureFitted() const { return m_pictureFitted != 0; }
    QLabel* picture() const { return m_imgBild1; }

    // The backdrop picture: a grey gradient, light at the top and black at the
    // bottom, inside a soft black border.
    static QImage backdropImage(const QSize& size);

protected:
    bool event(QEvent* event) override;
    void mouseDoubleClickEvent(QMouseEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    QWidget* m_mainWindow;
    QLabel* m_imgBild1;
    qint16 m_pictureFitted = 0;
};
