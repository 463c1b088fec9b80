import QtQuick
import Larkspurhollow

// The ground of a popup: the window colour inside a hairline edge.
Rectangle {
    radius: Style.radius.popup
    color: Style.palette.window
    border.width: Style.hairline
    border.color: Style.popupBorder
}
