#pragma once

#include <QtQml/qqmlregistration.h>
#include <QObject>
#include <QVariantList>

#include "engine/TimerSequence.h"

namespace larkspur {

// The builder's working copy of one sequence, with its step editor. It reaches the list only
// through SequenceList::save().
class SequenceDraft : public QObject {
    Q_OBJECT
    QML_ELEMENT
    Q_PROPERTY(QString name READ name WRITE setName NOTIFY changed)
    // Each step as {id, name, duration}, in order.
    Q_PROPERTY(QVariantList steps READ stepValues NOTIFY changed)
    Q_PROPERTY(int stepCount READ stepCount NOTIFY changed)
    Q_PROPERTY(double totalDuration READ totalDuration NOTIFY changed)
    Q_PROPERTY(bool canSave READ canSave NOTIFY changed)
    Q_PROPERTY(QString editingStepId READ editingStepId NOTIFY changed)
    Q_PROPERTY(QString stepName MEMBER stepName_ NOTIFY stepEditorChanged)
    Q_PROPERTY(double stepDuration MEMBER stepDuration_ NOTIFY stepEditorChanged)

public:
    using QObject::QObject;

    const TimerSequence& sequence() const { return sequence_; }
    void setSequence(const TimerSequence& sequence);
    QString name() const { return sequence_.name; }
    void setName(const QString& name);
    QVariantList stepValues() const;
    int stepCount() const { return int(sequence_.steps.size()); }
    double totalDuration() const;
    bool canSave() const { return larkspur::canSave(sequence_); }
    QString editingStepId() const;

    Q_INVOKABLE void addStep();
    Q_INVOKABLE void removeStep(const QString& id);
    Q_INVOKABLE void editStep(const QString& id);
    Q_INVOKABLE void updateStep();
    Q_INVOKABLE void cancelStepEdit();
    Q_INVOKABLE void moveStep(int from, int to);

Q_SIGNALS:
    void changed();
    void stepEditorChanged();

private:
    TimerSequence sequence_{QUuid::createUuid(), {}, {}, 0};
    std::optional<QUuid> editingStep_;
    QString stepName_;
    double stepDuration_ = 300;
};

}  // namespace larkspur
