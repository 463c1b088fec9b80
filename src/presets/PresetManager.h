#pragma once

#include <QList>
#include <QObject>
#include <QUuid>
#include <QVariantList>

#include "presets/Preset.h"

namespace larkspur {

class StorageManager;

// Owns the ordered preset list and rewrites "presets.json" after every change.
class PresetManager final : public QObject {
    Q_OBJECT
    // List order is display order; each element is a Preset gadget.
    Q_PROPERTY(QVariantList presets READ presetValues NOTIFY presetsChanged)
    Q_PROPERTY(int count READ count NOTIFY presetsChanged)

public:
    // Loads the list; with no readable file the built-in presets are written at once.
    explicit PresetManager(const StorageManager& storage, QObject* parent = nullptr);

    const QList<Preset>& presets() const { return presets_; }
    QVariantList presetValues() const;
    int count() const { return int(presets_.size()); }

    // A new preset with a fresh id, no colour, no sound and position 0, for `add`.
    Q_INVOKABLE larkspur::Preset makePreset(const QString& name, double duration,
                                            const QString& emoji = {}) const;

    // Appends a copy numbered with the list's length before the append.
    Q_INVOKABLE void add(const larkspur::Preset& preset);
    // Replaces the first preset with the same id, all fields as given; unknown ids are ignored.
    Q_INVOKABLE void update(const larkspur::Preset& preset);
    // Removes every preset with the id and saves, also when none matched.
    void remove(const QUuid& id);
    Q_INVOKABLE void remove(const QString& id);
    // List-move: `to` counts positions before the move; moved presets keep their relative order.
    // Then every preset is renumbered 0, 1, 2, ... in list order. Positions outside the list are
    // ignored and `to` is clamped into it.
    Q_INVOKABLE void reorder(const QList<int>& from, int to);

Q_SIGNALS:
    void presetsChanged();

private:
    void save() const;

    const StorageManager& storage_;
    QList<Preset> presets_;
};

}  // namespace larkspur
