// Launches the way a second copy of the program would: claims the single instance with its
// arguments. Exit codes: 0 handed over, 3 became the primary, 4 failed.
#include <QCoreApplication>

#include "platform/SingleInstance.h"

int main(int argc, char** argv) {
    QCoreApplication app(argc, argv);
    larkspur::SingleInstance instance;
    bool ok = false;
    const int timeout = qEnvironmentVariableIntValue("LARKSPUR_HANDOVER_TIMEOUT_MS", &ok);
    if (ok) instance.setTimeout(timeout);
    switch (instance.claim(QCoreApplication::arguments().mid(1))) {
        case larkspur::SingleInstance::Role::Secondary:
            return 0;
        case larkspur::SingleInstance::Role::Primary:
            return 3;
        case larkspur::SingleInstance::Role::Failed:
            return 4;
    }
    return 5;
}
