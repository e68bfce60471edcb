// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "serial/port_choice.h"

#include <QDialog>
#include <functional>

class QLabel;
class QListWidget;
class QPushButton;
class QTimer;

// Asks which of several USB serial adapters is the board's, or, where the
// default port opens too, which of it and the adapters (the default first).
// The list follows adapters being plugged in and out while it is open; a
// device that went away cannot be picked. Accepted: chosenDevice() is the
// pick. Rejected: the user ends the program.
class PortPicker : public QDialog {
    Q_OBJECT
public:
    using PortLister = std::function<QList<PortDescription>()>;

    // adapters: those found; listPorts: the ports present now, asked again
    // every RefreshMs and before a pick is taken; opening: the default port,
    // which opens, listed first.
    PortPicker(const QList<PortDescription>& adapters, PortLister listPorts,
               const std::optional<PortDescription>& opening = std::nullopt,
               QWidget* parent = nullptr);

    static constexpr int RefreshMs = 1000;

    QString chosenDevice() const { return chosen_; }
    // Asks for the ports present and shows the adapters among them.
    void refresh();

    QListWidget* list() const { return list_; }
    QLabel* note() const { return note_; } // what changed, or why nothing can be picked
    QPushButton* use() const { return use_; }
    QPushButton* end() const { return end_; }

private:
    QListWidget* list_;
    QLabel* note_;
    QPushButton* use_;
    QPushButton* end_;
    void showPorts(const QList<PortDescription>& adapters);
    void useSelected();
    QString selectedDevice() const;

    PortLister listPorts_;
    std::optional<PortDescription> opening_;
    QString chosen_;
    QTimer* refreshTimer_;
};
