import QtQuick
import QtQuick.Controls.Basic
import Larkspurhollow

// A plain command of the drop-down: a symbol and a title, the whole row clickable. Up and Down
// move between commands, Return runs one.
Button {
    id: command
    Accessible.onPressAction: clicked()

    property string symbol

    flat: true
    hoverEnabled: true
    focusPolicy: Qt.StrongFocus
    Keys.onReturnPressed: clicked()
    Keys.onEnterPressed: clicked()
    Keys.onDownPressed: nextItemInFocusChain(true).forceActiveFocus()
    Keys.onUpPressed: nextItemInFocusChain(false).forceActiveFocus()
    leftPadding: 6
    rightPadding: 6
    topPadding: 4
    bottomPadding: 4
    Accessible.name: text
    contentItem: Row {
        spacing: 8
        Symbol {
            name: command.symbol
            size: 14
            color: Style.primary
            width: 16
            anchors.verticalCenter: parent.verticalCenter
        }
        Text {
            text: command.text
            font.pixelSize: 13
            color: Style.primary
            anchors.verticalCenter: parent.verticalCenter
        }
    }
    background: Rectangle {
        radius: 5
        color: command.hovered || command.visualFocus ? Style.tint(Style.primary, 0.08)
                                                      : "transparent"
    }
}
