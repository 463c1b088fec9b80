#include "engine/TimerManager.h"

#include <QPointer>
#include <QSet>
#include <algorithm>
#include <limits>

#include "engine/TimerNotifications.h"
#include "storage/JsonCodec.h"
#include "storage/StorageManager.h"

namespace larkspur {

namespace {
QByteArray encodeList(const QList<TimerData>& records) {
    QJsonArray array;
    for (const TimerData& record : records) array.append(TimerDataCodec::encode(record));
    return json::serialize(array);
}
}  // namespace

TimerManager::TimerManager(const StorageManager& storage, const Clock& clock, Scheduler& scheduler,
                           Notifier& notifier, QObject* parent)
    : QObject(parent),
      storage_(storage),
      clock_(clock),
      scheduler_(scheduler),
      notifier_(notifier) {
    notifier_.requestPermission();
    restoreTimers();
}

TimerManager::Batch::Batch(TimerManager& manager) : manager_(&manager) {
    ++manager.batchDepth_;
}

TimerManager::Batch::~Batch() {
    if (!manager_ || --manager_->batchDepth_ > 0) return;
    manager_->announceInserted();
    if (!manager_->batchChanged_) return;
    manager_->batchChanged_ = false;
    manager_->updateTicking();
    Q_EMIT manager_->timersChanged();
}

void TimerManager::listChanged() {
    if (batchDepth_ > 0) {
        batchChanged_ = true;
        return;
    }
    updateTicking();
    Q_EMIT timersChanged();
}

void TimerManager::announceInserted() {
    if (firstUnannounced_ < 0) return;
    const auto first = int(firstUnannounced_);
    firstUnannounced_ = -1;
    Q_EMIT timersInserted(first, int(timers_.size()) - 1);
}

TimerManager::~TimerManager() {
    if (saveShot_.isActive()) saveTimers();
    // Timers die with the manager; make sure none of them calls back while it goes.
    for (TimerInstance* t : std::as_const(timers_)) {
        t->disconnect(this);
        t->detach();
    }
}

void TimerManager::reevaluate() {
    QList<TimerInstance*> running = runningTimers();
    // Those that ended meanwhile end in the order they were due; a stopwatch never is.
    static constexpr double kNever = std::numeric_limits<double>::infinity();
    std::stable_sort(running.begin(), running.end(), [](TimerInstance* a, TimerInstance* b) {
        return a->dueAt().value_or(kNever) < b->dueAt().value_or(kNever);
    });
    for (const QPointer<TimerInstance> timer : running)
        if (timer) timer->reevaluate();
}

void TimerManager::setViewsVisible(bool visible) {
    if (visible == viewsVisible_) return;
    viewsVisible_ = visible;
    updateTicking();
    // What was not announced while nothing showed it is announced now.
    if (visible) tickRunning();
    Q_EMIT viewsVisibleChanged();
}

void TimerManager::updateTicking() {
    const bool live = viewsVisible_ && std::any_of(timers_.begin(), timers_.end(), [](auto* t) {
                          return t->state() == TimerState::Running;
                      });
    // One ticker for all running timers: ten of them wake the program ten times a second, not
    // a hundred.
    if (live && !liveTicker_.isActive())
        liveTicker_ = scheduler_.every(TimerInstance::kTickInterval, [this] { tickRunning(); });
    if (!live) liveTicker_.cancel();
    if (viewsVisible_ && !refreshTicker_.isActive()) {
        refreshTicker_ = scheduler_.every(kRefreshInterval, [this] {
            ++tick_;
            Q_EMIT tickChanged();
        });
    }
    if (!viewsVisible_) refreshTicker_.cancel();
}

void TimerManager::tickRunning() {
    // A tick may complete a timer, whose steps may add or remove timers.
    QList<QPointer<TimerInstance>> running;
    for (TimerInstance* t : std::as_const(timers_))
        if (t->state() == TimerState::Running) running.append(t);
    for (const QPointer<TimerInstance>& t : std::as_const(running))
        if (t) t->tick();
}

TimerInstance* TimerManager::timer(const QUuid& id) const {
    for (TimerInstance* t : timers_)
        if (t->id() == id) return t;
    return nullptr;
}

void TimerManager::restoreTimers() {
    const double now = clock_.now();
    std::optional<QList<TimerData>> loaded;
    storage_.loadJson(kActiveTimersFile, [&](const QJsonValue& value) {
        loaded = json::decodeArray(value, QStringLiteral("timers"), [now](const QJsonValue& e) {
            return TimerDataCodec::decode(e, now);
        });
    });
    if (!loaded) return;
    for (TimerData& data : *loaded) adopt(std::move(data));
    if (!timers_.isEmpty()) Q_EMIT timersChanged();
}

TimerInstance* TimerManager::adopt(TimerData data) {
    auto* timer = new TimerInstance(std::move(data), clock_, scheduler_, this);
    timers_.append(timer);
    // Completion steps follow a change to completed; a timer restored as completed does not
    // complete again.
    connect(timer, &TimerInstance::stateChanged, this, [this, timer](TimerState state) {
        if (state == TimerState::Completed) runCompletionSteps(timer);
        listChanged();
    });
    connect(timer, &TimerInstance::persistentChange, this, &TimerManager::requestSave);
    connect(timer, &TimerInstance::preWarningDue, this,
            [this, timer] { notifier_.post(preWarningNotification(timer->data())); });
    // Ticks are not relayed: views bind to the timer itself and the refresh tick redraws the
    // rest, and relaying ten ticks a second would wake the event loop twice as often.
    connect(timer, &TimerInstance::nameChanged, this, &TimerManager::relayChange);
    connect(timer, &TimerInstance::stateChanged, this, &TimerManager::relayChange);
    connect(timer, &TimerInstance::totalDurationChanged, this, &TimerManager::relayChange);
    return timer;
}

TimerInstance* TimerManager::createTimer(const NewTimer& request) {
    TimerData data;
    data.id = QUuid::createUuid();
    data.name = request.name;
    data.mode = request.mode;
    data.totalDuration = request.duration;
    data.soundConfig = request.soundConfig;
    data.emoji = request.emoji;
    data.color = request.color;
    data.createdAt = clock_.now();
    data.endDate = request.endDate;
    data.recurringConfig = request.recurringConfig;
    TimerInstance* timer = adopt(std::move(data));
    requestSave();
    if (firstUnannounced_ < 0) firstUnannounced_ = timers_.size() - 1;
    if (batchDepth_ == 0) announceInserted();
    listChanged();
    return timer;
}

void TimerManager::removeTimer(const QString& id) {
    if (const std::optional<QUuid> uuid = json::tryParseUuid(id)) removeTimer(*uuid);
}

void TimerManager::applyEdit(TimerInstance* timer, const QString& name, const QString& emoji,
                             double duration) {
    if (!timer || !timers_.contains(timer)) return;
    timer->setName(name);
    timer->setEmoji(emoji);
    if (timer->state() == TimerState::Idle) timer->setTotalDuration(duration);
    requestSave();
}

void TimerManager::removeTimer(const QUuid& id) {
    removeTimers({id});
}

void TimerManager::removeTimers(const QList<QUuid>& ids) {
    // Rows are told in order: those made before go out first.
    announceInserted();
    const QSet<QUuid> doomed(ids.begin(), ids.end());
    QList<TimerInstance*> removed;
    // From the end, so that the rows of a run told to the views are still where they were.
    for (qsizetype last = timers_.size() - 1; last >= 0; --last) {
        if (!doomed.contains(timers_.at(last)->id())) continue;
        qsizetype first = last;
        while (first > 0 && doomed.contains(timers_.at(first - 1)->id())) --first;
        removed.append(timers_.mid(first, last - first + 1));
        timers_.remove(first, last - first + 1);
        Q_EMIT timersRemoved(int(first), int(last));
        last = first;
    }
    if (removed.isEmpty()) return;
    if (timers_.isEmpty()) timers_.squeeze();
    // Views and callers may still hold them during this pass of the event loop. One deferred
    // delete for them all: the event queue keeps the room that ten thousand of them took.
    auto* leaving = new QObject(this);
    for (TimerInstance* t : std::as_const(removed)) {
        t->disconnect(this);
        t->detach();
        t->setParent(leaving);
    }
    leaving->deleteLater();
    requestSave();
    listChanged();
}

void TimerManager::pauseAll() {
    for (TimerInstance* t : std::as_const(timers_))
        if (t->state() == TimerState::Running) t->pause();
}

void TimerManager::resetAll() {
    for (TimerInstance* t : std::as_const(timers_)) t->reset();
}

int TimerManager::activeCount() const {
    return int(std::count_if(timers_.begin(), timers_.end(), [](const TimerInstance* t) {
        return t->state() == TimerState::Running || t->state() == TimerState::Paused;
    }));
}

QList<TimerInstance*> TimerManager::runningTimers() const {
    QList<TimerInstance*> out;
    for (TimerInstance* t : timers_)
        if (t->state() == TimerState::Running) out.append(t);
    return out;
}

void TimerManager::continueRestoredTimers() {
    for (TimerInstance* t : std::as_const(timers_)) t->continueAfterRestore();
}

void TimerManager::saveTimers() {
    saveShot_.cancel();
    // A copy of the records is quick; encoding them waits for the writer's thread.
    QList<TimerData> records;
    records.reserve(timers_.size());
    for (const TimerInstance* t : std::as_const(timers_)) records.append(t->data());
    storage_.saveContent([records = std::move(records)] { return encodeList(records); },
                         kActiveTimersFile);
}

void TimerManager::requestSave() {
    if (!saveShot_.isActive()) saveShot_ = scheduler_.after(0, [this] { saveTimers(); });
}

void TimerManager::runCompletionSteps(TimerInstance* timer) {
    if (onTimerCompleted_) onTimerCompleted_(timer);
    notifier_.post(completionNotification(timer->data()));
    advanceSequenceIfNeeded(timer);
    handleRecurringIfNeeded(timer);
}

void TimerManager::defer(double delay, std::function<void()> step) {
    std::erase_if(deferred_, [](const TaskHandle& h) { return !h.isActive(); });
    deferred_.push_back(scheduler_.after(delay, std::move(step)));
}

void TimerManager::startSequence(const TimerSequence& sequence) {
    TimerSequence copy = sequence;
    copy.currentStepIndex = 0;
    activeSequence_ = copy;
    Q_EMIT activeSequenceChanged();
    if (!copy.steps.isEmpty()) createAndStartStep(copy, 0);
}

void TimerManager::createAndStartStep(const TimerSequence& sequence, qsizetype index) {
    if (index < 0 || index >= sequence.steps.size()) return;
    const SequenceStep& step = sequence.steps.at(index);
    TimerInstance* timer =
        createTimer(NewTimer{.name = sequence.stepTimerPrefix() + step.name,
                             .duration = step.duration,
                             .soundConfig = step.soundConfig.value_or(SoundConfig{})});
    timer->start();
}

void TimerManager::advanceSequenceIfNeeded(TimerInstance* completed) {
    if (!activeSequence_ || !completed->name().startsWith(activeSequence_->stepTimerPrefix()))
        return;
    activeSequence_->currentStepIndex += 1;
    const TimerSequence sequence = *activeSequence_;
    if (sequence.currentStepIndex >= sequence.steps.size()) {
        activeSequence_.reset();
        Q_EMIT activeSequenceChanged();
        return;
    }
    Q_EMIT activeSequenceChanged();
    defer(kSequenceStepDelay,
          [this, sequence] { createAndStartStep(sequence, qsizetype(sequence.currentStepIndex)); });
}

void TimerManager::handleRecurringIfNeeded(TimerInstance* completed) {
    const auto& recurring = completed->recurringConfig();
    if (!recurring) return;
    const qint64 done = recurring->runsCompleted;
    const std::optional<qint64> maxRuns = recurring->maxRuns;
    if (maxRuns && done >= *maxRuns) return;
    completed->setRunsCompleted(done + 1);
    if (maxRuns && done + 1 >= *maxRuns) return;

    const TimerData source = completed->data();
    defer(kRecurringRestartDelay, [this, source, done] {
        RecurringConfig next{source.recurringConfig->interval, source.recurringConfig->maxRuns,
                             done + 1};
        TimerInstance* copy = createTimer(NewTimer{.name = source.name,
                                                   .duration = source.totalDuration,
                                                   .mode = source.mode,
                                                   .soundConfig = source.soundConfig,
                                                   .emoji = source.emoji,
                                                   .color = source.color,
                                                   .recurringConfig = next});
        copy->start();
    });
}

void TimerManager::relayChange() {
    if (relayPending_) return;
    relayPending_ = true;
    QMetaObject::invokeMethod(
        this,
        [this] {
            relayPending_ = false;
            Q_EMIT timerChanged();
        },
        Qt::QueuedConnection);
}

}  // namespace larkspur
