import QtQuick
import Larkspurhollow

// A plain command of the drop-down: a symbol and a title, the whole row clickable. Up and Down
// move between commands, Return runs one.
ActionButton {
    id: command

    property string symbol

    flat: true
    focusPolicy: Qt.StrongFocus
    Keys.onReturnPressed: clicked()
    Keys.onEnterPressed: clicked()
    Keys.onDownPressed: nextItemInFocusChain(true).forceActiveFocus()
    Keys.onUpPressed: nextItemInFocusChain(false).forceActiveFocus()
    leftPadding: Style.spacing.small
    rightPadding: Style.spacing.small
    topPadding: Style.spacing.xsmall
    bottomPadding: Style.spacing.xsmall
    contentItem: Row {
        spacing: Style.spacing.medium
        Symbol {
            name: command.symbol
            size: Style.font.title3
            color: Style.primary
            width: 16
            anchors.verticalCenter: parent.verticalCenter
        }
        Text {
            text: command.text
            font.pixelSize: Style.font.headline
            color: Style.primary
            anchors.verticalCenter: parent.verticalCenter
        }
    }
    background: Rectangle {
        radius: Style.radius.small
        color: command.hovered || command.visualFocus ? Style.tint(Style.primary, Style.opacity.command)
                                                      : "transparent"
    }
}
