pragma ComponentBehavior: Bound

import QtQuick
import Larkspurhollow

// A grid of the emojis a timer can carry, highlighting `selectedEmoji`, which the caller binds
// and this view never writes (a write would cut the binding, and the grid would stop following
// the form). Choosing one announces it through picked(), also when it is the one shown, and then
// asks the presenting popup to close through dismissed().
Column {
    id: picker

    property string selectedEmoji

    signal picked(string emoji)
    signal dismissed()

    function choose(emoji) {
        picked(emoji)
        dismissed()
    }

    width: 210
    padding: Style.spacing.xlarge
    spacing: Style.spacing.medium

    Text {
        anchors.horizontalCenter: parent.horizontalCenter
        text: qsTr("Pick an Emoji")
        color: Style.secondary
        font.pixelSize: Style.font.body
        font.weight: Font.DemiBold
    }

    Grid {
        id: grid

        // Five columns of 36 are a little wider than the padded frame; the grid stays centred
        // and reaches into the padding evenly.
        anchors.horizontalCenter: parent.horizontalCenter
        columns: 5
        columnSpacing: Style.spacing.xsmall
        rowSpacing: Style.spacing.xsmall

        Repeater {
            model: ViewFormats.pickerEmojis()

            Item {
                required property string modelData
                required property int index

                width: 36
                height: 34

                ActionButton {
                    id: cell

                    readonly property bool isSelected: parent.modelData === picker.selectedEmoji

                    anchors.centerIn: parent
                    implicitWidth: 34
                    implicitHeight: 34
                    padding: 0
                    horizontalPadding: 0
                    focusPolicy: Qt.TabFocus
                    text: parent.modelData
                    Accessible.checkable: true
                    Accessible.checked: isSelected

                    contentItem: Text {
                        text: cell.text
                        font.family: Style.emojiFamily
                        font.pixelSize: Style.font.display2
                        horizontalAlignment: Text.AlignHCenter
                        verticalAlignment: Text.AlignVCenter
                    }
                    background: Rectangle {
                        radius: Style.radius.medium
                        color: cell.isSelected ? Style.tint(Style.primary, Style.opacity.hover)
                               : cell.hovered || cell.visualFocus ? Style.tint(Style.primary, Style.opacity.rest)
                               : "transparent"
                    }

                    onClicked: picker.choose(text)
                }
            }
        }
    }
}
