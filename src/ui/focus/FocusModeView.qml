import QtQuick
import QtQuick.Controls.Basic
import QtQuick.Templates as T
import QtQuick.Layouts
import Larkspurhollow

// The Focus tab: the cycle's phase, ring and time, the task, its three buttons and a dot per
// session. Everything shown belongs to the cycle, which outlives the tab.
Item {
    id: view

    readonly property FocusCycle cycle: App.focusCycle
    readonly property int timerState: cycle ? cycle.timerState : TimerEnums.Idle
    readonly property int currentSession: cycle ? cycle.currentSession : 1
    property bool showingConfig: false
    readonly property FocusPhase phase: FocusPhase {
        phase: view.cycle ? view.cycle.currentPhase : SessionType.Focus
    }
    readonly property color mutedText: Style.tint(Style.text, 0.6)

    implicitWidth: 400
    implicitHeight: content.implicitHeight + 48

    // The panel's lower corners are rounded; the ground follows them there only.
    Rectangle {
        anchors.fill: parent
        radius: Style.radius.window
        color: Style.background
    }
    Rectangle {
        width: parent.width
        height: Math.max(0, parent.height - Style.radius.window)
        color: Style.background
    }

    // The panel starts out shorter than the view, so the view scrolls, with its bar showing while
    // anything is out of sight.
    Flickable {
        id: scroller

        anchors.fill: parent
        clip: true
        contentHeight: content.implicitHeight + 48
        boundsBehavior: Flickable.StopAtBounds
        ScrollBar.vertical: ScrollBar {
            policy: scroller.contentHeight > scroller.height ? ScrollBar.AlwaysOn : ScrollBar.AsNeeded
        }

        ColumnLayout {
            id: content

            x: 24
            y: 24
            width: scroller.width - 48
            spacing: 20

            RowLayout {
                Layout.fillWidth: true

                Text {
                    text: qsTr("Focus Mode")
                    font.pixelSize: Style.font.title2
                    font.bold: true
                    color: Style.text
                    Accessible.role: Accessible.Heading
                }
                Item {
                    Layout.fillWidth: true
                }
                SymbolButton {
                    objectName: "focusSettingsButton"
                    symbol: "gear"
                    symbolSize: Style.font.title3
                    symbolColor: Style.text
                    Accessible.name: qsTr("Focus Settings")
                    onClicked: view.showingConfig = true
                }
            }

            RowLayout {
                Layout.alignment: Qt.AlignHCenter
                spacing: Style.spacing.medium

                Rectangle {
                    implicitWidth: phaseName.implicitWidth + 28
                    implicitHeight: phaseName.implicitHeight + 12
                    radius: height / 2
                    color: view.phase.color

                    Text {
                        id: phaseName

                        anchors.centerIn: parent
                        text: view.phase.name
                        font.pixelSize: Style.font.headline
                        color: "white"
                    }
                }
                Text {
                    objectName: "sessionText"
                    text: qsTr("Session %1/%2").arg(view.currentSession)
                                               .arg(view.cycle ? view.cycle.sessionsBeforeLongBreak : 0)
                    font.pixelSize: Style.font.subheadline
                    color: Style.tint(Style.text, 0.7)
                }
            }

            FocusRing {
                Layout.alignment: Qt.AlignHCenter
                Layout.preferredWidth: 180
                Layout.preferredHeight: 180
                // Steps finer than the ring can show would keep its sweep running without end,
                // and the window drawing all the while.
                progress: view.cycle ? Math.round(view.cycle.progress * 512) / 512 : 0
                color: view.phase.color

                Column {
                    anchors.centerIn: parent
                    spacing: 4

                    Text {
                        anchors.horizontalCenter: parent.horizontalCenter
                        objectName: "focusTime"
                        text: view.cycle ? view.cycle.displayTime : ""
                        font.family: Style.monoFamily
                        font.pixelSize: 42
                        font.weight: Font.Light
                        color: Style.text
                        Accessible.role: Accessible.StaticText
                        Accessible.name: qsTr("Time left %1").arg(text)
                    }
                    Text {
                        anchors.horizontalCenter: parent.horizontalCenter
                        text: view.phase.name
                        font.pixelSize: Style.font.caption
                        color: Style.tint(Style.text, 0.5)
                    }
                }
            }

            TextField {
                objectName: "taskField"
                Layout.fillWidth: true
                padding: 10
                font.pixelSize: Style.font.body
                color: Style.text
                placeholderText: qsTr("What are you working on?")
                placeholderTextColor: Style.tint(Style.text, 0.4)
                text: view.cycle ? view.cycle.taskLabel : ""
                onTextEdited: if (view.cycle) view.cycle.taskLabel = text
                Accessible.name: qsTr("Task")
                background: Rectangle {
                    radius: 8
                    color: Style.tint(Style.text, 0.05)
                }
            }

            RowLayout {
                Layout.alignment: Qt.AlignHCenter
                spacing: 24

                SymbolButton {
                    objectName: "focusReset"
                    Layout.preferredWidth: 40
                    Layout.preferredHeight: 40
                    symbol: "arrow.counterclockwise"
                    symbolSize: Style.font.title3
                    symbolColor: view.mutedText
                    enabled: view.timerState !== TimerEnums.Idle
                    opacity: enabled ? 1 : Style.opacity.pressed
                    Accessible.name: qsTr("Reset Focus Cycle")
                    onClicked: if (view.cycle) view.cycle.resetAll()
                }
                SymbolButton {
                    objectName: "focusPlayPause"
                    Layout.preferredWidth: 56
                    Layout.preferredHeight: 56
                    symbol: view.timerState === TimerEnums.Running ? "pause.fill" : "play.fill"
                    symbolSize: Style.font.title2
                    symbolColor: "white"
                    fill: view.phase.color
                    Accessible.name: view.timerState === TimerEnums.Running ? qsTr("Pause Focus")
                                   : view.timerState === TimerEnums.Paused ? qsTr("Resume Focus")
                                   : qsTr("Start Focus")
                    onClicked: if (view.cycle) view.cycle.toggleTimer()
                }
                SymbolButton {
                    objectName: "focusSkip"
                    Layout.preferredWidth: 40
                    Layout.preferredHeight: 40
                    symbol: "forward.fill"
                    symbolSize: Style.font.title3
                    symbolColor: view.mutedText
                    Accessible.name: qsTr("Skip Phase")
                    onClicked: if (view.cycle) view.cycle.skipPhase()
                }
            }

            Row {
                Layout.alignment: Qt.AlignHCenter
                spacing: 6

                Repeater {
                    objectName: "sessionDots"
                    model: view.cycle ? view.cycle.sessionsBeforeLongBreak : 0
                    delegate: Rectangle {
                        required property int index
                        readonly property int session: index + 1

                        width: 8
                        height: 8
                        radius: 4
                        color: session < view.currentSession ? view.phase.color
                             : session === view.currentSession ? Style.tint(view.phase.color, 0.6)
                             : Style.tint(Style.text, 0.15)
                    }
                }
            }
        }
    }

    // The sheet is taller than the panel starts out; the panel grows for it and shrinks back.
    Popup {
        id: configPopup

        readonly property var hostWindow: view.Window.window
        readonly property int neededHeight: 520 + 2 * Style.spacing.medium
        property int grownFrom: -1

        parent: T.Overlay.overlay
        anchors.centerIn: parent
        modal: true
        dim: true
        padding: 0
        visible: view.showingConfig
        closePolicy: Popup.CloseOnEscape
        onAboutToShow: {
            if (hostWindow && hostWindow.height < neededHeight) {
                grownFrom = hostWindow.height
                hostWindow.height = Math.min(neededHeight, hostWindow.maximumHeight)
            }
        }
        onClosed: {
            if (hostWindow && grownFrom > 0)
                hostWindow.height = grownFrom
            grownFrom = -1
            view.showingConfig = false
        }
        background: PopupBackground {
            radius: Style.radius.sheet
        }
        contentItem: Loader {
            active: configPopup.visible
            sourceComponent: FocusConfigSheet {
                height: Math.min(implicitHeight, (configPopup.parent ? configPopup.parent.height
                                                                     : implicitHeight) - 2 * Style.spacing.medium)
                onDismissed: configPopup.close()
            }
        }
    }
}
