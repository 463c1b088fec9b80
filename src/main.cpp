#include <QApplication>
#include <QTimer>
#include <csignal>
#include <cstdio>

#include "app/AppDelegate.h"
#include "app/ExportCommand.h"
#include "app/LarkspurhollowApp.h"
#include "app/StatusServer.h"
#include "app/Translations.h"
#include "platform/Log.h"
#include "services/QuitSignals.h"
#include "services/SingleInstance.h"
#include "services/StatusClient.h"

namespace {

constexpr const char* kUsage =
    "Usage: larkspurhollow [URL...]\n"
    "       larkspurhollow --status [--json | --first] [--watch]\n"
    "       larkspurhollow --export-sessions csv|json [--from DAY] [--to DAY]\n"
    "\n"
    "A timer that lives in the system tray. Every URL is a command of the\n"
    "larkspurhollow:// scheme; when the program already runs, the URLs are handed\n"
    "to it and this launch ends at once.\n"
    "\n"
    "  larkspurhollow://start?name=Tea&duration=180&emoji=%F0%9F%8D%B5\n"
    "  larkspurhollow://start?mode=stopwatch     (countdown, stopwatch, loop, endTime)\n"
    "  larkspurhollow://pause   larkspurhollow://resume   larkspurhollow://reset\n"
    "  larkspurhollow://stop    larkspurhollow://toggle\n"
    "\n"
    "Options:\n"
    "  --export-sessions csv|json [--from YYYY-MM-DD] [--to YYYY-MM-DD]\n"
    "                   Write the focus history to standard output and exit; the\n"
    "                   days are local and both included, a record counts for the\n"
    "                   day it started on. Exit 1 when the history cannot be read.\n"
    "                   larkspurhollow --export-sessions csv --from 2026-03-01 \\\n"
    "                       --to 2026-03-31 > march.csv\n"
    "  --status         Print the running program's timers, one line each in list\n"
    "                   order: emoji, name, state, time shown. Never starts it.\n"
    "  --status --json  The same as a JSON array: id, name, emoji, mode, state,\n"
    "                   remaining and elapsed (seconds), display, endDate (ISO 8601\n"
    "                   UTC, for a timer with an end).\n"
    "  --status --first Only the first running timer (\"Tea 04:59\"), or nothing.\n"
    "  --watch          With --json or --first: keep printing a new line whenever\n"
    "                   the output changes, until the program quits. For bars:\n"
    "                   waybar: \"custom/timer\": {\"exec\": \"larkspurhollow --status\n"
    "                     --first --watch\", \"restart-interval\": 5}\n"
    "                   polybar: type = custom/script, tail = true,\n"
    "                     exec = larkspurhollow --status --first --watch\n"
    "  -h, --help       Show this text and exit.\n"
    "  -v, --version    Show the version and exit.\n"
    "\n"
    "Without URLs, a launch while the program runs shows its floating panel.\n"
    "\n"
    "Exit codes: 0 done (URLs handed over, or status printed); 1 failed, nothing\n"
    "handed over; 2 bad options; 3 --status found no running program; 4 no\n"
    "answer within 3 s: the URLs were sent and may still run; 5 some URLs were\n"
    "over the hand-over limits (1 MiB per URL, 8 MiB per launch) and are listed.\n";

enum class Early { Run, ExitOk, ExitUsage, Export, Status };

struct StatusOptions {
    bool asked = false;
    larkspur::StatusRequest request;
};

Early usageError(const char* problem) {
    std::fprintf(stderr, "larkspurhollow: %s\n%s", problem, kUsage);
    return Early::ExitUsage;
}

Early checkStatusOptions(const StatusOptions& status, const QStringList& urls) {
    const larkspur::StatusRequest& r = status.request;
    if (!status.asked) {
        return r.json || r.first || r.watch
                   ? usageError("--json, --first and --watch go with --status")
                   : Early::Run;
    }
    if (!urls.isEmpty()) return usageError("--status takes no URLs");
    if (r.json && r.first) return usageError("--json and --first exclude each other");
    if (r.watch && !r.json && !r.first) return usageError("--watch needs --json or --first");
    return Early::Status;
}

// Options are read before any window-system connection, so --help works anywhere.
Early readArguments(int argc, char** argv, QStringList& urls, StatusOptions& status) {
    // The export takes the whole command line, its own options anywhere in it.
    for (int i = 1; i < argc; ++i)
        if (QByteArrayView(argv[i]).startsWith("--export-sessions")) return Early::Export;
    for (int i = 1; i < argc; ++i) {
        const QString arg = QString::fromLocal8Bit(argv[i]);
        if (arg == QLatin1String("-h") || arg == QLatin1String("--help")) {
            std::fputs(kUsage, stdout);
            return Early::ExitOk;
        }
        if (arg == QLatin1String("-v") || arg == QLatin1String("--version")) {
            std::printf("Larkspurhollow %s\n", LARKSPUR_VERSION);
            return Early::ExitOk;
        }
        bool* const flag = arg == QLatin1String("--status")  ? &status.asked
                           : arg == QLatin1String("--json")  ? &status.request.json
                           : arg == QLatin1String("--first") ? &status.request.first
                           : arg == QLatin1String("--watch") ? &status.request.watch
                                                             : nullptr;
        if (flag) {
            *flag = true;
            continue;
        }
        if (arg.startsWith(u'-')) {
            std::fprintf(stderr, "larkspurhollow: unknown option %s\n%s", argv[i], kUsage);
            return Early::ExitUsage;
        }
        urls << arg;
    }
    return checkStatusOptions(status, urls);
}

int exitCodeOf(larkspur::SingleInstance::Role role) {
    switch (role) {
        case larkspur::SingleInstance::Role::Primary:
        case larkspur::SingleInstance::Role::Secondary:
            return 0;
        case larkspur::SingleInstance::Role::Failed:
            return 1;
        case larkspur::SingleInstance::Role::Unconfirmed:
            return 4;
        case larkspur::SingleInstance::Role::Undelivered:
            return 5;
    }
    return 1;
}

void choosePlatform() {
    if (qEnvironmentVariableIsSet("QT_QPA_PLATFORM")) return;
    // Tray hosts speak X11 (XEmbed) or D-Bus; under Wayland, XWayland gives both.
    if (qEnvironmentVariableIsSet("DISPLAY")) {
        qputenv("QT_QPA_PLATFORM", "xcb");
    } else if (!qEnvironmentVariableIsSet("WAYLAND_DISPLAY")) {
        // No display at all (a script over ssh): hand URLs on, or run without a tray.
        qputenv("QT_QPA_PLATFORM", "offscreen");
    }
}

}  // namespace

