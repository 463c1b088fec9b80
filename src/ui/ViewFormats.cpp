#include "ui/ViewFormats.h"

#include <algorithm>
#include <cmath>

namespace larkspur {

namespace {
qint64 wholeSeconds(double duration) {
    if (!std::isfinite(duration)) return 0;
    // Beyond this a count of hours no longer fits any display; it is not a real value anyway.
    constexpr double kLimit = 9.0e15;
    return static_cast<qint64>(std::clamp(duration, -kLimit, kLimit));
}
}  // namespace

QString ViewFormats::activeTimersTitle(int activeCount) {
    if (activeCount < 1) return tr("No Active Timers");
    return activeCount == 1 ? tr("1 Active Timer") : tr("%1 Active Timers").arg(activeCount);
}

QString ViewFormats::activeCountText(int activeCount) {
    return activeCount < 1 ? QString() : tr("%1 active").arg(activeCount);
}

QString ViewFormats::modeLabel(TimerMode mode) {
    switch (mode) {
        case TimerMode::Countdown:
            return tr("Countdown");
        case TimerMode::Stopwatch:
            return tr("Stopwatch");
        case TimerMode::Loop:
            return tr("Loop");
        case TimerMode::EndTime:
            return tr("End Time");
    }
    return {};
}

QString ViewFormats::modeSymbol(TimerMode mode) {
    switch (mode) {
        case TimerMode::Countdown:
            return QStringLiteral("timer");
        case TimerMode::Stopwatch:
            return QStringLiteral("stopwatch");
        case TimerMode::Loop:
            return QStringLiteral("repeat");
        case TimerMode::EndTime:
            return QStringLiteral("clock");
    }
    return {};
}

QString ViewFormats::sheetModeSymbol(TimerMode mode) {
    return mode == TimerMode::EndTime ? QStringLiteral("clock.badge.checkmark") : modeSymbol(mode);
}

QString ViewFormats::playSymbol(TimerState state) {
    switch (state) {
        case TimerState::Running:
            return QStringLiteral("pause.fill");
        case TimerState::Completed:
            return QStringLiteral("arrow.counterclockwise");
        case TimerState::Idle:
        case TimerState::Paused:
            return QStringLiteral("play.fill");
    }
    return {};
}

QString ViewFormats::playActionName(TimerState state, const QString& timerName) {
    const bool unnamed = timerName.isEmpty();
    switch (state) {
        case TimerState::Idle:
            return unnamed ? tr("Start timer") : tr("Start %1").arg(timerName);
        case TimerState::Running:
            return unnamed ? tr("Pause timer") : tr("Pause %1").arg(timerName);
        case TimerState::Paused:
            return unnamed ? tr("Resume timer") : tr("Resume %1").arg(timerName);
        case TimerState::Completed:
            return unnamed ? tr("Restart timer") : tr("Restart %1").arg(timerName);
    }
    return {};
}

QString ViewFormats::twoDigits(qint64 value) {
    const QString digits = QString::number(value < 0 ? -value : value).rightJustified(2, u'0');
    return value < 0 ? u'-' + digits : digits;
}

qint64 ViewFormats::hoursOf(double duration) {
    return wholeSeconds(duration) / 3600;
}
qint64 ViewFormats::minutesOf(double duration) {
    return wholeSeconds(duration) % 3600 / 60;
}
qint64 ViewFormats::secondsOf(double duration) {
    return wholeSeconds(duration) % 60;
}

double ViewFormats::adjustDuration(double duration, int hours, int minutes, int seconds) {
    const double delta = double(hours) * 3600 + double(minutes) * 60 + double(seconds);
    // A value that is not a number has no place to step from; start from nothing.
    const double from = std::isnan(duration) ? 0 : duration;
    return std::max(std::min(from + delta, kLongestPickedDuration), 0.0);
}

QString ViewFormats::soundLabel(const QString& name, bool custom) {
    if (custom) return name + QStringLiteral(" (custom)");
    if (name.isEmpty()) return name;
    return name.left(1).toUpper() + name.mid(1);
}

QString ViewFormats::intervalText(double seconds) {
    return QString::number(wholeSeconds(seconds) / 60) + QStringLiteral(" min");
}

QVariantList ViewFormats::preWarningOptions() {
    const auto option = [](const char* label, int seconds) {
        return QVariantMap{{QStringLiteral("label"), QString::fromUtf8(label)},
                           {QStringLiteral("seconds"), seconds}};
    };
    return {option("None", 0), option("30s", 30), option("1 min", 60), option("2 min", 120),
            option("5 min", 300)};
}

QStringList ViewFormats::pickerEmojis() {
    static const QStringList emojis{
        QStringLiteral("\u23F1"),       QStringLiteral("\u23F0"),     QStringLiteral("\u23F3"),
        QStringLiteral("\U0001F550"),   QStringLiteral("\u231B"),     QStringLiteral("\U0001F3AF"),
        QStringLiteral("\U0001F9E0"),   QStringLiteral("\U0001F4A1"), QStringLiteral("\U0001F4DD"),
        QStringLiteral("\U0001F4BB"),   QStringLiteral("\U0001F345"), QStringLiteral("\u2615"),
        QStringLiteral("\U0001F375"),   QStringLiteral("\U0001F9C1"), QStringLiteral("\U0001F355"),
        QStringLiteral("\U0001F3C3"),   QStringLiteral("\U0001F9D8"), QStringLiteral("\U0001F4AA"),
        QStringLiteral("\U0001F6B6"),   QStringLiteral("\U0001F3B5"), QStringLiteral("\u26A1"),
        QStringLiteral("\U0001F525"),   QStringLiteral("\U0001F31F"), QStringLiteral("\U0001F319"),
        QStringLiteral("\u2600\uFE0F"), QStringLiteral("\U0001F3AE"), QStringLiteral("\U0001F4DA"),
        QStringLiteral("\U0001F3A8"),   QStringLiteral("\U0001F3AC"), QStringLiteral("\U0001F3A7"),
    };
    return emojis;
}

QString ViewFormats::sequenceTotalText(double seconds) {
    const qint64 t = std::max<qint64>(0, wholeSeconds(seconds));
    if (t < 3600) return tr("%1 min").arg(t / 60);
    return tr("%1h %2m").arg(t / 3600).arg(t % 3600 / 60);
}

QString ViewFormats::stepDurationText(double seconds) {
    return tr("%1 min").arg(std::max<qint64>(0, wholeSeconds(seconds)) / 60);
}

QString ViewFormats::stepChipText(double seconds) {
    return tr("%1m").arg(std::max<qint64>(0, wholeSeconds(seconds)) / 60);
}

}  // namespace larkspur
