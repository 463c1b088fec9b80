import QtQuick
import QtQuick.Controls.Basic
import Larkspurhollow

// A round symbol button of a timer card. `card.hoveredButton` holds the id of the one under
// the pointer, so hovering one card's button highlights only that button.
Button {
    id: control
    Accessible.onPressAction: clicked()

    required property Item card
    required property string buttonId
    required property string symbol
    property bool primary: false
    property color tint: Style.primary
    readonly property bool lit: card.hoveredButton === buttonId

    implicitWidth: primary ? 30 : 24
    implicitHeight: implicitWidth
    padding: 0
    flat: true
    hoverEnabled: true
    focusPolicy: Qt.NoFocus
    objectName: buttonId
    onHoveredChanged: card.hoveredButton = hovered ? buttonId : ""

    contentItem: Symbol {
        name: control.symbol
        size: control.primary ? 14 : 11
        color: control.tint
    }
    background: Rectangle {
        radius: width / 2
        color: Style.tint(control.tint, control.primary ? (control.lit ? 0.2 : 0.1)
                                                        : (control.lit ? 0.12 : 0.06))
    }
    Accessible.role: Accessible.Button
}
