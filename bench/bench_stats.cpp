// Times the statistics manager over a history of 100,000 focus sessions and prints the figures.
#include <QCoreApplication>
#include <QElapsedTimer>
#include <QFile>
#include <QRandomGenerator>
#include <QTemporaryDir>
#include <algorithm>
#include <cstdio>
#include <ctime>
#include <functional>
#include <memory>
#include <vector>

#include "focus/SessionListJson.h"
#include "focus/StatsManager.h"
#include "platform/Clock.h"
#include "storage/StorageManager.h"

using namespace larkspur;

namespace {

constexpr int kSessions = 100'000;
constexpr int kRuns = 7;
constexpr int kReadsPerRun = 1000;

class FixedClock final : public Clock {
public:
    double now() const override { return at; }
    double at = 0;
};

// Task labels as a user types them: a few hundred that recur, some with quotes or non-ASCII
// text, and now and then one that never comes back.
QString labelFor(QRandomGenerator& random, int i) {
    static const QStringList stems{QStringLiteral("Write report"),      QStringLiteral("Reading"),
                                   QStringLiteral("Café \"planning\""), QStringLiteral("コード"),
                                   QStringLiteral("Review PR"),         QStringLiteral("Email")};
    if (random.bounded(20) == 0) return QStringLiteral("Ticket #%1").arg(i);
    const int n = int(random.bounded(300));
    return QStringLiteral("%1 %2").arg(stems.at(n % stems.size())).arg(n);
}

QList<FocusSession> makeHistory(double now) {
    QRandomGenerator random(20240515);
    QList<FocusSession> sessions;
    sessions.reserve(kSessions);
    // About two years of phases, oldest first, the last ones today.
    double start = now - kSessions * 600.0;
    for (int i = 0; i < kSessions; ++i) {
        FocusSession s;
        s.id = QUuid::createUuid();
        const int kind = int(random.bounded(10));
        s.type = kind < 6 ? SessionType::Focus
                          : (kind < 9 ? SessionType::ShortBreak : SessionType::LongBreak);
        s.completed = random.bounded(100) < 85;
        const double planned = s.type == SessionType::Focus ? 1500 : (kind < 9 ? 300 : 900);
        s.focusDuration = s.completed ? planned : planned * random.generateDouble();
        if (random.bounded(3) > 0) s.taskLabel = labelFor(random, i);
        s.startedAt = start + random.generateDouble();
        s.endedAt = s.startedAt + s.focusDuration;
        sessions.append(s);
        start += 600;
    }
    return sessions;
}

// Wall-clock time, and the CPU time of this thread: other builds on a shared machine stretch the
// first but hardly the second.
struct Sample {
    double wall = 0;
    double cpu = 0;
};

double threadCpuMs() {
    timespec t{};
    clock_gettime(CLOCK_THREAD_CPUTIME_ID, &t);
    return double(t.tv_sec) * 1e3 + double(t.tv_nsec) / 1e6;
}

Sample measure(const std::function<void()>& work, int repeat = 1) {
    QElapsedTimer timer;
    const double cpuStart = threadCpuMs();
    timer.start();
    for (int i = 0; i < repeat; ++i) work();
    const double wall = double(timer.nsecsElapsed()) / 1e6;
    return {wall / repeat, (threadCpuMs() - cpuStart) / repeat};
}

Sample median(std::vector<Sample> samples) {
    const auto middle = samples.size() / 2;
    Sample m;
    std::sort(samples.begin(), samples.end(), [](auto& a, auto& b) { return a.wall < b.wall; });
    m.wall = samples[middle].wall;
    std::sort(samples.begin(), samples.end(), [](auto& a, auto& b) { return a.cpu < b.cpu; });
    m.cpu = samples[middle].cpu;
    return m;
}

void report(const char* what, Sample s, double limit) {
    std::printf("%-36s wall %9.4f ms   cpu %9.4f ms   (limit %.0f ms)\n", what, s.wall, s.cpu,
                limit);
}

}  // namespace

int main(int argc, char** argv) {
    QCoreApplication app(argc, argv);
    QTemporaryDir dir;
    StorageManager storage(dir.path() + QStringLiteral("/Larkspurhollow"));
    FixedClock clock;
    clock.at = SystemClock().now();

    const QList<FocusSession> history = makeHistory(clock.at);
    QFile file(storage.pathFor(kFocusSessionsFile));
    if (!file.open(QIODevice::WriteOnly) || file.write(sessionlist::encode(history)) < 0) {
        std::fprintf(stderr, "cannot write the history\n");
        return 1;
    }
    file.close();
    std::printf("%d sessions, \"%s\" is %.1f MB; median of %d runs\n", kSessions,
                qPrintable(kFocusSessionsFile), double(file.size()) / 1e6, kRuns);

    std::vector<Sample> loads;
    std::unique_ptr<StatsManager> manager;
    for (int run = 0; run < kRuns; ++run) {
        manager.reset();
        loads.push_back(measure([&] { manager = std::make_unique<StatsManager>(storage, clock); }));
    }
    if (manager->sessions().size() != kSessions) {
        std::fprintf(stderr, "loaded %lld sessions\n", qlonglong(manager->sessions().size()));
        return 1;
    }
    report("load, first in the process", loads.front(), 300);
    report("load (construct the manager)", median(loads), 300);

    // The first read after a new day rebuilds today's and this week's figures.
    std::vector<Sample> rebuilds;
    for (int run = 0; run < kRuns; ++run) {
        clock.at += 86400;
        rebuilds.push_back(measure([&] { (void)manager->todayFocusMinutes(); }));
    }
    clock.at -= kRuns * 86400.0;
    report("first read after the day moved on", median(rebuilds), 5);

    qint64 sink = 0;
    const std::vector<std::pair<const char*, std::function<void()>>> figures{
        {"todaySessions", [&] { sink += manager->todaySessions().size(); }},
        {"thisWeekSessions", [&] { sink += manager->thisWeekSessions().size(); }},
        {"todayFocusMinutes", [&] { sink += manager->todayFocusMinutes(); }},
        {"todayFocusBlocks", [&] { sink += manager->todayFocusBlocks(); }},
        {"weekFocusBlocks", [&] { sink += manager->weekFocusBlocks(); }},
        {"totalFocusMinutes", [&] { sink += manager->totalFocusMinutes(); }},
        {"dailyGoalProgress", [&] { sink += qint64(manager->dailyGoalProgress() * 100); }},
    };
    for (const auto& [name, read] : figures) {
        std::vector<Sample> perRead;
        for (int run = 0; run < kRuns; ++run) perRead.push_back(measure(read, kReadsPerRun));
        report(qPrintable(QStringLiteral("read %1").arg(QLatin1String(name))), median(perRead), 5);
    }

    std::vector<Sample> logs;
    for (int run = 0; run < kRuns * 2; ++run) {
        FocusSession s;
        s.id = QUuid::createUuid();
        s.taskLabel = QStringLiteral("Benchmark");
        s.startedAt = clock.at - 1500;
        s.endedAt = clock.at;
        s.focusDuration = 1500;
        s.completed = true;
        logs.push_back(measure([&] { manager->logSession(s); }));
    }
    report("logSession with the atomic rewrite", median(logs), 150);
    std::printf("(checksum %lld, goal progress %.3f)\n", sink, manager->dailyGoalProgress());
    return 0;
}
