#include "focus/FocusSession.h"

#include <QCoreApplication>
#include <QJsonObject>

namespace larkspur {

namespace {

struct TypeInfo {
    SessionType type;
    const char* raw;
    const char* name;
    const char* color;
};

constexpr std::array<TypeInfo, 3> kTypes{{
    {SessionType::Focus, "focus", QT_TRANSLATE_NOOP("SessionType", "Focus"), "#F26A1F"},
    {SessionType::ShortBreak, "shortBreak", QT_TRANSLATE_NOOP("SessionType", "Short Break"),
     "#4CAF50"},
    {SessionType::LongBreak, "longBreak", QT_TRANSLATE_NOOP("SessionType", "Long Break"),
     "#2196F3"},
}};

const TypeInfo& infoOf(SessionType type) {
    for (const TypeInfo& info : kTypes)
        if (info.type == type) return info;
    return kTypes.front();
}

}  // namespace

QString toRawValue(SessionType type) {
    return QLatin1String(infoOf(type).raw);
}

std::optional<SessionType> sessionTypeFromRaw(const QString& raw) {
    for (const TypeInfo& info : kTypes)
        if (raw == QLatin1String(info.raw)) return info.type;
    return std::nullopt;
}

QString displayName(SessionType type) {
    return QCoreApplication::translate("SessionType", infoOf(type).name);
}

QString colorHex(SessionType type) {
    return QLatin1String(infoOf(type).color);
}

QString FocusSession::idString() const {
    return json::uuidToString(id);
}

SessionType JsonCodecFor<SessionType>::decode(const QJsonValue& v) {
    const QString raw = json::toString(v, QStringLiteral("session.type"));
    const auto type = sessionTypeFromRaw(raw);
    if (!type) json::fail(QStringLiteral("session.type: unknown value \"%1\"").arg(raw));
    return *type;
}

QJsonValue JsonCodecFor<FocusConfig>::encode(const FocusConfig& v) {
    return QJsonObject{{QStringLiteral("focusDuration"), v.focusDuration},
                       {QStringLiteral("shortBreakDuration"), v.shortBreakDuration},
                       {QStringLiteral("longBreakDuration"), v.longBreakDuration},
                       {QStringLiteral("sessionsBeforeLongBreak"), v.sessionsBeforeLongBreak},
                       {QStringLiteral("autoStartBreaks"), v.autoStartBreaks},
                       {QStringLiteral("autoStartFocus"), v.autoStartFocus}};
}

FocusConfig JsonCodecFor<FocusConfig>::decode(const QJsonValue& v) {
    const json::ObjectReader r(v, "focusConfig");
    FocusConfig c;
    c.focusDuration = r.number("focusDuration");
    c.shortBreakDuration = r.number("shortBreakDuration");
    c.longBreakDuration = r.number("longBreakDuration");
    c.sessionsBeforeLongBreak = r.integer("sessionsBeforeLongBreak");
    c.autoStartBreaks = r.boolean("autoStartBreaks");
    c.autoStartFocus = r.boolean("autoStartFocus");
    return c;
}

QJsonValue JsonCodecFor<FocusSession>::encode(const FocusSession& v) {
    QJsonObject o{{QStringLiteral("id"), json::uuidToString(v.id)},
                  {QStringLiteral("startedAt"), v.startedAt},
                  {QStringLiteral("focusDuration"), v.focusDuration},
                  {QStringLiteral("type"), toRawValue(v.type)},
                  {QStringLiteral("completed"), v.completed}};
    if (v.taskLabel) o.insert(QStringLiteral("taskLabel"), *v.taskLabel);
    if (v.endedAt) o.insert(QStringLiteral("endedAt"), *v.endedAt);
    return o;
}

FocusSession JsonCodecFor<FocusSession>::decode(const QJsonValue& v) {
    const json::ObjectReader r(v, "session");
    FocusSession s;
    s.id = r.uuid("id");
    s.taskLabel = r.optionalString("taskLabel");
    s.startedAt = r.number("startedAt");
    s.endedAt = r.optionalNumber("endedAt");
    s.focusDuration = r.number("focusDuration");
    s.type = JsonCodecFor<SessionType>::decode(r.value("type"));
    s.completed = r.boolean("completed");
    return s;
}

}  // namespace larkspur
