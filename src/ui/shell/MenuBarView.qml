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

    readonly property int activeCount: App.timerManager ? App.timerManager.activeCount : 0
    readonly property var running: App.timerManager ? App.timerManager.runningTimers : []

    signal togglePanel()
    signal openSettings()
    signal showPanelTab(int tab)
    signal quit()
    signal closeRequested()

    implicitWidth: showingNewTimer ? sheetLoader.implicitWidth : 300
    implicitHeight: showingNewTimer ? sheetLoader.implicitHeight
                                    : content.implicitHeight + 2 * Style.spacing.xlarge
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
        id: content

        visible: !root.showingNewTimer
        x: Style.spacing.xlarge
        y: Style.spacing.xlarge
        width: 300 - 2 * Style.spacing.xlarge
        spacing: Style.spacing.small

        Row {
            spacing: Style.spacing.small
            bottomPadding: Style.spacing.xxsmall
            Symbol {
                name: "timer"
                size: Style.font.title3
                color: Style.accent
                anchors.verticalCenter: parent.verticalCenter
            }
            Text {
                text: ViewFormats.activeTimersTitle(root.activeCount)
                objectName: "headerTitle"
                font.pixelSize: Style.font.headline
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
            spacing: Style.spacing.xsmall
            Repeater {
                model: root.running
                delegate: Rectangle {
                    id: runningRow

                    required property TimerInstance modelData

                    width: parent.width
                    height: Math.max(rowEmoji.visible ? rowEmoji.height : 0, rowName.height, rowTime.height)
                            + 2 * Style.spacing.xsmall
                    radius: Style.radius.medium
                    color: Style.tint(Style.primary, Style.opacity.row)
                    Accessible.role: Accessible.StaticText
                    Accessible.name: (modelData ? modelData.name + " " + modelData.displayTime : "")

                    // Anchored rather than laid out: a layout would round the emoji's width up to
                    // a whole pixel and shift the name.
                    Text {
                        id: rowEmoji

                        anchors.left: parent.left
                        anchors.leftMargin: Style.spacing.medium
                        anchors.verticalCenter: parent.verticalCenter
                        visible: runningRow.modelData && runningRow.modelData.emoji !== ""
                        text: runningRow.modelData ? runningRow.modelData.emoji : ""
                        font.family: Style.emojiFamily
                        font.pixelSize: Style.font.body
                    }
                    Text {
                        id: rowName

                        anchors.left: rowEmoji.visible ? rowEmoji.right : parent.left
                        anchors.leftMargin: rowEmoji.visible ? Style.spacing.small : Style.spacing.medium
                        anchors.right: rowTime.left
                        anchors.rightMargin: Style.spacing.small
                        anchors.verticalCenter: parent.verticalCenter
                        text: runningRow.modelData ? runningRow.modelData.name : ""
                        elide: Text.ElideRight
                        maximumLineCount: 1
                        font.pixelSize: Style.font.subheadline
                        font.weight: Font.Medium
                        color: Style.primary
                    }
                    Text {
                        id: rowTime

                        anchors.right: parent.right
                        anchors.rightMargin: Style.spacing.medium
                        anchors.verticalCenter: parent.verticalCenter
                        text: runningRow.modelData ? runningRow.modelData.displayTime : ""
                        font.pixelSize: Style.font.subheadline
                        font.weight: Font.Medium
                        font.family: Style.monoFamily
                        color: Style.accent
                    }
                }
            }
        }

        Divider { width: parent.width }

        Text {
            text: qsTr("QUICK START")
            font.pixelSize: Style.font.caption
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

                spacing: Style.spacing.small
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
            text: qsTr("New Timer...")
            symbol: "plus.circle"
            onClicked: root.showingNewTimer = true
        }
        CommandButton {
            width: parent.width
            text: qsTr("Focus Mode")
            symbol: "eye"
            onClicked: root.showPanelTab(PanelTab.Focus)
        }
        CommandButton {
            width: parent.width
            text: qsTr("Timer Sequences")
            symbol: "list.bullet"
            onClicked: root.showPanelTab(PanelTab.Sequences)
        }
        CommandButton {
            width: parent.width
            text: qsTr("Statistics")
            symbol: "chart.bar"
            onClicked: root.showPanelTab(PanelTab.Stats)
        }
        CommandButton {
            width: parent.width
            text: qsTr("Settings...")
            symbol: "gear"
            onClicked: root.openSettings()
        }
        Divider { width: parent.width }
        CommandButton {
            width: parent.width
            text: root.isPanelVisible ? qsTr("Hide Timer Panel") : qsTr("Show Timer Panel")
            symbol: root.isPanelVisible ? "eye.slash" : "eye"
            onClicked: root.togglePanel()
        }
        Divider { width: parent.width }
        CommandButton {
            id: aboutButton

            width: parent.width
            text: qsTr("About Larkspurhollow")
            symbol: "info.circle"
            onClicked: root.showingAbout = true

            Popup {
                y: aboutButton.height + Style.spacing.xxsmall
                x: (aboutButton.width - width) / 2
                padding: 0
                visible: root.showingAbout
                margins: Style.spacing.xsmall
                closePolicy: Popup.CloseOnEscape | Popup.CloseOnPressOutsideParent
                onClosed: root.showingAbout = false
                background: PopupBackground {}
                contentItem: AboutView {}
            }
        }
        Divider { width: parent.width }
        CommandButton {
            id: quitCommand

            width: parent.width
            text: qsTr("Quit")
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
