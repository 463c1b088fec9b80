#pragma once

#include <QList>

#include "platform/Notifier.h"

namespace larkspur::test {

class RecordingNotifier final : public Notifier {
public:
    void requestPermission() override { ++permissionRequests; }
    void post(const Notification& n) override { posted.append(n); }

    int permissionRequests = 0;
    QList<Notification> posted;
};

}  // namespace larkspur::test
