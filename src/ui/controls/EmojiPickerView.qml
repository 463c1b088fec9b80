pragma ComponentBehavior: Bound

import QtQuick
import QtQuick.Templates as T
import Larkspurhollow

// A grid of the emojis a timer can carry. Choosing one writes it to `selectedEmoji` and then
// asks the presenting popup to close through dismissed(), also when it was already chosen.
// As with the duration picker, a caller keeping the value elsewhere feeds it in with a Binding
// element and takes it back in onSelectedEmojiChanged.
Column {
    id: picker

    property string selectedEmoji

    signal dismissed()

    function choose(emoji) {
        selectedEmoji = emoji
        dismissed()
    }

    width: 210
    padding: 12
    spacing: 8

    Text {
        anchors.horizontalCenter: parent.horizontalCenter
        text: "Pick an Emoji"
        color: Style.secondary
        font.pixelSize: 12
        font.weight: Font.DemiBold
    }

    Grid {
        id: grid

        // Five columns of 36 are a little wider than the padded frame; the grid stays centred
        // and reaches into the padding evenly.
        anchors.horizontalCenter: parent.horizontalCenter
        columns: 5
        columnSpacing: 4
        rowSpacing: 4

        Repeater {
            model: ViewFormats.pickerEmojis()

            Item {
                required property string modelData
                required property int index

                width: 36
                height: 34

                T.AbstractButton {
                    id: cell
                    Accessible.onPressAction: clicked()

                    readonly property bool isSelected: parent.modelData === picker.selectedEmoji

                    anchors.centerIn: parent
                    implicitWidth: 34
                    implicitHeight: 34
                    focusPolicy: Qt.TabFocus
                    hoverEnabled: true
                    text: parent.modelData
                    Accessible.role: Accessible.Button
                    Accessible.name: text
                    Accessible.checkable: true
                    Accessible.checked: isSelected

                    contentItem: Text {
                        text: cell.text
                        // Colour emoji even for characters that also have a plain text form.
                        font.family: "Noto Color Emoji"
                        font.pixelSize: 20
                        horizontalAlignment: Text.AlignHCenter
                        verticalAlignment: Text.AlignVCenter
                    }
                    background: Rectangle {
                        radius: 6
                        color: cell.isSelected ? Style.tint(Style.primary, 0.10)
                               : cell.hovered || cell.visualFocus ? Style.tint(Style.primary, 0.05)
                               : "transparent"
                    }

                    onClicked: picker.choose(text)
                }
            }
        }
    }
}
