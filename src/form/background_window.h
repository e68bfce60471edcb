// SPDX-License-Identifier: GPL-3.0-or-later
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

    bool pictureFitted() const { return pictureFitted_; }
    QLabel* picture() const { return imgBild1_; }

    // The backdrop picture: a grey gradient, light at the top and black at the
    // bottom, inside a soft black border.
    static QImage backdropImage(const QSize& size);

signals:
    // A double click asks to end the program; whoever owns the program ends it.
    void endRequested();

protected:
    bool event(QEvent* event) override;
    void mouseDoubleClickEvent(QMouseEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    QWidget* mainWindow_;
    QLabel* imgBild1_;
    bool pictureFitted_ = false;
};
