// SPDX-License-Identifier: GPL-3.0-or-later
// Time from process start to the window shown. The process is this bench
// started again as a start-up child, running the program's start-up on the
// board's port; it prints the time at the window's first show and ends there.
#include "board_process.h"
#include "figures.h"
#include "measure.h"

#include "app/zerbo.h"

#include <QApplication>
#include <QEvent>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <sys/wait.h>
#include <unistd.h>

namespace {
constexpr const char* ChildOption = "--startup-child";
constexpr int WarmUpStarts = 1;
constexpr int CountedStarts = 5;
constexpr double TargetMs = 85;

class ShowWatch : public QObject {
public:
    explicit ShowWatch(qint64 startedNs) : startedNs_(startedNs) {}

protected:
    bool eventFilter(QObject*, QEvent* event) override {
        if (event->type() == QEvent::Show) {
            std::printf("%.3f\n", double(monotonicNs() - startedNs_) / 1e6);
            std::fflush(stdout);
            std::_Exit(0);
        }
        return false;
    }

private:
    qint64 startedNs_;
};

// Forks and starts a child at a noted time; what it prints is the figure.
double startupMilliseconds(const char* self, const QString& link) {
    int pipeFds[2];
    if (pipe(pipeFds) != 0)
        return -1;
    const std::string linkText = link.toStdString();
    const qint64 started = monotonicNs();
    const pid_t child = fork();
    if (child == 0) {
        dup2(pipeFds[1], STDOUT_FILENO);
        const std::string startedText = std::to_string(started);
        execl(self, self, ChildOption, startedText.c_str(), linkText.c_str(), nullptr);
        std::_Exit(127);
    }
    close(pipeFds[1]);
    char text[64] = {};
    const ssize_t n = read(pipeFds[0], text, sizeof text - 1);
    close(pipeFds[0]);
    waitpid(child, nullptr, 0);
    return n > 0 ? std::atof(text) : -1;
}
} // namespace

bool isStartupChild(int argc, char** argv) {
    return argc == 4 && std::string(argv[1]) == ChildOption;
}

int startupChild(int argc, char** argv) {
    const qint64 startedNs = std::atoll(argv[2]);
    QApplication app(argc, argv);
    Zerbo zerbo(QString::fromLocal8Bit(argv[3]));
    ShowWatch watch(startedNs);
    zerbo.form().installEventFilter(&watch);
    zerbo.Form_Load();
    return 1;
}

Row startupRow(const char* self, const BoardProcess& board) {
    const QString figure =
        QStringLiteral("time from process start to the window shown (median of %1 starts)")
            .arg(CountedStarts);
    const QString target = QStringLiteral("under %1 ms").arg(TargetMs);
    // The first start fills the disk cache and is left out.
    for (int start = 0; start < WarmUpStarts; ++start)
        startupMilliseconds(self, board.link());
    std::vector<double> starts;
    for (int start = 0; start < CountedStarts; ++start) {
        const double ms = startupMilliseconds(self, board.link());
        if (ms < 0)
            return notMeasured(figure, target, QStringLiteral("a start-up child failed"));
        starts.push_back(ms);
    }
    const double ms = median(starts);
    return {figure, decimal(ms, 1) + QStringLiteral(" ms"), target, ms < TargetMs};
}
