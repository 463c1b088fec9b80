// How soon the Stats tab shows its first frame over a history of 100,000 focus sessions, from
// the moment the tab is chosen. Figures only; nothing here passes or fails.
#include <QElapsedTimer>
#include <QEventLoop>
#include <QGuiApplication>
#include <QQmlComponent>
#include <QQmlEngine>
#include <QQuickItem>
#include <QQuickWindow>
#include <QRandomGenerator>
#include <QTemporaryDir>
#include <QTimer>
#include <algorithm>
#include <cstdio>
#include <vector>

#include "app/ViewEngine.h"
#include "focus/SessionListJson.h"
#include "focus/StatsManager.h"
#include "platform/Clock.h"
#include "storage/StorageManager.h"
#include "ui/PanelTab.h"
#include "ui/Symbols.h"
#include "ui/ViewContext.h"

void qml_register_types_Larkspurhollow();

using namespace larkspur;

namespace {

// A year of focus and break records, some with task labels, ending now.
QList<FocusSession> history(double now) {
    QList<FocusSession> sessions;
    auto* random = QRandomGenerator::global();
    for (int i = 0; i < 100'000; ++i) {
        const double start = now - 365 * 86400.0 * (1.0 - i / 100'000.0);
        const double length = 60.0 * random->bounded(1, 50);
        sessions.append({QUuid::createUuid(),
                         random->bounded(3) ? std::optional(QStringLiteral("Task %1").arg(i % 40))
                                            : std::nullopt,
                         start, start + length, length, SessionType(random->bounded(3)),
                         random->bounded(5) != 0});
    }
    return sessions;
}

// Milliseconds from `change` until the window has drawn a frame after it.
double untilNextFrame(QQuickWindow& window, const std::function<void()>& change) {
    QEventLoop loop;
    const auto done =
        QObject::connect(&window, &QQuickWindow::frameSwapped, &loop, &QEventLoop::quit);
    QTimer::singleShot(5000, &loop, &QEventLoop::quit);
    QElapsedTimer elapsed;
    elapsed.start();
    change();
    window.update();
    loop.exec();
    QObject::disconnect(done);
    return double(elapsed.nsecsElapsed()) / 1e6;
}

}  // namespace

int main(int argc, char** argv) {
    ViewEngine::chooseRenderer();
    QGuiApplication app(argc, argv);
    QTemporaryDir dir;
    SystemClock clock;
    const StorageManager storage(dir.path());
    storage.saveBytes(sessionlist::encode(history(clock.now())),
                      QStringLiteral("focus-sessions.json"));
    StatsManager stats(storage, clock);
    ViewContext context(nullptr);
    context.setParts({.statsManager = &stats});
    ViewEngine views(context);

    QQuickWindow window;
    window.resize(400, 600);
    QQuickItem* panel = views.createView(QStringLiteral("ui/shell/FloatingPanelView.qml"), window);
    if (!panel) return 1;
    untilNextFrame(window, [&] { window.show(); });
    std::vector<double> times;
    for (int round = 0; round < 6; ++round) {
        times.push_back(untilNextFrame(
            window, [&] { panel->setProperty("selectedTab", int(PanelTab::Stats)); }));
        untilNextFrame(window, [&] { panel->setProperty("selectedTab", int(PanelTab::Timers)); });
    }
    const double first = times.front();
    std::sort(times.begin() + 1, times.end());
    std::printf(
        "Stats tab, 100,000 sessions, tab chosen to first frame: first %.1f ms, "
        "then median %.1f ms (n=%zu)\n",
        first, times[times.size() / 2 + 1], times.size() - 1);
    return 0;
}
