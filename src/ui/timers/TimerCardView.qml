import QtQuick
import Larkspurhollow

// One timer: its ring and emoji, name, time and mode, and its four round buttons. A completed
// timer's card pulses until the timer leaves the completed state.
Item {
    id: card

    required property TimerInstance timer

    property string hoveredButton: ""
    property bool showingEdit: false
    property string editName: ""
    property real editDuration: 300
    property string editEmoji: "\u23F1"
    property bool isAnimating: false

    readonly property string timerId: timer ? timer.id : ""
    readonly property string timerName: timer ? timer.name : ""
    readonly property int timerState: timer ? timer.state : TimerEnums.Idle
    readonly property bool completed: timerState === TimerEnums.Completed
    readonly property color timerColor: timer && timer.color !== ""
                                        ? App.themeManager.colorFromHex(timer.color)
                                        : (App.themeManager ? App.themeManager.accentColor : "steelblue")
    readonly property bool pulsing: completed && isAnimating
    readonly property string ringEmoji: !timer ? "" : (timer.hasEmoji ? timer.emoji : "\u23F1")

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
    implicitHeight: row.implicitHeight + 20

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
        radius: 14
        color: Style.tint(Style.primary, 0.03)
        border.width: card.completed ? 1.5 : 0.5
        border.color: card.completed ? Style.tint(card.timerColor, pulseBorderOpacity)
                                     : Style.tint(Style.primary, 0.06)
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

    Row {
        id: row

        x: 12
        y: 10
        width: parent.width - 24
        spacing: 12

        Item {
            id: ring

            width: 44
            height: 44
            anchors.verticalCenter: parent.verticalCenter

            ProgressRingView {
                anchors.fill: parent
                // Steps finer than the ring can show would keep it animating without end.
                progress: card.timer ? Math.round(card.timer.progress * 512) / 512 : 0
                lineWidth: 3
                color: card.timerColor
            }
            Text {
                id: emojiText

                anchors.centerIn: parent
                text: card.ringEmoji
                font.family: Style.emojiFamily
                font.pixelSize: 18
                SequentialAnimation on scale {
                    running: card.pulsing
                    loops: Animation.Infinite
                    onRunningChanged: if (!running) emojiText.scale = 1.0
                    NumberAnimation { from: 1.0; to: 1.15; duration: 600; easing.type: Easing.InOutQuad }
                    NumberAnimation { to: 1.0; duration: 600; easing.type: Easing.InOutQuad }
                }
            }
        }

        Column {
            id: texts

            width: row.width - ring.width - buttons.width - 2 * row.spacing
            spacing: 2
            anchors.verticalCenter: parent.verticalCenter

            Text {
                width: parent.width
                text: card.timerName
                elide: Text.ElideRight
                maximumLineCount: 1
                font.pixelSize: 12
                font.weight: Font.Medium
                color: Style.primary
                Accessible.name: "Timer name " + text
            }
            Text {
                text: card.timer ? card.timer.displayTime : ""
                font.family: Style.monoFamily
                font.pixelSize: 22
                font.weight: Font.Medium
                color: Style.primary
                Accessible.role: Accessible.StaticText
                Accessible.name: card.timerName + " time " + text
            }
            Row {
                spacing: 4
                Symbol {
                    name: card.timer ? ViewFormats.modeSymbol(card.timer.mode) : ""
                    size: 9
                    color: Style.tertiary
                    anchors.verticalCenter: parent.verticalCenter
                }
                Text {
                    text: card.timer ? ViewFormats.modeLabel(card.timer.mode) : ""
                    font.pixelSize: 9
                    font.weight: Font.Medium
                    color: Style.tertiary
                }
            }
        }

        Row {
            id: buttons

            spacing: 6
            anchors.verticalCenter: parent.verticalCenter

            ControlButton {
                card: card
                buttonId: "playpause-" + card.timerId
                symbol: ViewFormats.playSymbol(card.timerState)
                primary: true
                tint: card.timerColor
                anchors.verticalCenter: parent.verticalCenter
                Accessible.name: ViewFormats.playActionName(card.timerState, card.timerName)
                onClicked: card.primaryAction()
            }
            Row {
                spacing: 6
                anchors.verticalCenter: parent.verticalCenter
                ControlButton {
                    card: card
                    buttonId: "reset-" + card.timerId
                    symbol: "arrow.counterclockwise"
                    Accessible.name: "Reset " + card.timerName
                    onClicked: card.resetAction()
                }
                ControlButton {
                    card: card
                    buttonId: "edit-" + card.timerId
                    symbol: "pencil"
                    Accessible.name: "Edit " + card.timerName
                    onClicked: card.openEdit()
                }
                ControlButton {
                    card: card
                    buttonId: "remove-" + card.timerId
                    symbol: "xmark"
                    Accessible.name: "Remove " + card.timerName
                    onClicked: card.removeAction()
                }
            }
        }
    }

    TimerEditPopover {
        card: card
        visible: card.showingEdit
    }
}
