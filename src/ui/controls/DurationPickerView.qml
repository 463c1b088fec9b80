import QtQuick
import Larkspurhollow

// Edits a duration in seconds with up and down steps for hours, minutes and seconds. Every
// step adds to the whole value, so units carry and borrow, and the result is kept within
// 0 … 23:59:59. A value set from outside is shown as it is until the next step.
//
// The picker writes `duration` itself. A caller that keeps the value elsewhere feeds it in with
// a Binding element (a plain property binding would be replaced by the first step) and takes
// it back in onDurationChanged:
//     DurationPickerView {
//         id: picker
//         Binding on duration { value: form.duration }
//         onDurationChanged: form.duration = duration
//     }
Item {
    id: picker

    property real duration: 0

    // After a step of the user's, with the value it wrote.
    signal stepped(real duration)

    function step(hours, minutes, seconds) {
        duration = ViewFormats.adjustDuration(duration, hours, minutes, seconds)
        stepped(duration)
    }

    implicitWidth: background.implicitWidth
    implicitHeight: background.implicitHeight

    component StepButton: SymbolButton {
        id: button

        implicitWidth: 36
        implicitHeight: 18
        focusPolicy: Qt.TabFocus
        // Holding the button keeps stepping.
        autoRepeat: true
        symbolSize: Style.font.caption
        contentItem.opacity: button.pressed ? Style.opacity.pressed : 1
        background: Rectangle {
            radius: Style.radius.xsmall
            color: "transparent"
            border.width: button.visualFocus ? 1 : 0
            border.color: Style.secondary
        }
    }

    component UnitColumn: Column {
        id: column

        property string label
        // Spoken name of the unit: "Hours", "Minutes", "Seconds".
        property string unitName
        property real value

        signal stepRequested(int delta)

        spacing: Style.spacing.xxsmall

        StepButton {
            anchors.horizontalCenter: parent.horizontalCenter
            symbol: "chevron.up"
            Accessible.name: qsTr("%1 up").arg(column.unitName)
            onClicked: column.stepRequested(1)
        }
        Text {
            anchors.horizontalCenter: parent.horizontalCenter
            width: 36
            horizontalAlignment: Text.AlignHCenter
            text: ViewFormats.twoDigits(column.value)
            color: Style.primary
            font.family: Style.monoFamily
            font.pixelSize: Style.font.display
            font.weight: Font.Medium
            Accessible.role: Accessible.StaticText
            //: Spoken for a unit of the duration picker: %1 is the unit, %2 its value.
            Accessible.name: qsTr("%1: %2").arg(column.unitName).arg(text)
        }
        StepButton {
            anchors.horizontalCenter: parent.horizontalCenter
            symbol: "chevron.down"
            Accessible.name: qsTr("%1 down").arg(column.unitName)
            onClicked: column.stepRequested(-1)
        }
        Text {
            anchors.horizontalCenter: parent.horizontalCenter
            text: column.label
            color: Style.tertiary
            font.pixelSize: Style.font.caption2
            font.weight: Font.Medium
            Accessible.ignored: true
        }
    }

    component Separator: Text {
        text: ":"
        color: Style.secondary
        font.family: Style.monoFamily
        font.pixelSize: Style.font.display2
        font.weight: Font.Medium
        Accessible.ignored: true
    }

    Rectangle {
        id: background

        implicitWidth: row.implicitWidth
        implicitHeight: row.implicitHeight
        anchors.fill: parent
        radius: Style.radius.popup
        color: Style.tint(Style.primary, Style.opacity.well)

        Row {
            id: row

            anchors.centerIn: parent
            leftPadding: Style.spacing.medium
            rightPadding: Style.spacing.medium
            topPadding: Style.spacing.small
            bottomPadding: Style.spacing.small
            spacing: Style.spacing.xlarge

            UnitColumn {
                objectName: "hoursColumn"
                anchors.verticalCenter: parent.verticalCenter
                label: qsTr("hr")
                unitName: qsTr("Hours")
                value: ViewFormats.hoursOf(picker.duration)
                onStepRequested: delta => picker.step(delta, 0, 0)
            }
            Separator {
                anchors.verticalCenter: parent.verticalCenter
            }
            UnitColumn {
                objectName: "minutesColumn"
                anchors.verticalCenter: parent.verticalCenter
                label: qsTr("min")
                unitName: qsTr("Minutes")
                value: ViewFormats.minutesOf(picker.duration)
                onStepRequested: delta => picker.step(0, delta, 0)
            }
            Separator {
                anchors.verticalCenter: parent.verticalCenter
            }
            UnitColumn {
                objectName: "secondsColumn"
                anchors.verticalCenter: parent.verticalCenter
                label: qsTr("sec")
                unitName: qsTr("Seconds")
                value: ViewFormats.secondsOf(picker.duration)
                onStepRequested: delta => picker.step(0, 0, delta)
            }
        }
    }
}
