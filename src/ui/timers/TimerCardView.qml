import QtQuick
import QtQuick.Layouts
import Larkspurhollow

// One timer: its ring and emoji, name, time and mode, and its four round buttons. A completed
// timer's card pulses until the timer leaves the completed state.
Item {
    id: card

    required property TimerInstance timer

    property bool showingEdit: false
    property string editName: ""
    property real editDuration: 300
    property string editEmoji: "\u23F1"
    property bool isAnimating: false

    // What the card shows of its timer. A removed timer goes before its card has faded out; the
    // card keeps the last values until then (the bindings below hold only while it has one).
    property string timerId
    property string timerName
    property int timerState: TimerEnums.Idle
    property int timerMode: TimerEnums.Countdown
    property string timerColorHex
    property string ringEmoji
    property string displayTime
    property real progress
    readonly property bool completed: timerState === TimerEnums.Completed
    readonly property color timerColor: timerColorHex !== "" && App.themeManager
                                        ? App.themeManager.colorFromHex(timerColorHex)
                                        : Style.accent
    readonly property bool pulsing: completed && isAnimating

    Binding on timerId {
        when: !!card.timer
        value: card.timer ? card.timer.id : ""
        restoreMode: Binding.RestoreNone
    }
    Binding on timerName {
        when: !!card.timer
        value: card.timer ? card.timer.name : ""
        restoreMode: Binding.RestoreNone
    }
    Binding on timerState {
        when: !!card.timer
        value: card.timer ? card.timer.state : 0
        restoreMode: Binding.RestoreNone
    }
    Binding on timerMode {
        when: !!card.timer
        value: card.timer ? card.timer.mode : 0
        restoreMode: Binding.RestoreNone
    }
    Binding on timerColorHex {
        when: !!card.timer
        value: card.timer ? card.timer.color : ""
        restoreMode: Binding.RestoreNone
    }
    Binding on ringEmoji {
        when: !!card.timer
        value: card.timer ? (card.timer.hasEmoji ? card.timer.emoji : "\u23F1") : ""
        restoreMode: Binding.RestoreNone
    }
    Binding on displayTime {
        when: !!card.timer
        value: card.timer ? card.timer.displayTime : ""
        restoreMode: Binding.RestoreNone
    }
    // Steps finer than the ring can show would keep it animating without end.
    Binding on progress {
        when: !!card.timer
        value: card.timer ? Math.round(card.timer.progress * 512) / 512 : 0
        restoreMode: Binding.RestoreNone
    }

    function stopOwnSound() {
        // Only the sound that this timer's completion started stops.
        if (App.soundManager && timer)
            App.soundManager.stopSoundOf(timer.id)
    }
    function primaryAction() {
        if (!timer)
            return
        switch (timer.state) {
        case TimerEnums.Idle: timer.start(); break
        case TimerEnums.Running: timer.pause(); break
        case TimerEnums.Paused: timer.resume(); break
        case TimerEnums.Completed: stopOwnSound(); timer.start(); break
        }
    }
    function resetAction() {
        stopOwnSound()
        if (timer)
            timer.reset()
    }
    function openEdit() {
        editName = timer.name
        editDuration = timer.totalDuration
        editEmoji = timer.hasEmoji ? timer.emoji : "\u23F1"
        showingEdit = true
    }
    function saveEdit() {
        App.timerManager.applyEdit(timer, editName, editEmoji, editDuration)
        showingEdit = false
    }
    function removeAction() {
        stopOwnSound()
        App.timerManager.removeTimer(timerId)
    }

    implicitWidth: 280
    implicitHeight: row.implicitHeight + 2 * Style.spacing.large

    Connections {
        target: card.timer
        // Only a change pulses: a card made for a timer that is already completed stays still.
        function onStateChanged(state) {
            card.isAnimating = state === TimerEnums.Completed
        }
    }

    Rectangle {
        id: frame

        property real pulseBorderOpacity: 0.5

        anchors.fill: parent
        radius: Style.radius.card
        color: Style.tint(Style.primary, Style.opacity.well)
        border.width: card.completed ? 1.5 : Style.hairline
        border.color: card.completed ? Style.tint(card.timerColor, pulseBorderOpacity)
                                     : Style.tint(Style.primary, Style.opacity.control)
        Behavior on border.width { NumberAnimation { duration: 200 } }

        SequentialAnimation on pulseBorderOpacity {
            running: card.pulsing
            loops: Animation.Infinite
            onRunningChanged: if (!running) frame.pulseBorderOpacity = 0.5
            NumberAnimation { to: 1.0; duration: 800; easing.type: Easing.InOutQuad }
            NumberAnimation { to: 0.5; duration: 800; easing.type: Easing.InOutQuad }
        }
    }
    SequentialAnimation on scale {
        id: cardPulse
        running: card.pulsing
        loops: Animation.Infinite
        onRunningChanged: if (!running) card.scale = 1.0
        NumberAnimation { from: 1.0; to: 1.05; duration: 800; easing.type: Easing.InOutQuad }
        NumberAnimation { to: 1.0; duration: 800; easing.type: Easing.InOutQuad }
    }

    RowLayout {
        id: row

        anchors.left: parent.left
        anchors.right: parent.right
        anchors.top: parent.top
        anchors.leftMargin: Style.spacing.xlarge
        anchors.rightMargin: Style.spacing.xlarge
        anchors.topMargin: Style.spacing.large
        spacing: Style.spacing.xlarge

        Item {
            id: ring

            implicitWidth: 44
            implicitHeight: 44

            ProgressRingView {
                anchors.fill: parent
                progress: card.progress
                lineWidth: 3
                color: card.timerColor
            }
            Text {
                id: emojiText

                anchors.centerIn: parent
                text: card.ringEmoji
                font.family: Style.emojiFamily
                font.pixelSize: Style.font.display3
                SequentialAnimation on scale {
                    running: card.pulsing
                    loops: Animation.Infinite
                    onRunningChanged: if (!running) emojiText.scale = 1.0
                    NumberAnimation { from: 1.0; to: 1.15; duration: 600; easing.type: Easing.InOutQuad }
                    NumberAnimation { to: 1.0; duration: 600; easing.type: Easing.InOutQuad }
                }
            }
        }

        ColumnLayout {
            id: texts

            Layout.fillWidth: true
            spacing: Style.spacing.xxsmall

            Text {
                Layout.fillWidth: true
                text: card.timerName
                elide: Text.ElideRight
                maximumLineCount: 1
                font.pixelSize: Style.font.body
                font.weight: Font.Medium
                color: Style.primary
                Accessible.name: qsTr("Timer name %1").arg(text)
            }
            // Each line fills the column: a line of fixed width wider than the column, such as a
            // long time, would push the buttons out of the card rather than run under them.
            Text {
                Layout.fillWidth: true
                text: card.displayTime
                font.family: Style.monoFamily
                font.pixelSize: Style.font.display
                font.weight: Font.Medium
                color: Style.primary
                Accessible.role: Accessible.StaticText
                // The name goes in last, so that a "%" in it is not taken for a place marker.
                //: Spoken for the time of a timer: %1 is the time, %2 the timer's name.
                Accessible.name: qsTr("%2 time %1").arg(text).arg(card.timerName)
            }
            Row {
                Layout.fillWidth: true
                spacing: Style.spacing.xsmall
                Symbol {
                    name: ViewFormats.modeSymbol(card.timerMode)
                    size: Style.font.caption2
                    color: Style.tertiary
                    anchors.verticalCenter: parent.verticalCenter
                }
                Text {
                    text: ViewFormats.modeLabel(card.timerMode)
                    font.pixelSize: Style.font.caption2
                    font.weight: Font.Medium
                    color: Style.tertiary
                }
            }
        }

        RowLayout {
            id: buttons

            spacing: Style.spacing.small

            ControlButton {
                buttonId: "playpause-" + card.timerId
                symbol: ViewFormats.playSymbol(card.timerState)
                primary: true
                tint: card.timerColor
                Accessible.name: ViewFormats.playActionName(card.timerState, card.timerName)
                onClicked: card.primaryAction()
            }
            ControlButton {
                buttonId: "reset-" + card.timerId
                symbol: "arrow.counterclockwise"
                Accessible.name: qsTr("Reset %1").arg(card.timerName)
                onClicked: card.resetAction()
            }
            ControlButton {
                buttonId: "edit-" + card.timerId
                symbol: "pencil"
                Accessible.name: qsTr("Edit %1").arg(card.timerName)
                onClicked: card.openEdit()
            }
            ControlButton {
                buttonId: "remove-" + card.timerId
                symbol: "xmark"
                Accessible.name: qsTr("Remove %1").arg(card.timerName)
                onClicked: card.removeAction()
            }
        }
    }

    TimerEditPopover {
        card: card
        visible: card.showingEdit
    }
}
