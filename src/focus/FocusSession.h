#pragma once

#include <QJsonValue>
#include <QObject>
#include <QString>
#include <QUuid>
#include <array>
#include <optional>

#include "storage/StorageManager.h"

namespace larkspur {

// A namespace of its own: the enclosing one already carries the timer enumerations' meta-object.
namespace focusmeta {
Q_NAMESPACE
enum class SessionType { Focus, ShortBreak, LongBreak };
Q_ENUM_NS(SessionType)
}  // namespace focusmeta
using focusmeta::SessionType;

inline constexpr std::array<SessionType, 3> kAllSessionTypes{
    SessionType::Focus, SessionType::ShortBreak, SessionType::LongBreak};

QString toRawValue(SessionType type);
// Case-sensitive; any other text gives nothing.
std::optional<SessionType> sessionTypeFromRaw(const QString& raw);
QString displayName(SessionType type);
// Hex text, turned into a colour by the theme layer.
QString colorHex(SessionType type);

struct FocusConfig {
    double focusDuration = 1500;
    double shortBreakDuration = 300;
    double longBreakDuration = 900;
    qint64 sessionsBeforeLongBreak = 4;
    bool autoStartBreaks = true;
    bool autoStartFocus = false;

    bool operator==(const FocusConfig&) const = default;
};

// One focus-mode phase that ran out or was skipped.
struct FocusSession {
    Q_GADGET
    Q_PROPERTY(QString id READ idString)
    Q_PROPERTY(QString taskLabel READ taskLabelText)
    Q_PROPERTY(bool hasTaskLabel READ hasTaskLabel)
    Q_PROPERTY(double startedAt MEMBER startedAt)
    Q_PROPERTY(double focusDuration MEMBER focusDuration)
    Q_PROPERTY(larkspur::focusmeta::SessionType type MEMBER type)
    Q_PROPERTY(bool completed MEMBER completed)

public:
    QUuid id;
    std::optional<QString> taskLabel;
    double startedAt = 0;
    std::optional<double> endedAt;
    double focusDuration = 0;  // the phase's length, whatever its type
    SessionType type = SessionType::Focus;
    bool completed = false;

    QString idString() const;
    QString taskLabelText() const { return taskLabel.value_or(QString()); }
    bool hasTaskLabel() const { return taskLabel.has_value(); }

    bool operator==(const FocusSession&) const = default;
};

template <>
struct JsonCodecFor<SessionType> {
    static QJsonValue encode(SessionType v) { return toRawValue(v); }
    static SessionType decode(const QJsonValue& v);
};

template <>
struct JsonCodecFor<FocusConfig> {
    static QJsonValue encode(const FocusConfig& v);
    static FocusConfig decode(const QJsonValue& v);
};

template <>
struct JsonCodecFor<FocusSession> {
    static QJsonValue encode(const FocusSession& v);
    static FocusSession decode(const QJsonValue& v);
};

}  // namespace larkspur
