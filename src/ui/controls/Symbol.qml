import QtQuick
import Larkspurhollow

// A named symbol drawn from the icon font.
Text {
    property string name
    property real size: Style.font.body

    text: Symbols.glyph(name)
    font.family: Symbols.fontFamily
    font.pixelSize: size
    horizontalAlignment: Text.AlignHCenter
    verticalAlignment: Text.AlignVCenter
    Accessible.ignored: true
}
