import QtQuick
import QtQuick.Controls.Basic
import Larkspurhollow

// A preset as a capsule: its emoji and name. The drop-down draws it quietly; the new-timer
// sheet draws it in the accent colour.
Button {
    id: chip
    Accessible.onPressAction: clicked()

    required property var preset
    property bool accented: false
    property color accent: Style.primary

    flat: true
    hoverEnabled: true
    leftPadding: accented ? 10 : 8
    rightPadding: leftPadding
    topPadding: accented ? 6 : 4
    bottomPadding: topPadding
    focusPolicy: Qt.TabFocus
    text: preset.name
    Accessible.name: (preset.emoji !== "" ? preset.emoji + " " : "") + preset.name
    contentItem: Row {
        spacing: 4
        Text {
            visible: chip.preset.emoji !== ""
            text: chip.preset.emoji
            font.family: Style.emojiFamily
            font.pixelSize: chip.accented ? 12 : 11
            anchors.verticalCenter: parent.verticalCenter
        }
        Text {
            text: chip.preset.name
            font.pixelSize: 11
            font.weight: Font.Medium
            color: Style.primary
            anchors.verticalCenter: parent.verticalCenter
        }
    }
    background: Rectangle {
        radius: height / 2
        color: chip.accented ? Style.tint(chip.accent, chip.hovered ? 0.16 : 0.1)
                             : Style.tint(Style.primary, chip.hovered ? 0.1 : 0.06)
        border.width: 0.5
        border.color: chip.accented ? Style.tint(chip.accent, 0.2) : Style.tint(Style.primary, 0.1)
    }
}
