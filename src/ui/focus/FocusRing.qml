import QtQuick
import QtQuick.Shapes
import Larkspurhollow

// The focus phase's ring: a faint track in the text colour and an arc in the phase colour from
// twelve o'clock. The cycle ticks ten times a second, so a short linear glide between ticks
// reads as steady motion. Half of each stroke lies outside the frame.
Item {
    id: ring

    property real progress: 0
    property real lineWidth: 8
    property color color: Style.accent
    property color trackColor: Style.tint(Style.text, 0.1)

    property real shownProgress: Math.max(0, Math.min(1, progress || 0))
    Behavior on shownProgress {
        NumberAnimation { duration: 100; easing.type: Easing.Linear }
    }

    Shape {
        id: shape

        readonly property real radius: Math.min(ring.width, ring.height) / 2

        anchors.fill: parent
        anchors.margins: -Math.ceil(ring.lineWidth / 2 + 1)
        // As in ProgressRingView: smoothing from a multisampled layer on the hardware renderer.
        layer.enabled: GraphicsInfo.api !== GraphicsInfo.Software
        layer.samples: 4
        layer.smooth: true

        ShapePath {
            fillColor: "transparent"
            strokeColor: ring.trackColor
            strokeWidth: ring.lineWidth
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
            // A round cap on an empty arc would still leave a dot.
            strokeColor: ring.shownProgress > 0 ? ring.color : "transparent"
            strokeWidth: ring.lineWidth
            capStyle: ShapePath.RoundCap
            PathAngleArc {
                centerX: shape.width / 2
                centerY: shape.height / 2
                radiusX: shape.radius
                radiusY: shape.radius
                startAngle: -90
                sweepAngle: 360 * ring.shownProgress
            }
        }
    }
}
