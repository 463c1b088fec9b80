#pragma once

#include <QtQml/qqmlregistration.h>
#include <QObject>
#include <QString>
#include <QVariantList>

#include "engine/TimerTypes.h"

namespace larkspur {

// Texts and small arithmetic the views show, kept here so that they can be tested without a
// window.
class ViewFormats final : public QObject {
    Q_OBJECT
    QML_ELEMENT
    QML_SINGLETON

public:
    using QObject::QObject;

    static constexpr double kLongestPickedDuration = 86399;  // 23:59:59

    // "No Active Timers", "1 Active Timer", "3 Active Timers".
    Q_INVOKABLE static QString activeTimersTitle(int activeCount);
    // "2 active"; empty below 1, where nothing is shown.
    Q_INVOKABLE static QString activeCountText(int activeCount);
    Q_INVOKABLE static QString modeLabel(larkspur::TimerMode mode);
    Q_INVOKABLE static QString modeSymbol(larkspur::TimerMode mode);
    // The new-timer sheet's mode picker shows a clock with a check mark for the end time.
    Q_INVOKABLE static QString sheetModeSymbol(larkspur::TimerMode mode);
    Q_INVOKABLE static QString playSymbol(larkspur::TimerState state);
    // What a symbol-only button is called for screen readers: "Pause Tea".
    Q_INVOKABLE static QString playActionName(larkspur::TimerState state, const QString& timerName);

    // At least two digits, zero-padded: 5 → "05", 123 → "123".
    Q_INVOKABLE static QString twoDigits(qint64 value);
    // The whole seconds of a duration split into clock units (fraction dropped toward zero).
    Q_INVOKABLE static qint64 hoursOf(double duration);
    Q_INVOKABLE static qint64 minutesOf(double duration);
    Q_INVOKABLE static qint64 secondsOf(double duration);
    // One step of the duration picker: adds the units and keeps the result in 0 … 23:59:59.
    Q_INVOKABLE static double adjustDuration(double duration, int hours, int minutes, int seconds);

    // "chime" → "Chime"; a custom sound is shown as "name (custom)".
    Q_INVOKABLE static QString soundLabel(const QString& name, bool custom);
    // A recurring interval in whole minutes: 7200 → "120 min".
    Q_INVOKABLE static QString intervalText(double seconds);
    // The pre-warning choices of the new-timer sheet: [{label, seconds}, …].
    Q_INVOKABLE static QVariantList preWarningOptions();
    // The 30 emojis of the picker, in their order.
    Q_INVOKABLE static QStringList pickerEmojis();
    // A sequence's length: "25 min" under an hour, "1h 30m" from there on. Lengths from a
    // hand-edited file that are negative or no number count as 0.
    Q_INVOKABLE static QString sequenceTotalText(double seconds);
    // A step's whole minutes: "5 min" in its row, "5m" on its chip.
    Q_INVOKABLE static QString stepDurationText(double seconds);
    Q_INVOKABLE static QString stepChipText(double seconds);
};

}  // namespace larkspur
