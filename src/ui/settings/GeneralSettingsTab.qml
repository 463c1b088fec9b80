import QtQuick
import QtQuick.Controls.Basic
import QtQuick.Layouts
import Larkspurhollow

// Launch at login, the default timer mode, the webhook address with its test, and the name.
Flickable {
    id: tab

    property bool testSent: false

    contentHeight: column.implicitHeight + 2 * 24
    clip: true
    boundsBehavior: Flickable.StopAtBounds
    ScrollBar.vertical: ScrollBar { policy: ScrollBar.AsNeeded }

    // What the user sets is what stays on the switch; a failure is printed by the login item.
    Component.onCompleted: if (App.loginItem) loginSwitch.checked = App.loginItem.status

    ColumnLayout {
        id: column

        x: 24
        y: 24
        width: tab.width - 2 * 24
        spacing: Style.spacing.huge

        Text {
            text: qsTr("General")
            font.pixelSize: Style.font.title3
            font.bold: true
            color: Style.text
        }
        ColumnLayout {
            Layout.fillWidth: true
            spacing: Style.spacing.xxlarge

            RowLayout {
                Layout.fillWidth: true
                ColumnLayout {
                    Layout.fillWidth: true
                    spacing: Style.spacing.xxsmall
                    Text {
                        text: qsTr("Launch at Login")
                        font.pixelSize: Style.font.subheadline
                        font.weight: Font.Medium
                        color: Style.text
                    }
                    Text {
                        text: qsTr("Start Larkspurhollow when you log in")
                        font.pixelSize: Style.font.caption
                        color: Style.tint(Style.text, 0.5)
                    }
                }
                ToggleSwitch {
                    id: loginSwitch
                    Accessible.name: qsTr("Launch at Login")
                    onToggled: if (App.loginItem) App.loginItem.update(checked)
                }
            }
            Divider { Layout.fillWidth: true }
            ColumnLayout {
                spacing: Style.spacing.medium
                Text {
                    text: qsTr("Default Timer Mode")
                    font.pixelSize: Style.font.subheadline
                    font.weight: Font.Medium
                    color: Style.text
                }
                SegmentedPicker {
                    accessibleName: qsTr("Default Timer Mode")
                    accent: Style.accent
                    ink: Style.text
                    value: App.preferences ? App.preferences.defaultTimerMode : TimerEnums.Countdown
                    //: The timer modes as one word each.
                    options: [{ label: qsTr("Countdown"), value: TimerEnums.Countdown },
                              { label: qsTr("Stopwatch"), value: TimerEnums.Stopwatch },
                              { label: qsTr("Loop"), value: TimerEnums.Loop },
                              { label: qsTr("Endtime"), value: TimerEnums.EndTime }]
                    onActivated: v => { if (App.preferences) App.preferences.defaultTimerMode = v }
                }
            }
            Divider { Layout.fillWidth: true }
            ColumnLayout {
                Layout.fillWidth: true
                spacing: Style.spacing.medium
                Text {
                    text: qsTr("Webhooks")
                    font.pixelSize: Style.font.subheadline
                    font.weight: Font.Medium
                    color: Style.text
                }
                Text {
                    text: qsTr("Send HTTP POST notifications when timers change state")
                    font.pixelSize: Style.font.caption
                    color: Style.tint(Style.text, 0.5)
                }
                RowLayout {
                    Layout.fillWidth: true
                    spacing: Style.spacing.medium
                    TextField {
                        id: address
                        Layout.fillWidth: true
                        text: App.webhookManager ? App.webhookManager.webhookURL : ""
                        placeholderText: "https://hooks.example.com/webhook"
                        font.pixelSize: 12
                        color: Style.text
                        placeholderTextColor: Style.tint(Style.text, Style.opacity.tertiary)
                        background: Rectangle {
                            radius: Style.radius.medium
                            color: Style.tint(Style.text, Style.opacity.rest)
                            border.width: address.activeFocus ? 1 : Style.hairline
                            border.color: address.activeFocus ? Style.accent
                                                              : Style.tint(Style.text, Style.opacity.border)
                        }
                        Accessible.name: qsTr("Webhook Address")
                        // Set and saved on every change; empty means no webhooks.
                        onTextEdited: if (App.webhookManager) App.webhookManager.webhookURL = text
                    }
                    ActionButton {
                        id: testButton
                        text: tab.testSent ? qsTr("Sent!") : qsTr("Test")
                        Accessible.name: qsTr("Test Webhook")
                        enabled: address.text !== ""
                        leftPadding: Style.spacing.xlarge
                        rightPadding: Style.spacing.xlarge
                        topPadding: Style.spacing.small
                        bottomPadding: Style.spacing.small
                        contentItem: Text {
                            text: testButton.text
                            font.pixelSize: 12
                            font.weight: Font.Medium
                            color: Style.accent
                            opacity: testButton.enabled ? 1 : Style.opacity.pressed
                        }
                        background: Rectangle {
                            radius: Style.radius.medium
                            color: Style.tint(Style.accent, 0.15)
                        }
                        onClicked: {
                            if (App.webhookManager) {
                                App.webhookManager.webhookURL = address.text
                                App.webhookManager.sendTest()
                            }
                            tab.testSent = true
                            // Shown for two seconds from the first of several presses.
                            if (!sentReset.running) sentReset.start()
                        }
                    }
                }
            }
            Divider { Layout.fillWidth: true }
            ColumnLayout {
                spacing: Style.spacing.xsmall
                Text {
                    text: "Larkspurhollow"
                    font.pixelSize: Style.font.subheadline
                    font.weight: Font.Medium
                    color: Style.text
                }
                Text {
                    text: qsTr("A warm, focused timer for the Linux desktop")
                    font.pixelSize: Style.font.caption
                    color: Style.tint(Style.text, 0.5)
                }
            }
        }
    }

    Timer {
        id: sentReset
        interval: 2000
        onTriggered: tab.testSent = false
    }
}
