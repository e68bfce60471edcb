#include "app/position_loop.h"

#include "app/form_style.h"
#include "app/frm_ascii.h"
#include "app/program_state.h"
#include "view/window_position.h"

#include <QEvent>
#include <QLineEdit>
#include <QLocale>

PositionLoop::PositionLoop(FrmAscii& form, ProgramState& state) : form_(form), state_(state) {
    form_.installEventFilter(this);
}

void PositionLoop::start() {
    running_ = true;
    showPosition();
}

void PositionLoop::applyFields() {
    if (!running_)
        return;
    QPointF target = windowPosition(form_);
    bool ok = false;
    const double left = QLocale().toDouble(form_.txtLeft->text().trimmed(), &ok);
    if (ok)
        target.setX(left);
    const double top = QLocale().toDouble(form_.txtTop->text().trimmed(), &ok);
    if (ok)
        target.setY(top);
    moveWindow(form_, target);
    showPosition();
}

bool PositionLoop::eventFilter(QObject* watched, QEvent* event) {
    if (watched == &form_ && event->type() == QEvent::Move)
        showPosition();
    return QObject::eventFilter(watched, event);
}

void PositionLoop::showPosition() {
    if (!running_ || state_.PositionEditing == 1)
        return;
    const QPointF position = windowPosition(form_);
    form_.txtLeft->setText(QString::number(qRound(position.x())));
    form_.txtTop->setText(QString::number(qRound(position.y())));
}
