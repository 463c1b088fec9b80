#include "presets/PresetManager.h"

#include <algorithm>

#include "storage/JsonCodec.h"
#include "storage/StorageManager.h"

namespace larkspur {

PresetManager::PresetManager(const StorageManager& storage, QObject* parent)
    : QObject(parent), storage_(storage) {
    if (auto loaded = storage_.load<QList<Preset>>(kPresetsFile)) {
        presets_ = std::move(*loaded);
        return;
    }
    // The storage manager has already kept a copy of an unreadable file before this overwrite.
    presets_ = Preset::defaults();
    save();
}

QVariantList PresetManager::presetValues() const {
    QVariantList out;
    out.reserve(presets_.size());
    for (const Preset& p : presets_) out.append(QVariant::fromValue(p));
    return out;
}

Preset PresetManager::makePreset(const QString& name, double duration, const QString& emoji) const {
    Preset p;
    p.id = QUuid::createUuid();
    p.name = name;
    p.duration = duration;
    p.setEmojiText(emoji);
    return p;
}

void PresetManager::add(const Preset& preset) {
    Preset copy = preset;
    copy.sortOrder = presets_.size();
    presets_.append(std::move(copy));
    save();
    Q_EMIT presetsChanged();
}

void PresetManager::update(const Preset& preset) {
    const auto it = std::find_if(presets_.begin(), presets_.end(),
                                 [&](const Preset& p) { return p.id == preset.id; });
    if (it == presets_.end()) return;
    *it = preset;
    save();
    Q_EMIT presetsChanged();
}

void PresetManager::remove(const QUuid& id) {
    const auto removed = presets_.removeIf([&](const Preset& p) { return p.id == id; });
    save();
    if (removed > 0) Q_EMIT presetsChanged();
}

void PresetManager::remove(const QString& id) {
    // Text that is no id matches nothing; the file is written all the same.
    if (const auto parsed = json::tryParseUuid(id))
        remove(*parsed);
    else
        save();
}

void PresetManager::reorder(const QList<int>& from, int to) {
    const auto size = presets_.size();
    QList<qsizetype> sources;
    for (int i : from)
        if (i >= 0 && i < size) sources.append(i);
    std::sort(sources.begin(), sources.end());
    sources.erase(std::unique(sources.begin(), sources.end()), sources.end());
    const qsizetype destination = std::clamp<qsizetype>(to, 0, size);

    QList<Preset> moved;
    QList<Preset> rest;
    qsizetype insertAt = destination;
    for (qsizetype i = 0, s = 0; i < size; ++i) {
        if (s < sources.size() && sources.at(s) == i) {
            moved.append(presets_.at(i));
            ++s;
            if (i < destination) --insertAt;
        } else {
            rest.append(presets_.at(i));
        }
    }
    for (qsizetype k = 0; k < moved.size(); ++k) rest.insert(insertAt + k, moved.at(k));
    for (qsizetype i = 0; i < rest.size(); ++i) rest[i].sortOrder = i;
    presets_ = std::move(rest);
    save();
    Q_EMIT presetsChanged();
}

void PresetManager::save() const {
    storage_.save(presets_, kPresetsFile);
}

}  // namespace larkspur
