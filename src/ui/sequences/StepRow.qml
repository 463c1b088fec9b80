import QtQuick
import QtQuick.Layouts
import Larkspurhollow

// One step in the builder: its position, name and length, with edit and delete, and moves up
// and down for the keyboard (dragging the row does the same).
Rectangle {
    id: row

    required property var step
    required property int index
    required property int count
    property bool isEditing: false

    signal editRequested()
    signal deleteRequested()
    signal moveRequested(int to)

    implicitHeight: content.implicitHeight + 2 * Style.spacing.medium
    radius: Style.radius.medium + 2
    color: isEditing ? Style.tint(Style.accent, Style.opacity.command)
                     : Style.tint(Style.text, Style.opacity.well)

    RowLayout {
        id: content

        anchors.fill: parent
        anchors.leftMargin: Style.spacing.large
        anchors.rightMargin: Style.spacing.large
        spacing: Style.spacing.large

        Rectangle {
            implicitWidth: 22
            implicitHeight: 22
            radius: 11
            color: Style.tint(Style.accent, Style.opacity.down)
            Text {
                anchors.centerIn: parent
                text: row.index + 1
                font.pixelSize: Style.font.caption
                font.bold: true
                color: Style.accentForeground
            }
        }
        Text {
            Layout.fillWidth: true
            text: row.step.name
            elide: Text.ElideRight
            maximumLineCount: 1
            font.pixelSize: Style.font.subheadline
            color: Style.text
        }
        Text {
            text: ViewFormats.stepDurationText(row.step.duration)
            font.pixelSize: Style.font.caption
            font.weight: Font.Medium
            color: Style.accent
        }
        Repeater {
            model: [
                { symbol: "chevron.up", name: qsTr("Move Step %1 Up"), enabled: row.index > 0,
                  act: () => row.moveRequested(row.index - 1) },
                { symbol: "chevron.down", name: qsTr("Move Step %1 Down"), enabled: row.index < row.count - 1,
                  act: () => row.moveRequested(row.index + 2) },
                { symbol: "pencil", name: qsTr("Edit Step %1"), enabled: true, act: () => row.editRequested() },
                { symbol: "trash", name: qsTr("Delete Step %1"), enabled: true, act: () => row.deleteRequested() }
            ]
            SymbolButton {
                required property var modelData
                implicitWidth: 18
                implicitHeight: 18
                enabled: modelData.enabled
                opacity: enabled ? 1 : Style.opacity.tertiary
                symbol: modelData.symbol
                symbolSize: Style.font.caption
                symbolColor: modelData.symbol === "trash" ? Style.tint(Style.destructive, 0.5)
                                                          : Style.tint(Style.text, 0.4)
                Accessible.name: modelData.name.arg(row.index + 1)
                onClicked: modelData.act()
            }
        }
    }
}
