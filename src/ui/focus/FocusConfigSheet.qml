import QtQuick
import QtQuick.Controls.Basic
import QtQuick.Layouts
import Larkspurhollow

// The focus cycle's settings. The sheet edits a copy in minutes and hands it to the cycle only
// on "Apply"; closing it any other way changes nothing.
Item {
    id: sheet

    property real focusMinutes: 25
    property real shortBreakMinutes: 5
    property real longBreakMinutes: 15
    property int sessionsCount: 4
    property bool autoStartBreaks: true
    property bool autoStartFocus: false

    signal dismissed()

    function apply() {
        if (App.focusCycle)
            App.focusCycle.applyConfig(focusMinutes * 60, shortBreakMinutes * 60, longBreakMinutes * 60,
                                       sessionsCount, autoStartBreaks, autoStartFocus)
        dismissed()
    }

    implicitWidth: 380
    implicitHeight: 520
    width: 380
    focus: true
    Keys.onEscapePressed: dismissed()

    // The sheet is made anew at each opening, so this is where it starts from the cycle's values.
    Component.onCompleted: {
        const cycle = App.focusCycle
        if (!cycle)
            return
        focusMinutes = cycle.focusDuration / 60
        shortBreakMinutes = cycle.shortBreakDuration / 60
        longBreakMinutes = cycle.longBreakDuration / 60
        sessionsCount = cycle.sessionsBeforeLongBreak
        autoStartBreaks = cycle.autoStartBreaks
        autoStartFocus = cycle.autoStartFocus
    }

    component DurationBlock: ColumnLayout {
        id: block

        property string label
        property color tint
        property real minutes
        property alias from: slider.from
        property alias to: slider.to
        property alias stepSize: slider.stepSize
        signal moved(real minutes)

        Layout.fillWidth: true
        spacing: Style.spacing.xsmall

        RowLayout {
            Layout.fillWidth: true
            Text {
                Layout.fillWidth: true
                text: block.label
                font.pixelSize: Style.font.subheadline
                font.weight: Font.Medium
                color: Style.text
            }
            Text {
                objectName: "value"
                text: qsTr("%1 min").arg(Math.trunc(block.minutes))
                font.pixelSize: Style.font.subheadline
                font.weight: Font.DemiBold
                color: block.tint
            }
        }
        Slider {
            id: slider
            objectName: "slider"

            Layout.fillWidth: true
            snapMode: Slider.SnapAlways
            value: block.minutes
            palette.dark: block.tint
            onMoved: block.moved(value)
            Accessible.name: block.label
        }
    }

    component SwitchRow: RowLayout {
        id: row

        property string title
        property string detail
        property bool checked
        signal toggled(bool on)

        Layout.fillWidth: true
        spacing: Style.spacing.medium

        ColumnLayout {
            Layout.fillWidth: true
            spacing: Style.spacing.xxsmall
            Text {
                Layout.fillWidth: true
                text: row.title
                font.pixelSize: Style.font.subheadline
                font.weight: Font.Medium
                color: Style.text
            }
            Text {
                Layout.fillWidth: true
                text: row.detail
                wrapMode: Text.WordWrap
                font.pixelSize: Style.font.caption
                color: Style.tint(Style.text, 0.5)
            }
        }
        ToggleSwitch {
            padding: 0
            checked: row.checked
            onToggled: row.toggled(checked)
            Accessible.name: row.title
            Accessible.description: row.detail
        }
    }

    Rectangle {
        anchors.fill: parent
        radius: Style.radius.sheet
        color: Style.background
    }

    ColumnLayout {
        anchors.fill: parent
        anchors.margins: 24
        spacing: Style.spacing.xxlarge

        RowLayout {
            Layout.fillWidth: true

            Text {
                text: qsTr("Focus Settings")
                font.pixelSize: Style.font.title3
                font.bold: true
                color: Style.text
                Accessible.role: Accessible.Heading
            }
            Item {
                Layout.fillWidth: true
            }
            SymbolButton {
                focusPolicy: Qt.NoFocus
                symbol: "xmark.circle.fill"
                symbolSize: Style.font.title3
                symbolColor: Style.tint(Style.text, 0.4)
                Accessible.name: qsTr("Close Focus Settings")
                onClicked: sheet.dismissed()
            }
        }
        Rectangle {
            Layout.fillWidth: true
            implicitHeight: 1
            color: Style.tint(Style.text, 0.1)
        }

        DurationBlock {
            objectName: "focusDurationBlock"
            label: qsTr("Focus Duration")
            tint: Style.accent
            minutes: sheet.focusMinutes
            from: 15
            to: 60
            stepSize: 5
            onMoved: m => sheet.focusMinutes = m
        }
        DurationBlock {
            objectName: "shortBreakBlock"
            label: qsTr("Short Break")
            tint: shortBreak.color
            minutes: sheet.shortBreakMinutes
            from: 3
            to: 10
            stepSize: 1
            onMoved: m => sheet.shortBreakMinutes = m
            FocusPhase { id: shortBreak; phase: SessionType.ShortBreak }
        }
        DurationBlock {
            objectName: "longBreakBlock"
            label: qsTr("Long Break")
            tint: longBreak.color
            minutes: sheet.longBreakMinutes
            from: 10
            to: 30
            stepSize: 5
            onMoved: m => sheet.longBreakMinutes = m
            FocusPhase { id: longBreak; phase: SessionType.LongBreak }
        }

        RowLayout {
            Layout.fillWidth: true
            Text {
                Layout.fillWidth: true
                text: qsTr("Sessions Before Long Break")
                font.pixelSize: Style.font.subheadline
                font.weight: Font.Medium
                color: Style.text
            }
            SpinBox {
                objectName: "sessionsStepper"
                Layout.preferredWidth: 120
                from: 2
                to: 8
                stepSize: 1
                font.pixelSize: Style.font.subheadline
                value: sheet.sessionsCount
                onValueModified: sheet.sessionsCount = value
                Accessible.name: qsTr("Sessions Before Long Break")
            }
        }
        Rectangle {
            Layout.fillWidth: true
            implicitHeight: 1
            color: Style.tint(Style.text, 0.1)
        }

        SwitchRow {
            title: qsTr("Auto-Start Breaks")
            detail: qsTr("Automatically begin break when focus ends")
            checked: sheet.autoStartBreaks
            onToggled: c => sheet.autoStartBreaks = c
        }
        SwitchRow {
            title: qsTr("Auto-Start Focus")
            detail: qsTr("Automatically begin focus when break ends")
            checked: sheet.autoStartFocus
            onToggled: c => sheet.autoStartFocus = c
        }

        Item {
            Layout.fillHeight: true
        }
        ActionButton {
            id: applyButton
            objectName: "applyButton"

            Layout.fillWidth: true
            text: qsTr("Apply")
            topPadding: 10
            bottomPadding: 10
            font.pixelSize: Style.font.headline
            font.weight: Font.DemiBold
            onClicked: sheet.apply()
            contentItem: Text {
                text: applyButton.text
                font: applyButton.font
                color: Style.accentForeground
                horizontalAlignment: Text.AlignHCenter
            }
            background: Rectangle {
                radius: Style.radius.popup
                color: Style.accent
                opacity: applyButton.down ? Style.opacity.down : 1.0
            }
        }
    }
}
