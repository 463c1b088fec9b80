import QtQuick
import Larkspurhollow

Text {
    font.pixelSize: 11
    font.weight: Font.DemiBold
    color: Style.secondary
}
