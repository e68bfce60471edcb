#include "app/yield.h"

#include <QCoreApplication>
#include <QEventLoop>
#include <chrono>
#include <thread>

void yieldToEvents() {
    QCoreApplication::processEvents(QEventLoop::AllEvents);
}

void waitForEvents() {
    QCoreApplication::processEvents(QEventLoop::AllEvents | QEventLoop::WaitForMoreEvents);
}

void pauseFor(long long milliseconds) {
    if (milliseconds > 0)
        std::this_thread::sleep_for(std::chrono::milliseconds(milliseconds));
}
