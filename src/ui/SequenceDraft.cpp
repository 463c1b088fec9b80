#include "ui/SequenceDraft.h"

#include <QVariantMap>

#include "storage/JsonCodec.h"

namespace larkspur {

void SequenceDraft::setSequence(const TimerSequence& sequence) {
    sequence_ = sequence;
    editingStep_.reset();
    Q_EMIT changed();
}

void SequenceDraft::setName(const QString& name) {
    if (name == sequence_.name) return;
    sequence_.name = name;
    Q_EMIT changed();
}

QVariantList SequenceDraft::stepValues() const {
    QVariantList steps;
    for (const SequenceStep& step : sequence_.steps)
        steps.append(QVariantMap{{QStringLiteral("id"), json::uuidToString(step.id)},
                                 {QStringLiteral("name"), step.name},
                                 {QStringLiteral("duration"), step.duration}});
    return steps;
}

double SequenceDraft::totalDuration() const {
    double total = 0;
    for (const SequenceStep& step : sequence_.steps) total += step.duration;
    return total;
}

QString SequenceDraft::editingStepId() const {
    return editingStep_ ? json::uuidToString(*editingStep_) : QString();
}

void SequenceDraft::addStep() {
    larkspur::addStep(sequence_);
    Q_EMIT changed();
}

void SequenceDraft::removeStep(const QString& id) {
    const auto uuid = json::tryParseUuid(id);
    // An open editor for it stays open; its Update then changes nothing.
    sequence_.steps.removeIf([&](const SequenceStep& s) { return uuid && s.id == *uuid; });
    Q_EMIT changed();
}

void SequenceDraft::editStep(const QString& id) {
    const auto uuid = json::tryParseUuid(id);
    for (const SequenceStep& step : sequence_.steps) {
        if (!uuid || step.id != *uuid) continue;
        editingStep_ = step.id;
        stepName_ = step.name;
        stepDuration_ = step.duration;
        Q_EMIT stepEditorChanged();
        Q_EMIT changed();
        return;
    }
}

void SequenceDraft::updateStep() {
    if (editingStep_) larkspur::updateStep(sequence_, *editingStep_, stepName_, stepDuration_);
    cancelStepEdit();
}

void SequenceDraft::cancelStepEdit() {
    editingStep_.reset();
    Q_EMIT changed();
}

void SequenceDraft::moveStep(int from, int to) {
    larkspur::moveStep(sequence_, from, to);
    Q_EMIT changed();
}

}  // namespace larkspur
