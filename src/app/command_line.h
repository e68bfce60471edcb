#pragma once

#include <QString>
#include <QStringList>

// The device that stands for COM1: --port DEVICE, else the environment
// variable ZERBO_PORT, else /dev/ttyS0.
QString com1DeviceFrom(const QStringList& arguments);
