#include "ui/SequenceList.h"

#include <QVariantMap>

#include "engine/TimerManager.h"
#include "storage/StorageManager.h"
#include "ui/SequenceDraft.h"

namespace larkspur {

SequenceList::SequenceList(const StorageManager& storage, TimerManager& timers, QObject* parent)
    : QObject(parent), storage_(storage), timers_(timers) {}

QVariantList SequenceList::sequenceValues() const {
    constexpr qsizetype kChips = 5;
    QVariantList list;
    for (const TimerSequence& s : sequences_) {
        QVariantList chips;
        double total = 0;
        for (qsizetype i = 0; i < s.steps.size(); ++i) {
            total += s.steps[i].duration;
            if (i < kChips) chips.append(s.steps[i].duration);
        }
        list.append(QVariantMap{
            {QStringLiteral("id"), json::uuidToString(s.id)},
            {QStringLiteral("name"), s.name},
            {QStringLiteral("stepCount"), int(s.steps.size())},
            {QStringLiteral("totalDuration"), total},
            {QStringLiteral("chips"), chips},
            {QStringLiteral("moreSteps"), int(std::max<qsizetype>(0, s.steps.size() - kChips))}});
    }
    return list;
}

void SequenceList::reload() {
    sequences_ =
        storage_.load<QList<TimerSequence>>(kSequencesFile).value_or(QList<TimerSequence>{});
    Q_EMIT sequencesChanged();
}

void SequenceList::start(const QString& id) {
    const auto uuid = json::tryParseUuid(id);
    for (const TimerSequence& s : std::as_const(sequences_))
        if (uuid && s.id == *uuid) return timers_.startSequence(s);
}

void SequenceList::remove(const QString& id) {
    const auto uuid = json::tryParseUuid(id);
    sequences_.removeIf([&](const TimerSequence& s) { return uuid && s.id == *uuid; });
    store();
}

void SequenceList::openDraft(SequenceDraft* draft, const QString& id) const {
    if (!draft) return;
    const auto uuid = json::tryParseUuid(id);
    for (const TimerSequence& s : sequences_)
        if (uuid && s.id == *uuid) return draft->setSequence(s);
    draft->setSequence({QUuid::createUuid(), {}, {}, 0});
}

void SequenceList::save(SequenceDraft* draft) {
    if (!draft || !draft->canSave()) return;
    saveSequence(sequences_, draft->sequence());
    store();
}

void SequenceList::store() {
    storage_.save(sequences_, kSequencesFile);
    Q_EMIT sequencesChanged();
}

}  // namespace larkspur
