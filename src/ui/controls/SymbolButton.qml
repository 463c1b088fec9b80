import QtQuick
import Larkspurhollow

// A button that shows only a symbol, so it needs an Accessible.name of its own. With a `fill`
// it sits on a disc of that colour.
ActionButton {
    id: button

    property string symbol
    property real symbolSize: Style.font.body
    property color symbolColor: Style.secondary
    property int symbolWeight: Font.Normal
    property color fill: "transparent"

    padding: 0
    flat: true
    contentItem: Symbol {
        name: button.symbol
        size: button.symbolSize
        color: button.symbolColor
        font.weight: button.symbolWeight
    }
    background: Rectangle {
        radius: width / 2
        color: button.fill
        visible: button.fill.a > 0
    }
}
