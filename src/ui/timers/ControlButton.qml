import QtQuick
import Larkspurhollow

// A round symbol button of a timer card, on a disc of its tint that deepens under the pointer.
// The primary one, play or pause, is larger. The object name is `buttonId`.
SymbolButton {
    id: control

    required property string buttonId
    property bool primary: false
    property color tint: Style.primary

    implicitWidth: primary ? 30 : 24
    implicitHeight: implicitWidth
    focusPolicy: Qt.NoFocus
    objectName: buttonId
    symbolSize: primary ? Style.font.title3 : Style.font.subheadline
    symbolColor: tint
    fill: Style.tint(tint, primary ? (hovered ? Style.opacity.border : Style.opacity.hover)
                                   : (hovered ? Style.opacity.separator : Style.opacity.control))
}
