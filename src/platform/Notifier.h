#pragma once

#include <QString>

namespace larkspur {

struct Notification {
    QString identifier;  // a later post with the same identifier replaces the earlier one
    QString title;
    QString body;

    bool operator==(const Notification&) const = default;
};

// The desktop's notification service.
class Notifier {
public:
    virtual ~Notifier() = default;
    virtual void requestPermission() {}
    virtual void post(const Notification& notification) = 0;
};

}  // namespace larkspur
