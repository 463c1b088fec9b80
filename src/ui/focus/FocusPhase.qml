import QtQuick
import Larkspurhollow

// How a phase of the focus cycle is named and coloured, wherever it shows.
QtObject {
    property int phase: SessionType.Focus

    readonly property string name: phase === SessionType.ShortBreak ? qsTr("Short Break")
                                 : phase === SessionType.LongBreak ? qsTr("Long Break")
                                 : qsTr("Focus")
    readonly property color color: phase === SessionType.ShortBreak ? "#4CAF50"
                                 : phase === SessionType.LongBreak ? "#2196F3"
                                 : "#F26A1F"
}
