#pragma once

#include <QtQml/qqmlregistration.h>
#include <QAbstractListModel>
#include <QPointer>

#include "engine/TimerManager.h"

namespace larkspur {

// The timer manager's list as a model that passes on its insertions and removals as they come
// (the timers of a batch as one range), so that the cards of timers that stay keep their state
// (an open edit form, a pulse) and only the cards that come or go are animated.
class TimerListModel : public QAbstractListModel {
    Q_OBJECT
    QML_ELEMENT
    Q_PROPERTY(larkspur::TimerManager* timerManager READ timerManager WRITE setTimerManager NOTIFY
                   timerManagerChanged)
    Q_PROPERTY(int count READ count NOTIFY countChanged)

public:
    enum Role { TimerRole = Qt::UserRole + 1 };

    using QAbstractListModel::QAbstractListModel;

    TimerManager* timerManager() const { return manager_; }
    void setTimerManager(TimerManager* manager);
    int count() const { return int(shown_.size()); }

    int rowCount(const QModelIndex& parent = {}) const override;
    QVariant data(const QModelIndex& index, int role) const override;
    QHash<int, QByteArray> roleNames() const override;

Q_SIGNALS:
    void timerManagerChanged();
    void countChanged();

private:
    void insert(int first, int last);
    void remove(int first, int last);

    QPointer<TimerManager> manager_;
    QList<QPointer<TimerInstance>> shown_;
};

}  // namespace larkspur
