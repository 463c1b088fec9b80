import QtQuick
import QtQuick.Shapes
import Larkspurhollow

// How far a timer has run: a faint full circle with an arc over it that grows clockwise from
// twelve o'clock. The circle fills the frame and the strokes are centred on it, so half a line
// width lies outside; the owner leaves room for that.
Item {
    id: ring

    property real progress: 0
    property real lineWidth: 4
    property color color: "black"

    // The fraction of the circle the arc covers right now: clamped to 0 … 1 and following
    // the animation.
    readonly property real drawnFraction: {
        const v = animatedProgress
        // A value that is not a number draws nothing rather than a stray arc.
        if (!(v > 0))
            return 0
        return Math.min(v, 1)
    }

    // Internal. The animation runs on the unclamped value, so a change above 1 moves nothing
    // visible. A step smaller than the ring can show is drawn at once: animating each tenth of a
    // second of a long timer would keep the window redrawing without pause.
    property real animatedProgress: progress
    readonly property real smallestVisibleStep: 0.005
    onProgressChanged: {
        if (!sweep.running && Math.abs(progress - animatedProgress) < smallestVisibleStep) {
            animatedProgress = progress
            return
        }
        sweep.stop()
        sweep.from = animatedProgress
        sweep.to = progress
        sweep.start()
    }
    NumberAnimation {
        id: sweep

        target: ring
        property: "animatedProgress"
        duration: 300
        // The usual ease-in-ease-out curve.
        easing.type: Easing.BezierSpline
        easing.bezierCurve: [0.42, 0, 0.58, 1, 1, 1]
    }

    implicitWidth: 40
    implicitHeight: 40

    Shape {
        id: shape

        readonly property real radius: Math.min(ring.width, ring.height) / 2

        // Wide enough for the half stroke outside the circle, which a layer would cut off.
        anchors.fill: parent
        anchors.margins: -Math.ceil(ring.lineWidth / 2 + 1)
        // The hardware renderer draws shapes without smoothing of their own; a small
        // multisampled layer gives clean edges. The software renderer smooths by itself, and
        // its layers lag a frame behind a shape's last change.
        layer.enabled: GraphicsInfo.api !== GraphicsInfo.Software
        layer.samples: 4
        layer.smooth: true

        ShapePath {
            fillColor: "transparent"
            strokeColor: Style.tint(ring.color, Style.opacity.outline)
            strokeWidth: ring.lineWidth
            capStyle: ShapePath.RoundCap
            joinStyle: ShapePath.MiterJoin
            miterLimit: 10

            PathAngleArc {
                centerX: shape.width / 2
                centerY: shape.height / 2
                radiusX: shape.radius
                radiusY: shape.radius
                startAngle: -90
                sweepAngle: 360
            }
        }

        ShapePath {
            fillColor: "transparent"
            // A round cap on an arc of no length would still show a dot.
            strokeColor: ring.drawnFraction > 0 ? ring.color : "transparent"
            strokeWidth: ring.lineWidth
            capStyle: ShapePath.RoundCap
            joinStyle: ShapePath.MiterJoin
            miterLimit: 10

            PathAngleArc {
                centerX: shape.width / 2
                centerY: shape.height / 2
                radiusX: shape.radius
                radiusY: shape.radius
                startAngle: -90
                sweepAngle: 360 * ring.drawnFraction
            }
        }
    }
}
