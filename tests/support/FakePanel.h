#pragma once

#include <QSignalSpy>

#include "integrations/SharedManagers.h"
#include "integrations/WebhookManager.h"
#include "support/HttpReceiver.h"
#include "support/TimerWorld.h"

namespace larkspur::test {

// Stands in for the floating panel and counts what was asked of it.
struct FakePanel : PanelHost {
    bool visible = false;
    int shows = 0, hides = 0;
    bool isPanelVisible() const override { return visible; }
    void showPanel() override { visible = true, ++shows; }
    void hidePanel() override { visible = false, ++hides; }
};

// Timers, webhooks to a local receiver and a fake panel, reached the way the app reaches them.
struct PanelWorld : TimerWorld {
    HttpReceiver receiver;
    WebhookManager webhooks{files.storage, time, time};
    QSignalSpy sent{&webhooks, &WebhookManager::requestSent};
    FakePanel panel;
    SharedManagers shared{&manager, &webhooks, {}, {}, {}, {}, &panel};

    PanelWorld() { webhooks.setWebhookUrlText(receiver.url()); }
    QStringList events() {  // the webhook events sent since the last call
        QStringList out;
        while (!sent.isEmpty()) out << sent.takeFirst().at(0).toString();
        return out;
    }
    TimerInstance* add(const char* name, double duration) {
        return manager.createTimer(NewTimer{.name = name, .duration = duration});
    }
};

}  // namespace larkspur::test