int main(int argc, char** argv) {
    QStringList urls;
    StatusOptions status;
    switch (readArguments(argc, argv, urls, status)) {
        case Early::ExitOk:
            return 0;
        case Early::ExitUsage:
            return 2;
        case Early::Export:
            return larkspur::exportSessions(argc, argv, kUsage);
        case Early::Status: {
            std::signal(SIGPIPE, SIG_IGN);  // a bar that goes away ends the stream quietly
            larkspur::SingleInstance instance;
            return larkspur::requestStatus(instance, status.request);
        }
        case Early::Run:
            break;
    }
    choosePlatform();
    // A report line into a pipe whose reader is gone must not end the program.
    std::signal(SIGPIPE, SIG_IGN);

    // A running program takes the URLs without this launch ever touching the display.
    larkspur::SingleInstance instance;
    if (const auto role = instance.handOver(urls)) return exitCodeOf(*role);

    QApplication app(argc, argv);
    QApplication::setApplicationName(QStringLiteral("Larkspurhollow"));
    QApplication::setApplicationVersion(QStringLiteral(LARKSPUR_VERSION));
    QApplication::setDesktopFileName(QStringLiteral("larkspurhollow"));
    QApplication::setQuitOnLastWindowClosed(false);
    larkspur::installTranslations(app);

    if (const auto role = instance.claim(urls); role != larkspur::SingleInstance::Role::Primary) {
        if (role == larkspur::SingleInstance::Role::Failed)
            larkspur::logLine(QStringLiteral("Larkspurhollow could not start, and no running "
                                             "program took the URLs (socket %1)")
                                  .arg(instance.socketPath()));
        return exitCodeOf(role);
    }

    // Until the files are loaded a termination signal ends the program at once (every write is
    // atomic); from then on it goes through the orderly way out, once the event loop runs.
    larkspur::LarkspurhollowApp lark;
    larkspur::QuitSignals quitSignals;
    quitSignals.install();
    QObject::connect(&quitSignals, &larkspur::QuitSignals::quitRequested, &app,
                     &QCoreApplication::quit);
    larkspur::AppDelegate& delegate = lark.delegate();
    QObject::connect(&instance, &larkspur::SingleInstance::urlsReceived, &delegate,
                     [&delegate](const QStringList& handed) {
                         if (handed.isEmpty()) {
                             delegate.showPanel();
                         } else {
                             delegate.openURLs(handed);
                         }
                     });
    larkspur::StatusServer statusServer(instance, lark.timerManager());

    // Launching has finished once the event loop runs; the command-line URLs come after it.
    QTimer::singleShot(0, &delegate, [&delegate, urls] {
        delegate.applicationDidFinishLaunching();
        delegate.openURLs(urls);
    });
    return QApplication::exec();
}
