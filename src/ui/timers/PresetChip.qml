import QtQuick
import Larkspurhollow

// A preset as a capsule: its emoji and name. The drop-down draws it quietly; the new-timer
// sheet draws it in the accent colour.
ActionButton {
    id: chip

    required property var preset
    property bool accented: false
    property color accent: Style.primary

    flat: true
    leftPadding: accented ? Style.spacing.large : Style.spacing.medium
    rightPadding: leftPadding
    topPadding: accented ? Style.spacing.small : Style.spacing.xsmall
    bottomPadding: topPadding
    focusPolicy: Qt.TabFocus
    text: preset.name
    Accessible.name: (preset.emoji !== "" ? preset.emoji + " " : "") + preset.name
    contentItem: Row {
        spacing: Style.spacing.xsmall
        Text {
            visible: chip.preset.emoji !== ""
            text: chip.preset.emoji
            font.family: Style.emojiFamily
            font.pixelSize: chip.accented ? Style.font.body : Style.font.subheadline
            anchors.verticalCenter: parent.verticalCenter
        }
        Text {
            text: chip.preset.name
            font.pixelSize: Style.font.subheadline
            font.weight: Font.Medium
            color: Style.primary
            anchors.verticalCenter: parent.verticalCenter
        }
    }
    background: Rectangle {
        radius: height / 2
        color: chip.accented ? Style.tint(chip.accent, chip.hovered ? Style.opacity.accentHover
                                                                    : Style.opacity.hover)
                             : Style.tint(Style.primary, chip.hovered ? Style.opacity.hover
                                                                      : Style.opacity.control)
        border.width: Style.hairline
        border.color: chip.accented ? Style.tint(chip.accent, Style.opacity.border)
                                    : Style.tint(Style.primary, Style.opacity.hover)
    }
}
