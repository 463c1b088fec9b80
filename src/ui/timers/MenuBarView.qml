import QtQuick
import QtQuick.Controls.Basic
import Larkspurhollow

// The tray's drop-down: how many timers are active, the running ones with their time, presets
// that start a timer in one click, and the commands. Window matters go to the owner by signal.
Item {
    id: root

    property bool isPanelVisible: false
    property bool showingAbout: false
    property bool showingNewTimer: false

    readonly property color accent: App.themeManager ? App.themeManager.accentColor : "steelblue"
    readonly property int activeCount: App.timerManager ? App.timerManager.activeCount : 0
    readonly property var running: App.timerManager ? App.timerManager.runningTimers : []

    signal togglePanel()
    signal openSettings()
    signal showPanelTab(int tab)
    signal quit()
    signal closeRequested()

    implicitWidth: showingNewTimer ? sheetLoader.implicitWidth : 300
    implicitHeight: showingNewTimer ? sheetLoader.implicitHeight : menu.implicitHeight + 24
    focus: true
    // From the drop-down itself, Down and Up reach the first and last command.
    Keys.onDownPressed: newTimerCommand.forceActiveFocus()
    Keys.onUpPressed: quitCommand.forceActiveFocus()
    Keys.onEscapePressed: {
        if (showingNewTimer)
            showingNewTimer = false
        else
            closeRequested()
    }

    Column {
        id: menu

        visible: !root.showingNewTimer
        x: 12
        y: 12
        width: 300 - 24
        spacing: 6

        Row {
            spacing: 6
            bottomPadding: 2
            Symbol {
                name: "timer"
                size: 14
                color: root.accent
                anchors.verticalCenter: parent.verticalCenter
            }
            Text {
                text: ViewFormats.activeTimersTitle(root.activeCount)
                objectName: "headerTitle"
                font.pixelSize: 13
                font.weight: Font.DemiBold
                color: Style.primary
                Accessible.role: Accessible.Heading
                Accessible.name: text
            }
        }

        Column {
            visible: root.running.length > 0
            objectName: "runningBlock"
            width: parent.width
            spacing: 4
            Repeater {
                model: root.running
                delegate: Rectangle {
                    id: runningRow

                    required property TimerInstance modelData

                    width: parent.width
                    height: rowContent.implicitHeight + 8
                    radius: 6
                    color: Style.tint(Style.primary, 0.04)
                    Accessible.role: Accessible.StaticText
                    Accessible.name: (modelData ? modelData.name + " " + modelData.displayTime : "")

                    Row {
                        id: rowContent

                        x: 8
                        anchors.verticalCenter: parent.verticalCenter
                        width: parent.width - 16
                        spacing: 6
                        Text {
                            id: rowEmoji

                            visible: runningRow.modelData && runningRow.modelData.emoji !== ""
                            text: runningRow.modelData ? runningRow.modelData.emoji : ""
                            font.family: Style.emojiFamily
                            font.pixelSize: 12
                            anchors.verticalCenter: parent.verticalCenter
                        }
                        Text {
                            width: parent.width - (rowEmoji.visible ? rowEmoji.width + 6 : 0) - rowTime.width - 6
                            text: runningRow.modelData ? runningRow.modelData.name : ""
                            elide: Text.ElideRight
                            maximumLineCount: 1
                            font.pixelSize: 11
                            font.weight: Font.Medium
                            color: Style.primary
                            anchors.verticalCenter: parent.verticalCenter
                        }
                        Text {
                            id: rowTime

                            text: runningRow.modelData ? runningRow.modelData.displayTime : ""
                            font.pixelSize: 11
                            font.weight: Font.Medium
                            font.family: Style.monoFamily
                            color: root.accent
                            anchors.verticalCenter: parent.verticalCenter
                        }
                    }
                }
            }
        }

        Divider { width: parent.width }

        Text {
            text: "QUICK START"
            font.pixelSize: 10
            font.weight: Font.DemiBold
            color: Style.secondary
        }
        Flickable {
            width: parent.width
            height: Math.max(chips.height, 1)
            contentWidth: chips.width
            flickableDirection: Flickable.HorizontalFlick
            boundsBehavior: Flickable.StopAtBounds
            clip: true
            Row {
                id: chips
                objectName: "chips"

                spacing: 6
                Repeater {
                    model: App.presetManager ? App.presetManager.presets : []
                    delegate: PresetChip {
                        required property var modelData
                        preset: modelData
                        onClicked: {
                            const timer = App.createTimerFromPreset(modelData)
                            if (timer)
                                timer.start()
                        }
                    }
                }
            }
        }

        Divider { width: parent.width }

        CommandButton {
            id: newTimerCommand

            width: parent.width
            text: "New Timer..."
            symbol: "plus.circle"
            onClicked: root.showingNewTimer = true
        }
        CommandButton {
            width: parent.width
            text: "Focus Mode"
            symbol: "eye"
            onClicked: root.showPanelTab(PanelTab.Focus)
        }
        CommandButton {
            width: parent.width
            text: "Timer Sequences"
            symbol: "list.bullet"
            onClicked: root.showPanelTab(PanelTab.Sequences)
        }
        CommandButton {
            width: parent.width
            text: "Statistics"
            symbol: "chart.bar"
            onClicked: root.showPanelTab(PanelTab.Stats)
        }
        CommandButton {
            width: parent.width
            text: "Settings..."
            symbol: "gear"
            onClicked: root.openSettings()
        }
        Divider { width: parent.width }
        CommandButton {
            width: parent.width
            text: root.isPanelVisible ? "Hide Timer Panel" : "Show Timer Panel"
            symbol: root.isPanelVisible ? "eye.slash" : "eye"
            onClicked: root.togglePanel()
        }
        Divider { width: parent.width }
        CommandButton {
            id: aboutButton

            width: parent.width
            text: "About Larkspurhollow"
            symbol: "info.circle"
            onClicked: root.showingAbout = true

            Popup {
                y: aboutButton.height + 2
                x: (aboutButton.width - width) / 2
                padding: 0
                visible: root.showingAbout
                margins: 4
                closePolicy: Popup.CloseOnEscape | Popup.CloseOnPressOutsideParent
                onClosed: root.showingAbout = false
                background: Rectangle {
                    radius: 10
                    color: Style.palette.window
                    border.width: 0.5
                    border.color: Style.tint(Style.primary, 0.2)
                }
                contentItem: AboutView {}
            }
        }
        Divider { width: parent.width }
        CommandButton {
            id: quitCommand

            width: parent.width
            text: "Quit"
            symbol: "power"
            onClicked: root.quit()
        }
    }

    Loader {
        id: sheetLoader

        active: root.showingNewTimer
        visible: active
        sourceComponent: NewTimerSheet {
            onDismissed: root.showingNewTimer = false
        }
    }
}
