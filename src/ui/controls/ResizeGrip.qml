import QtQuick
import Larkspurhollow

// The corner by which a borderless window is resized, within its minimum and maximum size.
MouseArea {
    property point pressedAt
    property size startSize
    property bool resizingByHand: false

    width: 14
    height: 14
    cursorShape: Qt.SizeFDiagCursor
    Accessible.ignored: true
    onPressed: mouse => {
        const w = Window.window
        resizingByHand = !w.startSystemResize(Qt.RightEdge | Qt.BottomEdge)
        pressedAt = mapToGlobal(mouse.x, mouse.y)
        startSize = Qt.size(w.width, w.height)
    }
    onPositionChanged: mouse => {
        if (!resizingByHand)
            return
        const w = Window.window
        const at = mapToGlobal(mouse.x, mouse.y)
        w.width = Math.max(w.minimumWidth, Math.min(w.maximumWidth, startSize.width + at.x - pressedAt.x))
        w.height = Math.max(w.minimumHeight, Math.min(w.maximumHeight, startSize.height + at.y - pressedAt.y))
    }
    onReleased: resizingByHand = false

    Canvas {
        anchors.fill: parent
        opacity: Style.opacity.tertiary
        onPaint: {
            const ctx = getContext("2d")
            ctx.strokeStyle = Style.primary
            ctx.lineWidth = 1
            for (let i = 4; i <= 12; i += 4) {
                ctx.beginPath()
                ctx.moveTo(width - i, height - 2)
                ctx.lineTo(width - 2, height - i)
                ctx.stroke()
            }
        }
    }
}
