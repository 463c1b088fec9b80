#pragma once

#include <QObject>
#include <QVariantList>

#include "engine/TimerSequence.h"

namespace larkspur {

class SequenceDraft;
class StorageManager;
class TimerManager;

// The stored timer sequences, read from "sequences.json" each time the list is shown and
// written on a delete or a builder's save.
class SequenceList final : public QObject {
    Q_OBJECT
    // Each as {id, name, stepCount, totalDuration, chips (the first five steps' lengths),
    // moreSteps (how many steps past those)}.
    Q_PROPERTY(QVariantList sequences READ sequenceValues NOTIFY sequencesChanged)

public:
    SequenceList(const StorageManager& storage, TimerManager& timers, QObject* parent = nullptr);

    const QList<TimerSequence>& sequences() const { return sequences_; }
    QVariantList sequenceValues() const;

    Q_INVOKABLE void reload();
    // Runs a copy through the timer manager; the stored one does not change.
    Q_INVOKABLE void start(const QString& id);
    Q_INVOKABLE void remove(const QString& id);
    // Fills a builder with the sequence, or with a new one for an unknown id.
    Q_INVOKABLE void openDraft(larkspur::SequenceDraft* draft, const QString& id) const;
    Q_INVOKABLE void save(larkspur::SequenceDraft* draft);

Q_SIGNALS:
    void sequencesChanged();

private:
    void store();

    const StorageManager& storage_;
    TimerManager& timers_;
    QList<TimerSequence> sequences_;
};

}  // namespace larkspur
