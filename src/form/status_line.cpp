// SPDX-License-Identifier: GPL-3.0-or-later
#include "form/status_line.h"

#include <QEvent>
#include <QLabel>

StatusLine::StatusLine(QWidget* parent)
    : QStatusBar(parent), newsLabel_(new QLabel(this)), com1Label_(new QLabel(this)) {
    setSizeGripEnabled(false);
    newsLabel_->setObjectName(QStringLiteral("statusNews"));
    com1Label_->setObjectName(QStringLiteral("statusCom1"));
    // The news take what the device leaves: the device's text is short as a rule.
    addWidget(newsLabel_, 3);
    addPermanentWidget(com1Label_, 2);
    for (QLabel* label : {newsLabel_, com1Label_}) {
        label->setMinimumWidth(1); // cut to fit, never widening the strip
        label->installEventFilter(this);
    }
}

void StatusLine::say(const QString& news) {
    news_ = news;
    fit(newsLabel_, news_);
}

void StatusLine::showCom1(const QString& device, const QString& why) {
    com1_ = why.isEmpty() ? QStringLiteral("COM1 is %1").arg(device)
                          : QStringLiteral("COM1 is %1 (%2)").arg(device, why);
    fit(com1Label_, com1_);
}

// A label's width is known once the strip's layout has placed it.
bool StatusLine::eventFilter(QObject* watched, QEvent* event) {
    if (event->type() == QEvent::Resize)
        fit(static_cast<QLabel*>(watched), watched == newsLabel_ ? news_ : com1_);
    return QStatusBar::eventFilter(watched, event);
}

// The accessible name carries the whole text, and its change is what a
// screen reader announces; the label shows as much as fits.
void StatusLine::fit(QLabel* label, const QString& text) {
    const QString shown =
        label->fontMetrics().elidedText(text, Qt::ElideRight, label->contentsRect().width());
    label->setText(shown);
    label->setToolTip(shown == text ? QString() : text);
    if (label->accessibleName() != text)
        label->setAccessibleName(text);
}
