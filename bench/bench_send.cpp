// Sending speed on a pseudo-terminal: the rate of the continuous send with no
// pause, and how closely the string send's characters follow the pause asked.
#include "app/control_states.h"
#include "program.h"

#include <QApplication>
#include <QLineEdit>
#include <QPushButton>
#include <algorithm>
#include <atomic>
#include <chrono>
#include <cstdio>
#include <poll.h>
#include <thread>
#include <unistd.h>
#include <vector>

namespace {
using Clock = std::chrono::steady_clock;

// Reads the board side in its own thread and notes when each byte arrived.
class ArrivalRecorder {
public:
    explicit ArrivalRecorder(int masterFd) : fd_(masterFd), thread_([this] { run(); }) {}
    ~ArrivalRecorder() { finish(); }
    ArrivalRecorder(const ArrivalRecorder&) = delete;
    ArrivalRecorder& operator=(const ArrivalRecorder&) = delete;

    // Stops reading after a last moment for bytes in flight; the arrival times.
    std::vector<Clock::time_point> finish() {
        if (thread_.joinable()) {
            std::this_thread::sleep_for(std::chrono::milliseconds(100));
            done_ = true;
            thread_.join();
        }
        return std::move(arrivals_);
    }

private:
    void run() {
        char buffer[4096];
        while (!done_) {
            pollfd p{fd_, POLLIN, 0};
            if (::poll(&p, 1, 20) <= 0)
                continue;
            const Clock::time_point now = Clock::now();
            const ssize_t n = ::read(fd_, buffer, sizeof buffer);
            for (ssize_t i = 0; i < n; ++i)
                arrivals_.push_back(now);
        }
    }

    int fd_;
    std::atomic<bool> done_{false};
    std::vector<Clock::time_point> arrivals_;
    std::thread thread_;
};

double milliseconds(Clock::duration d) {
    return std::chrono::duration<double, std::milli>(d).count();
}

// Runs the action once the send has opened the port, after its start-up checks.
void onceSending(Program& p, std::function<void()> action) {
    later(0, [&p, action] {
        if (p.zerbo.comTest.PortOpen())
            action();
        else
            onceSending(p, action);
    });
}

void continuousRate() {
    Program p;
    enterState(p.form, ControlState::Ready);
    p.form.txtO->setText("141");
    ArrivalRecorder recorder(p.board.masterFd());
    onceSending(p, [&p] {
        p.form.txtTime->clear(); // no pause while the send runs
        later(2000, [&p] { p.form.cmdStopC->click(); });
    });
    p.form.cmdSendC->click();
    const std::vector<Clock::time_point> arrivals = recorder.finish();
    const double seconds = milliseconds(arrivals.back() - arrivals.front()) / 1000.0;
    std::printf("continuous send, empty pause field: %.0f bytes/s (%zu bytes in %.2f s); "
                "target above 1000 bytes/s\n",
                (arrivals.size() - 1) / seconds, arrivals.size(), seconds);
}

void stringGaps() {
    constexpr int Characters = 100;
    constexpr double PauseMs = 10;
    Program p;
    enterState(p.form, ControlState::Ready);
    p.form.txtS->setText(QString(Characters, QChar('U')));
    ArrivalRecorder recorder(p.board.masterFd());
    // The send raises the field to its minimum at the start; the pause asked
    // is set once it runs.
    onceSending(p, [&p] { p.form.txtTime->setText("10"); });
    p.form.cmdSend->click();
    const std::vector<Clock::time_point> arrivals = recorder.finish();
    // The first character may still have had the start-up pause; its gap is left out.
    std::vector<double> gaps;
    for (size_t i = 2; i < arrivals.size(); ++i)
        gaps.push_back(milliseconds(arrivals[i] - arrivals[i - 1]));
    std::sort(gaps.begin(), gaps.end());
    const double median = gaps[gaps.size() / 2];
    std::printf("string send, %d characters at %.0f ms: median gap %.3f ms, %.3f ms from "
                "the pause (%zu bytes, gaps %.3f..%.3f ms); target within 0.2 ms\n",
                Characters, PauseMs, median, median - PauseMs, arrivals.size(), gaps.front(),
                gaps.back());
}
} // namespace

int main(int argc, char** argv) {
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    continuousRate();
    stringGaps();
    return 0;
}
