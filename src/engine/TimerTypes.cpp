#include "engine/TimerTypes.h"

#include <array>
#include <utility>

namespace larkspur {

namespace {

template <class E, std::size_t N>
using RawTable = std::array<std::pair<E, const char*>, N>;

constexpr RawTable<TimerMode, 4> kModes{{{TimerMode::Countdown, "countdown"},
                                         {TimerMode::Stopwatch, "stopwatch"},
                                         {TimerMode::Loop, "loop"},
                                         {TimerMode::EndTime, "endTime"}}};
constexpr RawTable<TimerState, 4> kStates{{{TimerState::Idle, "idle"},
                                           {TimerState::Running, "running"},
                                           {TimerState::Paused, "paused"},
                                           {TimerState::Completed, "completed"}}};
constexpr RawTable<AlertMode, 3> kAlerts{{{AlertMode::OneShot, "oneShot"},
                                          {AlertMode::Repeated, "repeated"},
                                          {AlertMode::LoopUntilDismissed, "loopUntilDismissed"}}};

template <class E, std::size_t N>
QString rawOf(const RawTable<E, N>& table, E value) {
    for (const auto& [e, raw] : table)
        if (e == value) return QLatin1String(raw);
    return {};
}

template <class E, std::size_t N>
std::optional<E> fromRaw(const RawTable<E, N>& table, const QString& raw) {
    for (const auto& [e, text] : table)
        if (raw == QLatin1String(text)) return e;
    return std::nullopt;
}

template <class E>
E enumOrFail(std::optional<E> value, const QString& raw, const char* where) {
    if (!value)
        json::fail(QStringLiteral("%1: unknown value \"%2\"").arg(QLatin1String(where), raw));
    return *value;
}

}  // namespace

QString toRawValue(TimerMode mode) {
    return rawOf(kModes, mode);
}
QString toRawValue(TimerState state) {
    return rawOf(kStates, state);
}
QString toRawValue(AlertMode mode) {
    return rawOf(kAlerts, mode);
}
std::optional<TimerMode> timerModeFromRaw(const QString& raw) {
    return fromRaw(kModes, raw);
}
std::optional<TimerState> timerStateFromRaw(const QString& raw) {
    return fromRaw(kStates, raw);
}
std::optional<AlertMode> alertModeFromRaw(const QString& raw) {
    return fromRaw(kAlerts, raw);
}

QJsonValue JsonCodecFor<SoundConfig>::encode(const SoundConfig& v) {
    QJsonObject o{{QStringLiteral("soundName"), v.soundName},
                  {QStringLiteral("volume"), json::floatToJson(v.volume)},
                  {QStringLiteral("alertMode"), toRawValue(v.alertMode)}};
    if (v.preWarningSeconds)
        o.insert(QStringLiteral("preWarningSeconds"), double(*v.preWarningSeconds));
    return o;
}

SoundConfig JsonCodecFor<SoundConfig>::decode(const QJsonValue& v) {
    const json::ObjectReader r(v, "soundConfig");
    SoundConfig c;
    c.soundName = r.string("soundName");
    c.volume = json::jsonToFloat(r.number("volume"));
    const QString alert = r.string("alertMode");
    c.alertMode = enumOrFail(alertModeFromRaw(alert), alert, "soundConfig.alertMode");
    c.preWarningSeconds = r.optionalInteger("preWarningSeconds");
    return c;
}

QJsonValue JsonCodecFor<RecurringConfig>::encode(const RecurringConfig& v) {
    QJsonObject o{{QStringLiteral("interval"), v.interval},
                  {QStringLiteral("runsCompleted"), double(v.runsCompleted)}};
    if (v.maxRuns) o.insert(QStringLiteral("maxRuns"), double(*v.maxRuns));
    return o;
}

RecurringConfig JsonCodecFor<RecurringConfig>::decode(const QJsonValue& v) {
    const json::ObjectReader r(v, "recurringConfig");
    RecurringConfig c;
    c.interval = r.number("interval");
    c.maxRuns = r.optionalInteger("maxRuns");
    c.runsCompleted = r.integer("runsCompleted");
    return c;
}

QJsonValue TimerDataCodec::encode(const TimerData& v) {
    QJsonObject o{{QStringLiteral("id"), json::uuidToString(v.id)},
                  {QStringLiteral("name"), v.name},
                  {QStringLiteral("mode"), toRawValue(v.mode)},
                  {QStringLiteral("state"), toRawValue(v.state)},
                  {QStringLiteral("totalDuration"), v.totalDuration},
                  {QStringLiteral("elapsedTime"), v.elapsedTime},
                  {QStringLiteral("soundConfig"), JsonCodecFor<SoundConfig>::encode(v.soundConfig)},
                  {QStringLiteral("createdAt"), v.createdAt},
                  {QStringLiteral("preWarningFired"), v.preWarningFired}};
    if (v.emoji) o.insert(QStringLiteral("emoji"), *v.emoji);
    if (v.color) o.insert(QStringLiteral("color"), *v.color);
    if (v.endDate) o.insert(QStringLiteral("endDate"), *v.endDate);
    if (v.recurringConfig)
        o.insert(QStringLiteral("recurringConfig"),
                 JsonCodecFor<RecurringConfig>::encode(*v.recurringConfig));
    return o;
}

TimerData TimerDataCodec::decode(const QJsonValue& v, double readingTime) {
    const json::ObjectReader r(v, "timer");
    TimerData t;
    t.id = r.uuid("id");
    t.name = r.string("name");
    const QString mode = r.string("mode");
    t.mode = enumOrFail(timerModeFromRaw(mode), mode, "timer.mode");
    t.totalDuration = r.number("totalDuration");
    if (auto state = r.optionalString("state"))
        t.state = enumOrFail(timerStateFromRaw(*state), *state, "timer.state");
    t.elapsedTime = r.optionalNumber("elapsedTime").value_or(0.0);
    if (r.has("soundConfig"))
        t.soundConfig = JsonCodecFor<SoundConfig>::decode(r.value("soundConfig"));
    t.emoji = r.optionalString("emoji");
    t.color = r.optionalString("color");
    t.createdAt = r.optionalNumber("createdAt").value_or(readingTime);
    t.endDate = r.optionalNumber("endDate");
    t.preWarningFired = r.optionalBoolean("preWarningFired").value_or(false);
    if (r.has("recurringConfig"))
        t.recurringConfig = JsonCodecFor<RecurringConfig>::decode(r.value("recurringConfig"));
    return t;
}

}  // namespace larkspur
