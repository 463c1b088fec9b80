import QtQuick
import QtQuick.Layouts
import Larkspurhollow

// One theme as a small preview, drawn entirely in that theme's own colours. Pressing it picks
// the theme; custom themes also offer edit and delete.
ActionButton {
    id: card

    required property var theme
    property bool isSelected: false
    // Built-in themes can only be picked.
    property bool editable: false

    signal editRequested()
    signal deleteRequested()

    padding: 0
    flat: true
    Accessible.name: qsTr("Select %1 theme").arg(theme.name)
    Accessible.selected: isSelected
    implicitHeight: 36 + info.implicitHeight + 12

    background: Rectangle {
        radius: 8
        color: card.theme.backgroundColor
    }
    contentItem: Item {
        // The rightmost stripe carries the card's top-right corner; a wider rounded rectangle
        // cut to 12 points keeps only that corner round.
        Row {
            anchors.right: parent.right
            height: 36
            Rectangle { width: 20; height: parent.height; color: card.theme.accentColor }
            Item {
                width: 12
                height: parent.height
                clip: true
                Rectangle {
                    x: -8
                    width: 20
                    height: parent.height + 8
                    radius: 8
                    color: card.theme.progressColor
                }
            }
        }
        RowLayout {
            id: info
            anchors.left: parent.left
            anchors.right: parent.right
            anchors.bottom: parent.bottom
            anchors.leftMargin: 8
            anchors.rightMargin: 8
            anchors.bottomMargin: 6
            spacing: Style.spacing.small
            Text {
                Layout.fillWidth: true
                text: card.theme.name
                elide: Text.ElideRight
                maximumLineCount: 1
                font.pixelSize: Style.font.caption
                font.weight: Font.Medium
                color: card.theme.textColor
            }
            Symbol {
                visible: card.isSelected
                name: "checkmark.circle.fill"
                size: Style.font.caption
                color: card.theme.accentColor
            }
            SymbolButton {
                visible: card.editable
                objectName: "editTheme"
                symbol: "pencil"
                symbolSize: 10
                symbolColor: Style.tint(card.theme.textColor, 0.4)
                Accessible.name: qsTr("Edit %1").arg(card.theme.name)
                onClicked: card.editRequested()
            }
            SymbolButton {
                visible: card.editable
                objectName: "deleteTheme"
                symbol: "trash"
                symbolSize: 10
                symbolColor: Style.tint(Style.destructive, 0.6)
                Accessible.name: qsTr("Delete %1").arg(card.theme.name)
                onClicked: card.deleteRequested()
            }
        }
        Rectangle {
            anchors.fill: parent
            radius: 8
            color: "transparent"
            border.width: 2
            border.color: card.isSelected ? card.theme.accentColor : "transparent"
        }
    }
}
