import QtQuick
import QtQuick.Templates as T
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

    component StepButton: T.AbstractButton {
        id: button

        property string symbol

        implicitWidth: 36
        implicitHeight: 18
        focusPolicy: Qt.TabFocus
        // Holding the button keeps stepping.
        autoRepeat: true
        Accessible.role: Accessible.Button

        contentItem: Symbol {
            name: button.symbol
            size: 10
            color: Style.secondary
            opacity: button.pressed ? 0.5 : 1
        }
        background: Rectangle {
            radius: 4
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

        spacing: 2

        StepButton {
            Accessible.onPressAction: clicked()
            anchors.horizontalCenter: parent.horizontalCenter
            symbol: "chevron.up"
            Accessible.name: column.unitName + " up"
            onClicked: column.stepRequested(1)
        }
        Text {
            anchors.horizontalCenter: parent.horizontalCenter
            width: 36
            horizontalAlignment: Text.AlignHCenter
            text: ViewFormats.twoDigits(column.value)
            color: Style.primary
            font.family: Style.monoFamily
            font.pixelSize: 22
            font.weight: Font.Medium
            Accessible.role: Accessible.StaticText
            Accessible.name: column.unitName + ": " + text
        }
        StepButton {
            Accessible.onPressAction: clicked()
            anchors.horizontalCenter: parent.horizontalCenter
            symbol: "chevron.down"
            Accessible.name: column.unitName + " down"
            onClicked: column.stepRequested(-1)
        }
        Text {
            anchors.horizontalCenter: parent.horizontalCenter
            text: column.label
            color: Style.tertiary
            font.pixelSize: 9
            font.weight: Font.Medium
            Accessible.ignored: true
        }
    }

    component Separator: Text {
        text: ":"
        color: Style.secondary
        font.family: Style.monoFamily
        font.pixelSize: 20
        font.weight: Font.Medium
        Accessible.ignored: true
    }

    Rectangle {
        id: background

        implicitWidth: row.implicitWidth
        implicitHeight: row.implicitHeight
        anchors.fill: parent
        radius: 10
        color: Style.tint(Style.primary, 0.03)

        Row {
            id: row

            anchors.centerIn: parent
            leftPadding: 8
            rightPadding: 8
            topPadding: 6
            bottomPadding: 6
            spacing: 12

            UnitColumn {
                objectName: "hoursColumn"
                anchors.verticalCenter: parent.verticalCenter
                label: "hr"
                unitName: "Hours"
                value: ViewFormats.hoursOf(picker.duration)
                onStepRequested: delta => picker.step(delta, 0, 0)
            }
            Separator {
                anchors.verticalCenter: parent.verticalCenter
            }
            UnitColumn {
                objectName: "minutesColumn"
                anchors.verticalCenter: parent.verticalCenter
                label: "min"
                unitName: "Minutes"
                value: ViewFormats.minutesOf(picker.duration)
                onStepRequested: delta => picker.step(0, delta, 0)
            }
            Separator {
                anchors.verticalCenter: parent.verticalCenter
            }
            UnitColumn {
                objectName: "secondsColumn"
                anchors.verticalCenter: parent.verticalCenter
                label: "sec"
                unitName: "Seconds"
                value: ViewFormats.secondsOf(picker.duration)
                onStepRequested: delta => picker.step(0, 0, delta)
            }
        }
    }
}
