#include "ui/TimerListModel.h"

namespace larkspur {

void TimerListModel::setTimerManager(TimerManager* manager) {
    if (manager == manager_) return;
    if (manager_) manager_->disconnect(this);
    manager_ = manager;
    const int before = count();
    beginResetModel();
    shown_.clear();
    if (manager_) {
        // A view made by a command of a batch (the panel opened by a start URL) would show the
        // batch's timers twice otherwise.
        for (TimerInstance* timer : manager_->timers().first(manager_->announcedCount()))
            shown_.append(timer);
        connect(manager_, &TimerManager::timersInserted, this, &TimerListModel::insert);
        connect(manager_, &TimerManager::timersRemoved, this, &TimerListModel::remove);
    }
    endResetModel();
    if (count() != before) Q_EMIT countChanged();
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

void TimerListModel::insert(int first, int last) {
    if (!manager_ || first < 0 || first > shown_.size() || last < first ||
        last >= manager_->timers().size())
        return;
    beginInsertRows({}, first, last);
    const QList<TimerInstance*>& timers = manager_->timers();
    shown_.insert(first, last - first + 1, nullptr);
    for (int row = first; row <= last; ++row) shown_[row] = timers.at(row);
    endInsertRows();
    Q_EMIT countChanged();
}

void TimerListModel::remove(int first, int last) {
    if (first < 0 || last < first || last >= shown_.size()) return;
    beginRemoveRows({}, first, last);
    shown_.remove(first, last - first + 1);
    // Ten thousand rows gone leave no room behind.
    if (shown_.isEmpty()) shown_.squeeze();
    endRemoveRows();
    Q_EMIT countChanged();
}

}  // namespace larkspur
