// SPDX-License-Identifier: GPL-3.0-or-later
#include "program.h"

#include "base/charset.h"
#include "form/control_states.h"
#include "form/form_style.h"
#include "form/slot_style.h"

#include <QLabel>
#include <QLineEdit>
#include <QTest>
#include <numeric>

void showReady(FrmAscii& form) {
    enterState(form, ControlState::Ready);
    form.show();
    form.activateWindow();
    if (!QTest::qWaitForWindowActive(&form))
        qWarning("the window did not become active; keyboard tests may fail");
}

void later(int ms, std::function<void()> action) {
    QTimer::singleShot(ms, std::move(action));
}

void waitUntil(std::function<bool()> condition, std::function<void()> action) {
    later(5, [condition, action] {
        if (condition())
            action();
        else
            waitUntil(condition, action);
    });
}

void onceWaiting(Zerbo& zerbo, std::function<void()> action) {
    waitUntil([&zerbo] { return zerbo.port().PortOpen(); }, std::move(action));
}

void loadKillingBoardAfter(Zerbo& zerbo, QProcess& board, int boundMs) {
    QTimer bound;
    bound.setSingleShot(true);
    QObject::connect(&bound, &QTimer::timeout, &board, &QProcess::kill);
    bound.start(boundMs);
    zerbo.Form_Load();
}

QByteArray wholeTable() {
    QByteArray table(256, '\0');
    std::iota(table.begin(), table.end(), '\0');
    return table;
}

int numberedSlots(const FrmAscii& form) {
    int count = 0;
    for (int i = 0; i < FrmAscii::SlotCount; ++i)
        count += form.slot(i).number->text() == threeDigits(i) &&
                 textColour(form.slot(i).number) != Grey;
    return count;
}

QString bitRow(const FrmAscii& form) {
    QString row;
    for (int k = 7; k >= 0; --k) {
        const QColor colour = background(form.txtP(k));
        row += colour == Blue ? 'b' : colour == Red ? 'r' : colour == White ? 'w' : '?';
    }
    return row;
}
