import QtQuick

// Drags the window by its background. The window manager moves it where it can; without one
// the window is moved by hand.
MouseArea {
    property point pressedAt
    property bool movingByHand: false

    acceptedButtons: Qt.LeftButton
    onPressed: mouse => {
        movingByHand = !Window.window.startSystemMove()
        pressedAt = Qt.point(mouse.x, mouse.y)
    }
    onPositionChanged: mouse => {
        if (!movingByHand)
            return
        Window.window.x += mouse.x - pressedAt.x
        Window.window.y += mouse.y - pressedAt.y
    }
    onReleased: movingByHand = false
}
