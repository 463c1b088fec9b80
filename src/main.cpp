#include <QApplication>
#include <QTimer>
#include <csignal>
#include <cstdio>

#include "app/AppDelegate.h"
#include "app/LarkspurhollowApp.h"
#include "app/Translations.h"
#include "platform/Log.h"
#include "services/QuitSignals.h"
#include "services/SingleInstance.h"

namespace {

constexpr const char* kUsage =
    "Usage: larkspurhollow [URL...]\n"
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
    "  -h, --help       Show this text and exit.\n"
    "  -v, --version    Show the version and exit.\n";

enum class Early { Run, ExitOk, ExitUsage };

// Options are read before any window-system connection, so --help works anywhere.
Early readArguments(int argc, char** argv, QStringList& urls) {
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
        if (arg.startsWith(u'-')) {
            std::fprintf(stderr, "larkspurhollow: unknown option %s\n%s", argv[i], kUsage);
            return Early::ExitUsage;
        }
        urls << arg;
    }
    return Early::Run;
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
    switch (readArguments(argc, argv, urls)) {
        case Early::ExitOk:
            return 0;
        case Early::ExitUsage:
            return 2;
        case Early::Run:
            break;
    }
    choosePlatform();
    // A report line into a pipe whose reader is gone must not end the program.
    std::signal(SIGPIPE, SIG_IGN);

    QApplication app(argc, argv);
    QApplication::setApplicationName(QStringLiteral("Larkspurhollow"));
    QApplication::setApplicationVersion(QStringLiteral(LARKSPUR_VERSION));
    QApplication::setDesktopFileName(QStringLiteral("larkspurhollow"));
    QApplication::setQuitOnLastWindowClosed(false);
    larkspur::installTranslations(app);

    // From here on a termination signal goes through the orderly way out.
    larkspur::QuitSignals quitSignals;
    quitSignals.install();
    QObject::connect(&quitSignals, &larkspur::QuitSignals::quitRequested, &app,
                     &QCoreApplication::quit);

    larkspur::SingleInstance instance;
    switch (instance.claim(urls)) {
        case larkspur::SingleInstance::Role::Secondary:
            return 0;
        case larkspur::SingleInstance::Role::Failed:
            larkspur::logLine(
                QStringLiteral("Larkspurhollow could not start: no private socket at \"%1\"")
                    .arg(instance.socketPath()));
            return 1;
        case larkspur::SingleInstance::Role::Primary:
            break;
    }

    larkspur::LarkspurhollowApp lark;
    larkspur::AppDelegate& delegate = lark.delegate();
    QObject::connect(&instance, &larkspur::SingleInstance::urlsReceived, &delegate,
                     &larkspur::AppDelegate::openURLs);

    // Launching has finished once the event loop runs; the command-line URLs come after it.
    QTimer::singleShot(0, &delegate, [&delegate, urls] {
        delegate.applicationDidFinishLaunching();
        delegate.openURLs(urls);
    });
    return QApplication::exec();
}
