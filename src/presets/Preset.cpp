#include "presets/Preset.h"

#include <QJsonObject>

#include "engine/TimerManager.h"

namespace larkspur {

namespace {
std::optional<QString> presentUnlessEmpty(const QString& text) {
    if (text.isEmpty()) return std::nullopt;
    return text;
}

Preset builtIn(const char* name, double duration, const QString& emoji, qint64 sortOrder) {
    Preset p;
    p.id = QUuid::createUuid();
    p.name = QLatin1String(name);
    p.duration = duration;
    p.emoji = emoji;
    p.sortOrder = sortOrder;
    return p;
}
}  // namespace

const QList<Preset>& Preset::defaults() {
    static const QList<Preset> list{
        builtIn("Quick 5", 300, QStringLiteral("\u26A1"), 0),
        builtIn("Focus 10", 600, QStringLiteral("\U0001F3AF"), 1),
        builtIn("Break 15", 900, QStringLiteral("\u2615"), 2),
        builtIn("Pomodoro", 1500, QStringLiteral("\U0001F345"), 3),
        builtIn("Deep Work", 3600, QStringLiteral("\U0001F9E0"), 4),
    };
    return list;
}

QString Preset::idText() const {
    return json::uuidToString(id);
}

void Preset::setEmojiText(const QString& text) {
    emoji = presentUnlessEmpty(text);
}

void Preset::setColorText(const QString& text) {
    color = presentUnlessEmpty(text);
}

QJsonValue JsonCodecFor<Preset>::encode(const Preset& v) {
    QJsonObject o{{QStringLiteral("id"), json::uuidToString(v.id)},
                  {QStringLiteral("name"), v.name},
                  {QStringLiteral("duration"), v.duration},
                  {QStringLiteral("sortOrder"), double(v.sortOrder)}};
    if (v.emoji) o.insert(QStringLiteral("emoji"), *v.emoji);
    if (v.color) o.insert(QStringLiteral("color"), *v.color);
    if (v.soundConfig)
        o.insert(QStringLiteral("soundConfig"), JsonCodecFor<SoundConfig>::encode(*v.soundConfig));
    return o;
}

Preset JsonCodecFor<Preset>::decode(const QJsonValue& v) {
    const json::ObjectReader r(v, "preset");
    Preset p;
    p.id = r.uuid("id");
    p.name = r.string("name");
    p.duration = r.number("duration");
    p.emoji = r.optionalString("emoji");
    p.color = r.optionalString("color");
    if (r.has("soundConfig"))
        p.soundConfig = JsonCodecFor<SoundConfig>::decode(r.value("soundConfig"));
    p.sortOrder = r.integer("sortOrder");
    return p;
}

TimerInstance* createTimer(TimerManager& timers, const Preset& preset) {
    return timers.createTimer(NewTimer{.name = preset.name,
                                       .duration = preset.duration,
                                       .soundConfig = preset.soundConfig.value_or(SoundConfig{}),
                                       .emoji = preset.emoji,
                                       .color = preset.color});
}

}  // namespace larkspur
