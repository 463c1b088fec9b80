// Prints the cost of one timer tick with many timers running, what writing the timer list costs
// the main thread, and how late completions are signalled by the real scheduler. Figures only;
// nothing here passes or fails.
#include <QElapsedTimer>
#include <QEventLoop>
#include <QGuiApplication>
#include <QRandomGenerator>
#include <QTemporaryDir>
#include <QTimer>
#include <algorithm>
#include <cstdio>
#include <vector>

#include "app/TrayIconRenderer.h"
#include "engine/TimerManager.h"
#include "platform/Clock.h"
#include "platform/QtScheduler.h"
#include "storage/StorageManager.h"

using namespace larkspur;

namespace {

class SilentNotifier final : public Notifier {
public:
    void post(const Notification&) override {}
};

double percentile(std::vector<double> values, double p) {
    std::sort(values.begin(), values.end());
    const auto index = std::size_t(p * double(values.size() - 1) + 0.5);
    return values.at(std::min(index, values.size() - 1));
}

void tickCost(const StorageManager& storage) {
    SystemClock clock;
    QtScheduler scheduler;
    SilentNotifier notifier;
    TimerManager manager(storage, clock, scheduler, notifier);
    constexpr int kTimers = 1000;
    for (int i = 0; i < kTimers; ++i)
        manager.createTimer(NewTimer{.name = QStringLiteral("T%1").arg(i), .duration = 1e6})
            ->start();
    const QList<TimerInstance*> timers = manager.timers();
    std::vector<double> perTick;
    for (int round = 0; round < 7; ++round) {
        QElapsedTimer elapsed;
        elapsed.start();
        constexpr int kRounds = 200;
        for (int r = 0; r < kRounds; ++r)
            for (TimerInstance* t : timers) t->tick();
        perTick.push_back(double(elapsed.nsecsElapsed()) / (kRounds * kTimers));
    }
    std::printf("tick() with %d timers running (manager attached): median %.0f ns, best %.0f ns\n",
                kTimers, percentile(perTick, 0.5), percentile(perTick, 0.0));
}

// The main thread's share of a write of the list: the records are copied there and encoded on
// the writer's thread.
void saveCost(const StorageManager& storage) {
    SystemClock clock;
    QtScheduler scheduler;
    SilentNotifier notifier;
    TimerManager manager(storage, clock, scheduler, notifier);
    constexpr int kTimers = 200;
    for (int i = 0; i < kTimers; ++i)
        manager.createTimer(NewTimer{.name = QStringLiteral("T%1").arg(i), .duration = 60})
            ->start();
    std::vector<double> perSave;
    for (int round = 0; round < 50; ++round) {
        QElapsedTimer elapsed;
        elapsed.start();
        manager.saveTimers();
        perSave.push_back(double(elapsed.nsecsElapsed()) / 1e6);
        storage.flush();
    }
    std::printf("saveTimers() with %d timers, main thread: median %.3f ms, max %.3f ms\n", kTimers,
                percentile(perSave, 0.5), percentile(perSave, 1.0));
}

void lateness(const StorageManager& storage, int count) {
    SystemClock clock;
    QtScheduler scheduler;
    SilentNotifier notifier;
    TimerManager manager(storage, clock, scheduler, notifier);
    std::vector<double> lateMs;
    std::vector<double> due(std::size_t(count), 0.0);
    auto* rng = QRandomGenerator::global();
    for (int i = 0; i < count; ++i) {
        const double duration = 0.2 + rng->bounded(1.8);
        TimerInstance* t = manager.createTimer(
            NewTimer{.name = QStringLiteral("L%1").arg(i), .duration = duration});
        QObject::connect(t, &TimerInstance::stateChanged, t,
                         [&lateMs, &clock, &due, i](TimerState s) {
                             if (s == TimerState::Completed)
                                 lateMs.push_back((clock.now() - due[std::size_t(i)]) * 1000);
                         });
    }
    // Start them all in one go, as fast as possible, then let the event loop run.
    for (int i = 0; i < count; ++i) {
        TimerInstance* t = manager.timers().at(i);  // a fresh folder: only ours
        due[std::size_t(i)] = clock.now() + t->totalDuration();
        t->start();
    }
    QEventLoop loop;
    QTimer poll;
    QObject::connect(&poll, &QTimer::timeout, &loop, [&] {
        if (int(lateMs.size()) >= count) loop.quit();
    });
    poll.start(50);
    QTimer::singleShot(10'000, &loop, &QEventLoop::quit);
    loop.exec();
    if (lateMs.empty()) {
        std::printf("no completions\n");
        return;
    }
    std::printf(
        "completion lateness, %d timers of 0.2-2 s: p50 %.2f ms, p99 %.2f ms, max %.2f ms\n",
        int(lateMs.size()), percentile(lateMs, 0.5), percentile(lateMs, 0.99),
        percentile(lateMs, 1.0));
}

void trayImageCost() {
    constexpr int kRuns = 200;
    QElapsedTimer elapsed;
    elapsed.start();
    for (int i = 0; i < kRuns; ++i)
        TrayIconRenderer::icon(QStringLiteral("%1:%2").arg(i % 60, 2, 10, QChar(u'0')).arg(i % 60));
    std::printf("tray image for a new time text: %.3f ms\n",
                double(elapsed.nsecsElapsed()) / 1e6 / kRuns);
}

}  // namespace

int main(int argc, char** argv) {
    // Images are drawn off screen; no display is needed.
    if (!qEnvironmentVariableIsSet("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
    QGuiApplication app(argc, argv);
    trayImageCost();
    QTemporaryDir first, second, third, fourth;
    tickCost(StorageManager(first.path(), StorageManager::Writes::Background));
    saveCost(StorageManager(second.path(), StorageManager::Writes::Background));
    lateness(StorageManager(third.path(), StorageManager::Writes::Background), 200);
    lateness(StorageManager(fourth.path(), StorageManager::Writes::Background), 1000);
    return 0;
}
