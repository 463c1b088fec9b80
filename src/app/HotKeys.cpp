#include "app/HotKeys.h"

#include <QPointer>

#include "engine/TimerManager.h"
#include "integrations/WebhookManager.h"
#include "services/GlobalHotKeys.h"

namespace larkspur {

namespace {

TimerInstance* mostRecentTimer(const SharedManagers& shared) {
    const TimerManager* manager = shared.timerManager;
    if (!manager || manager->timers().isEmpty()) return nullptr;
    return manager->timers().last();
}

void announce(const SharedManagers& shared, const QString& event, const TimerInstance* timer) {
    if (timer && shared.webhookManager) shared.webhookManager->fire(event, *timer);
}

}  // namespace

HotKeys::HotKeys(const SharedManagers& shared, QObject* parent)
    : QObject(parent), shared_(shared) {}

HotKeys::~HotKeys() = default;

void HotKeys::registerHotKey() {
    if (keys_) return;
    keys_ = std::make_unique<GlobalHotKeys>();
    connect(keys_.get(), &GlobalHotKeys::activated, this, &HotKeys::handle);
    constexpr Qt::KeyboardModifiers mods = Qt::AltModifier | Qt::ShiftModifier;
    keys_->registerHotKey(TogglePanel, mods | Qt::Key_T);
    keys_->registerHotKey(StartPause, mods | Qt::Key_S);
    keys_->registerHotKey(Reset, mods | Qt::Key_R);
}

void HotKeys::handle(quint32 id) const {
    switch (id) {
        case TogglePanel:
            togglePanel();
            break;
        case StartPause:
            toggleMostRecentTimer();
            break;
        case Reset:
            resetMostRecentTimer();
            break;
        default:
            break;
    }
}

void HotKeys::togglePanel() const {
    if (!shared_.panel) return;
    if (shared_.panel->isPanelVisible())
        shared_.panel->hidePanel();
    else
        shared_.panel->showPanel();
}

void HotKeys::toggleMostRecentTimer() const {
    // Guarded: a state change runs the manager's reactions before the webhook goes out.
    QPointer<TimerInstance> timer = mostRecentTimer(shared_);
    if (!timer) return;
    switch (timer->state()) {
        case TimerState::Idle:
        case TimerState::Completed:
            timer->start();
            announce(shared_, QStringLiteral("timer.started"), timer);
            break;
        case TimerState::Running:
            timer->pause();
            announce(shared_, QStringLiteral("timer.paused"), timer);
            break;
        case TimerState::Paused:
            timer->resume();
            break;
    }
}

void HotKeys::resetMostRecentTimer() const {
    QPointer<TimerInstance> timer = mostRecentTimer(shared_);
    if (!timer) return;
    // Sent first, so that it carries the values from before the reset.
    announce(shared_, QStringLiteral("timer.reset"), timer);
    if (timer) timer->reset();
}

}  // namespace larkspur
