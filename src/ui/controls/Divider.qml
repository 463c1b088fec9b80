import QtQuick
import Larkspurhollow

// A hairline separator across its parent's width, less the given insets.
Item {
    property real inset: 0

    implicitHeight: 1
    Rectangle {
        x: parent.inset
        width: parent.width - 2 * parent.inset
        height: 1
        color: Style.separator
    }
}
