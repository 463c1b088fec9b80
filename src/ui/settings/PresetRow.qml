import QtQuick
import QtQuick.Layouts
import Larkspurhollow

// One preset: its emoji, name and length, with moves up and down for the keyboard (dragging the
// row does the same), edit and delete.
Rectangle {
    id: row

    required property var preset
    required property int index
    required property int count
    property bool isEditing: false
    // Whole seconds: "1h 30m", "25 min" or "1m 30s".
    readonly property string formattedDuration: {
        const d = Number(preset.duration)
        const s = isFinite(d) ? Math.max(0, Math.trunc(d)) : 0
        if (s >= 3600)
            //: A preset's length: %1 hours, %2 minutes.
            return qsTr("%1h %2m").arg(Math.floor(s / 3600)).arg(Math.floor(s % 3600 / 60))
        if (s % 60 === 0)
            return qsTr("%1 min").arg(s / 60)
        //: A preset's length: %1 minutes, %2 seconds.
        return qsTr("%1m %2s").arg(Math.floor(s / 60)).arg(s % 60)
    }

    signal editRequested()
    signal deleteRequested()
    signal moveRequested(int to)

    implicitHeight: content.implicitHeight + 2 * Style.spacing.large
    radius: Style.radius.medium + 2
    color: isEditing ? Style.tint(Style.accent, Style.opacity.command)
                     : Style.tint(Style.text, Style.opacity.well)

    RowLayout {
        id: content

        anchors.fill: parent
        anchors.leftMargin: Style.spacing.xlarge
        anchors.rightMargin: Style.spacing.xlarge
        spacing: Style.spacing.xlarge

        Text {
            text: row.preset.emoji !== "" ? row.preset.emoji : "\u23F1"
            font.family: Style.emojiFamily
            font.pixelSize: Style.font.title3
        }
        ColumnLayout {
            Layout.fillWidth: true
            spacing: Style.spacing.xxsmall
            Text {
                Layout.fillWidth: true
                text: row.preset.name
                elide: Text.ElideRight
                maximumLineCount: 1
                font.pixelSize: Style.font.subheadline
                font.weight: Font.Medium
                color: Style.text
            }
            Text {
                objectName: "presetDuration"
                text: row.formattedDuration
                font.pixelSize: Style.font.caption
                color: Style.tint(Style.text, 0.5)
            }
        }
        Repeater {
            model: [
                { symbol: "chevron.up", name: qsTr("Move Preset %1 Up"), enabled: row.index > 0,
                  color: Style.tint(Style.text, 0.4), act: () => row.moveRequested(row.index - 1) },
                { symbol: "chevron.down", name: qsTr("Move Preset %1 Down"),
                  enabled: row.index < row.count - 1, color: Style.tint(Style.text, 0.4),
                  act: () => row.moveRequested(row.index + 2) },
                { symbol: "pencil", name: qsTr("Edit Preset %1"), enabled: true,
                  color: Style.tint(Style.text, Style.opacity.idle), act: () => row.editRequested() },
                { symbol: "trash", name: qsTr("Delete Preset %1"), enabled: true,
                  color: Style.tint(Style.destructive, 0.5), act: () => row.deleteRequested() }
            ]
            SymbolButton {
                required property var modelData
                implicitWidth: 18
                implicitHeight: 18
                enabled: modelData.enabled
                opacity: enabled ? 1 : Style.opacity.tertiary
                symbol: modelData.symbol
                symbolSize: Style.font.caption
                symbolColor: modelData.color
                Accessible.name: modelData.name.arg(row.preset.name)
                onClicked: modelData.act()
            }
        }
    }
}
