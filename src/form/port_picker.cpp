// SPDX-License-Identifier: GPL-3.0-or-later
#include "form/port_picker.h"

#include "form/app_icon.h"

#include <QDialogButtonBox>
#include <QLabel>
#include <QListWidget>
#include <QPushButton>
#include <QTimer>
#include <QVBoxLayout>

PortPicker::PortPicker(const QList<PortDescription>& adapters, PortLister listPorts,
                       const std::optional<PortDescription>& opening, QWidget* parent)
    : QDialog(parent), list_(new QListWidget(this)), note_(new QLabel(this)),
      listPorts_(std::move(listPorts)), opening_(opening), refreshTimer_(new QTimer(this)) {
    setWindowTitle(QStringLiteral("ZERBO: which serial adapter?"));
    setWindowIcon(appIcon());
    auto* question = new QLabel(
        opening ? QStringLiteral("%1 opens, and USB serial adapters are plugged in too.\n"
                                 "Pick the port wired to the board; it will stand for COM1.")
                      .arg(opening->device)
                : QStringLiteral("%1 cannot be used, and several USB serial adapters are "
                                 "plugged in.\nPick the one wired to the board; it will stand "
                                 "for COM1.")
                      .arg(QString::fromLatin1(DefaultCom1Device)),
        this);
    note_->setWordWrap(true);
    auto* buttons = new QDialogButtonBox(this);
    use_ = buttons->addButton(QStringLiteral("Use"), QDialogButtonBox::AcceptRole);
    end_ = buttons->addButton(QStringLiteral("End the program"), QDialogButtonBox::RejectRole);
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(question);
    layout->addWidget(list_);
    layout->addWidget(note_);
    layout->addWidget(buttons);

    connect(use_, &QPushButton::clicked, this, &PortPicker::useSelected);
    connect(end_, &QPushButton::clicked, this, &QDialog::reject);
    connect(list_, &QListWidget::itemDoubleClicked, this, &PortPicker::useSelected);
    connect(list_, &QListWidget::currentRowChanged, this,
            [this] { use_->setEnabled(!selectedDevice().isEmpty()); });
    // No signal tells of a device plugged in or out; asking once a second is
    // cheap, and only while this question is open.
    connect(refreshTimer_, &QTimer::timeout, this, &PortPicker::refresh);
    refreshTimer_->start(RefreshMs);
    showPorts(adapters);
    list_->setCurrentRow(0);
}

void PortPicker::refresh() {
    showPorts(usbAdaptersAmong(listPorts_()));
}

void PortPicker::showPorts(const QList<PortDescription>& adapters) {
    QList<PortDescription> ports = adapters;
    if (opening_)
        ports.prepend(*opening_);
    const QString selected = selectedDevice();
    QStringList before;
    for (int row = 0; row < list_->count(); ++row)
        before << list_->item(row)->data(Qt::UserRole).toString();
    QStringList now;
    for (const PortDescription& port : ports)
        now << port.device;
    if (now == before)
        return; // leaves the user's selection and scrolling alone

    QSignalBlocker quiet(list_);
    list_->clear();
    for (const PortDescription& port : ports) {
        auto* item = new QListWidgetItem(describePort(port), list_);
        item->setData(Qt::UserRole, port.device);
        if (port.device == selected)
            list_->setCurrentItem(item);
    }
    quiet.unblock();
    if (!selected.isEmpty() && !now.contains(selected))
        note_->setText(QStringLiteral("%1 was unplugged; pick another adapter.").arg(selected));
    else if (now.isEmpty())
        note_->setText(QStringLiteral("No USB serial adapter is plugged in now: plug one in, "
                                      "or end the program."));
    else
        note_->clear();
    use_->setEnabled(!selectedDevice().isEmpty());
}

void PortPicker::useSelected() {
    refresh(); // the device may have gone since the list was last asked
    const QString device = selectedDevice();
    if (device.isEmpty())
        return;
    chosen_ = device;
    accept();
}

QString PortPicker::selectedDevice() const {
    const QListWidgetItem* item = list_->currentItem();
    return item ? item->data(Qt::UserRole).toString() : QString();
}
