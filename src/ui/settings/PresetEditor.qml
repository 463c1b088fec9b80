import QtQuick
import QtQuick.Controls.Basic
import QtQuick.Layouts
import Larkspurhollow

// The form for a new or an edited preset. It shows what it is given and reports each edit, so
// the view keeps the fields.
Rectangle {
    id: editor

    property string title
    property string name
    property real duration: 300
    property string emoji

    signal nameEdited(string text)
    signal durationEdited(real seconds)
    signal emojiEdited(string text)
    signal saved()
    signal cancelled()

    implicitHeight: form.implicitHeight + 2 * Style.spacing.xlarge
    radius: Style.radius.medium + 2
    color: Style.tint(Style.text, Style.opacity.well)

    ColumnLayout {
        id: form

        anchors.fill: parent
        anchors.margins: Style.spacing.xlarge
        spacing: Style.spacing.large

        RowLayout {
            Layout.fillWidth: true
            Text {
                text: editor.title
                font.pixelSize: Style.font.subheadline
                font.weight: Font.DemiBold
                color: Style.text
            }
            Item { Layout.fillWidth: true }
            SymbolButton {
                implicitWidth: 18
                implicitHeight: 18
                symbol: "xmark"
                symbolSize: Style.font.caption
                symbolColor: Style.tint(Style.text, 0.5)
                Accessible.name: qsTr("Close Editor")
                onClicked: editor.cancelled()
            }
        }
        RowLayout {
            Layout.fillWidth: true
            spacing: Style.spacing.medium
            TextField {
                objectName: "presetEmoji"
                Layout.preferredWidth: 36
                text: editor.emoji
                onTextEdited: editor.emojiEdited(text)
                placeholderText: qsTr("Emoji")
                Accessible.name: qsTr("Emoji")
                padding: Style.spacing.small
                horizontalAlignment: TextInput.AlignHCenter
                font.family: Style.emojiFamily
                color: Style.text
                background: Rectangle {
                    radius: Style.radius.medium
                    color: Style.tint(Style.text, Style.opacity.rest)
                }
            }
            TextField {
                objectName: "presetName"
                Layout.fillWidth: true
                text: editor.name
                onTextEdited: editor.nameEdited(text)
                placeholderText: qsTr("Name")
                Accessible.name: qsTr("Preset Name")
                padding: Style.spacing.small
                color: Style.text
                background: Rectangle {
                    radius: Style.radius.medium
                    color: Style.tint(Style.text, Style.opacity.rest)
                }
            }
        }
        ColumnLayout {
            Layout.fillWidth: true
            spacing: Style.spacing.xsmall
            RowLayout {
                Layout.fillWidth: true
                Text {
                    text: qsTr("Duration")
                    font.pixelSize: Style.font.caption
                    color: Style.tint(Style.text, 0.6)
                }
                Item { Layout.fillWidth: true }
                Text {
                    // Whole minutes, rounded down: a 90-second preset reads 1 min.
                    text: qsTr("%1 min").arg(Math.floor(Math.max(0, Math.trunc(editor.duration) || 0) / 60))
                    font.pixelSize: Style.font.caption
                    font.weight: Font.Medium
                    color: Style.text
                }
            }
            Slider {
                objectName: "presetDurationSlider"
                Layout.fillWidth: true
                from: 60
                to: 7200
                stepSize: 60
                snapMode: Slider.SnapAlways
                value: editor.duration
                palette.dark: Style.accent
                onMoved: editor.durationEdited(value)
                Accessible.name: qsTr("Preset Duration")
            }
        }
        ActionButton {
            id: save
            Layout.fillWidth: true
            text: qsTr("Save")
            Accessible.name: qsTr("Save Preset")
            topPadding: Style.spacing.medium
            bottomPadding: Style.spacing.medium
            contentItem: Text {
                text: save.text
                horizontalAlignment: Text.AlignHCenter
                font.pixelSize: Style.font.subheadline
                font.weight: Font.Medium
                color: Style.accentForeground
            }
            background: Rectangle {
                radius: Style.radius.medium + 2
                color: Style.accent
                opacity: save.down ? Style.opacity.down : 1
            }
            onClicked: editor.saved()
        }
    }
}
