// SPDX-License-Identifier: GPL-3.0-or-later
#include "board_window.h"

#include "led_row.h"
#include "virtual_line.h"

#include <QHBoxLayout>
#include <QLabel>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QSpinBox>
#include <QVBoxLayout>

namespace {
constexpr int LogLines = 2000;

QString received(unsigned char byte) {
    const QString hex = QString::number(byte, 16).toUpper().rightJustified(2, QLatin1Char('0'));
    return QStringLiteral("received %1  0x%2").arg(byte, 3).arg(hex);
}
} // namespace

BoardWindow::BoardWindow(const VirtualLine& line, const QString& engine, QWidget* parent)
    : QWidget(parent) {
    // The title names the board too, so a task bar (or a script) tells which runs.
    setWindowTitle(QStringLiteral("ZERBO virtual board: %1").arg(engine));

    auto* port = new QLabel;
    const auto showPort = [port, &line] {
        port->setText(QStringLiteral("Port for ZERBO: <b>%1</b> (%2)")
                          .arg(line.linkPath().toHtmlEscaped(), line.devicePath()));
    };
    showPort();
    connect(&line, &VirtualLine::deviceReplaced, port, showPort);
    port->setTextInteractionFlags(Qt::TextSelectableByMouse);
    auto* engineLabel = new QLabel(QStringLiteral("Board: %1").arg(engine));
    engineLabel->setObjectName(QStringLiteral("engine"));

    leds_ = new LedRow;
    keyOne_ = new QPushButton(QStringLiteral("Key 1"));
    keyOne_->setObjectName(QStringLiteral("keyOne"));
    keyOne_->setToolTip(QStringLiteral("Sends the codes 0 to 255 in ascending order"));
    pause_ = new QSpinBox;
    pause_->setObjectName(QStringLiteral("pause"));
    pause_->setRange(0, 10000);
    pause_->setSuffix(QStringLiteral(" ms"));
    pause_->setSpecialValueText(QStringLiteral("none (38400 baud)"));
    log_ = new QPlainTextEdit;
    log_->setObjectName(QStringLiteral("log"));
    log_->setReadOnly(true);
    log_->setMaximumBlockCount(LogLines);
    log_->setFont(QFont(QStringLiteral("monospace")));

    auto* keys = new QHBoxLayout;
    keys->addWidget(keyOne_);
    keys->addWidget(new QLabel(QStringLiteral("Pause between bytes:")));
    keys->addWidget(pause_);
    keys->addStretch();

    auto* layout = new QVBoxLayout(this);
    layout->addWidget(port);
    layout->addWidget(engineLabel);
    layout->addWidget(leds_, 0, Qt::AlignHCenter);
    layout->addLayout(keys);
    layout->addWidget(log_);
    resize(460, 420);
}

void BoardWindow::logReceived(unsigned char byte) {
    log_->appendPlainText(received(byte));
}
