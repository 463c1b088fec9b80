import QtQuick
import Larkspurhollow

Text {
    font.pixelSize: Style.font.subheadline
    font.weight: Font.DemiBold
    color: Style.secondary
}
