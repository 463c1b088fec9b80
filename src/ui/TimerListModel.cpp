#include "ui/TimerListModel.h"

namespace larkspur {

void TimerListModel::setTimerManager(TimerManager* manager) {
    if (manager == manager_) return;
    if (manager_) manager_->disconnect(this);
    manager_ = manager;
    if (manager_) connect(manager_, &TimerManager::timersChanged, this, &TimerListModel::follow);
    follow();
    Q_EMIT timerManagerChanged();
}

int TimerListModel::rowCount(const QModelIndex& parent) const {
    return parent.isValid() ? 0 : int(shown_.size());
}

QVariant TimerListModel::data(const QModelIndex& index, int role) const {
    if (role != TimerRole || !index.isValid() || index.row() >= shown_.size()) return {};
    return QVariant::fromValue(shown_.at(index.row()).data());
}

QHash<int, QByteArray> TimerListModel::roleNames() const {
    return {{TimerRole, QByteArrayLiteral("timer")}};
}

void TimerListModel::follow() {
    const QList<TimerInstance*> wanted = manager_ ? manager_->timers() : QList<TimerInstance*>();
    const int before = count();
    // Timers leave from anywhere and arrive at the end; whatever else happened is mirrored by
    // removing what left and inserting what came, in list order.
    for (int row = int(shown_.size()) - 1; row >= 0; --row) {
        if (shown_.at(row) && wanted.contains(shown_.at(row).data())) continue;
        beginRemoveRows({}, row, row);
        shown_.removeAt(row);
        endRemoveRows();
    }
    for (int row = 0; row < wanted.size(); ++row) {
        TimerInstance* timer = wanted.at(row);
        if (row < shown_.size() && shown_.at(row) == timer) continue;
        const auto at = std::find(shown_.begin() + row, shown_.end(), timer);
        if (at != shown_.end()) {
            // Out of order: move it up to its place.
            const int from = int(at - shown_.begin());
            beginMoveRows({}, from, from, {}, row);
            shown_.move(from, row);
            endMoveRows();
            continue;
        }
        beginInsertRows({}, row, row);
        shown_.insert(row, timer);
        endInsertRows();
    }
    if (count() != before) Q_EMIT countChanged();
}

}  // namespace larkspur
