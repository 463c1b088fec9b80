import QtQuick
import QtQuick.Layouts
import Larkspurhollow

// One sound of the library: its icon and name, the default badge or a button to make it the
// default, delete for an imported sound, and preview.
Rectangle {
    id: row

    required property string name
    property bool isPlaying: false
    property bool isDefault: false
    property bool isCustom: false

    signal previewRequested()
    signal setDefaultRequested()
    signal deleteRequested()

    readonly property string label: name.charAt(0).toUpperCase() + name.slice(1)
    readonly property var builtInIcons: ({ chime: "bell", bell: "bell.fill", beep: "waveform",
                                           soft: "leaf", alert: "exclamationmark.triangle",
                                           gong: "circle.circle" })
    readonly property string icon: (!isCustom && builtInIcons[name]) || "music.note"

    implicitHeight: content.implicitHeight + 2 * Style.spacing.large
    radius: Style.radius.medium + 2
    color: isPlaying ? Style.tint(Style.accent, Style.opacity.control)
                     : Style.tint(Style.text, Style.opacity.well)

    RowLayout {
        id: content

        anchors.fill: parent
        anchors.leftMargin: Style.spacing.xlarge
        anchors.rightMargin: Style.spacing.xlarge
        spacing: Style.spacing.xlarge

        Symbol {
            Layout.preferredWidth: 24
            name: row.icon
            size: Style.font.body
            color: Style.accent
        }
        Text {
            text: row.label
            font.pixelSize: Style.font.subheadline
            color: Style.text
        }
        Rectangle {
            visible: row.isDefault
            implicitWidth: badge.implicitWidth + 2 * Style.spacing.small
            implicitHeight: badge.implicitHeight + 2 * Style.spacing.xxsmall
            radius: height / 2
            color: Style.accent
            Text {
                id: badge
                anchors.centerIn: parent
                text: qsTr("Default")
                font.pixelSize: Style.font.caption2
                font.weight: Font.DemiBold
                color: Style.accentForeground
            }
        }
        Item { Layout.fillWidth: true }
        SymbolButton {
            visible: row.isCustom
            symbol: "trash"
            symbolSize: Style.font.caption
            symbolColor: Style.tint(Style.destructive, Style.opacity.pressed)
            Accessible.name: qsTr("Delete %1").arg(row.label)
            onClicked: row.deleteRequested()
        }
        ActionButton {
            id: setDefault
            visible: !row.isDefault
            flat: true
            padding: 0
            text: qsTr("Set Default")
            Accessible.name: qsTr("Set %1 as Default").arg(row.label)
            onClicked: row.setDefaultRequested()
            contentItem: Text {
                text: setDefault.text
                font.pixelSize: Style.font.caption2
                color: Style.tint(Style.accent, Style.opacity.idle)
            }
            background: null
        }
        SymbolButton {
            symbol: row.isPlaying ? "stop.circle.fill" : "play.circle.fill"
            symbolSize: Style.font.title3
            // The stop mark keeps its warm orange on every theme.
            symbolColor: row.isPlaying ? "#F26A1F" : Style.tint(Style.text, 0.4)
            Accessible.name: row.isPlaying ? qsTr("Stop Preview") : qsTr("Preview %1").arg(row.label)
            onClicked: row.previewRequested()
        }
    }
}
