import QtQuick
import QtTest
import Larkspurhollow

TestCase {
    id: testCase

    name: "ProgressRing"
    when: windowShown
    // Not drawn (and so not grabbed) otherwise.
    visible: true
    width: 160
    height: 160

    Rectangle {
        anchors.fill: parent
        color: "white"
    }

    Component {
        id: ringComponent

        ProgressRingView {
            x: 20
            y: 20
            width: 100
            height: 100
            lineWidth: 10
            color: "#ff0000"
        }
    }

    SignalSpy {
        id: drawnSpy

        signalName: "drawnFractionChanged"
    }

    // A ring made with its progress already set shows it at once; later changes animate.
    function makeRing(progress) {
        const ring = createTemporaryObject(ringComponent, testCase, { progress: progress })
        verify(ring)
        drawnSpy.target = ring
        drawnSpy.clear()
        return ring
    }

    function settle(ring, progress) {
        ring.progress = progress
        tryCompare(ring, "animatedProgress", progress, 2000)
    }

    // How the ring looks at a clock position (degrees clockwise from twelve), on the inner half
    // of the stroke (the outer half lies outside the frame): "arc" for the full colour, "track"
    // for the faint circle.
    function strokeAt(image, degrees) {
        const r = 47
        const a = degrees * Math.PI / 180
        const px = Math.round(50 + r * Math.sin(a))
        const py = Math.round(50 - r * Math.cos(a))
        const g = image.green(px, py)
        if (image.red(px, py) > 230 && g < 60)
            return "arc"
        if (g > 190 && g < 240)
            return "track"
        return "other " + image.pixel(px, py)
    }

    function test_drawnFraction_data() {
        return [
            { tag: "nothing", progress: 0, drawn: 0 },
            { tag: "quarter", progress: 0.25, drawn: 0.25 },
            { tag: "full", progress: 1, drawn: 1 },
            { tag: "beyond full", progress: 1.5, drawn: 1 },
            { tag: "negative", progress: -0.3, drawn: 0 },
            { tag: "not a number", progress: NaN, drawn: 0 },
        ]
    }

    function test_drawnFraction(data) {
        compare(makeRing(data.progress).drawnFraction, data.drawn)
    }

    function test_pixels_data() {
        // Half past one, half past four, half past seven, half past ten.
        return [
            { tag: "nothing", progress: 0, look: ["track", "track", "track", "track"] },
            { tag: "quarter", progress: 0.25, look: ["arc", "track", "track", "track"] },
            { tag: "three quarters", progress: 0.75, look: ["arc", "arc", "arc", "track"] },
            { tag: "full", progress: 1, look: ["arc", "arc", "arc", "arc"] },
            { tag: "beyond full", progress: 1.5, look: ["arc", "arc", "arc", "arc"] },
            { tag: "negative", progress: -0.5, look: ["track", "track", "track", "track"] },
        ]
    }

    function test_pixels(data) {
        const image = grabImage(makeRing(data.progress))
        compare([45, 135, 225, 315].map(d => strokeAt(image, d)), data.look)
    }

    function test_arcStartsAtTwelveAndGrowsClockwise() {
        const image = grabImage(makeRing(0.1))
        // 0.1 of the circle is 36 degrees; the round cap reaches a few degrees beyond.
        compare(strokeAt(image, 20), "arc")
        compare(strokeAt(image, 60), "track")
        compare(strokeAt(image, 340), "track")
    }

    function test_changeIsAnimated() {
        const ring = makeRing(0.2)
        ring.progress = 0.4
        // Not a jump: the arc passes through values in between.
        verify(ring.drawnFraction < 0.4)
        tryVerify(() => ring.drawnFraction > 0.21 && ring.drawnFraction < 0.39, 1000)
        tryCompare(ring, "drawnFraction", 0.4, 1000)
        verify(drawnSpy.count > 2)
        const image = grabImage(ring)
        compare(strokeAt(image, 135), "arc")
        compare(strokeAt(image, 160), "track")
    }

    function test_changeAboveFullDrawsNothingNew() {
        const ring = makeRing(1.2)
        const before = grabImage(ring)
        ring.progress = 1.5
        verify(ring.animatedProgress < 1.5)
        tryCompare(ring, "animatedProgress", 1.5, 2000)
        compare(drawnSpy.count, 0)
        compare(ring.drawnFraction, 1)
        verify(before.equals(grabImage(ring)), "the ring's picture changed")
    }

    function test_animationStartsFromUnclampedValue() {
        // Coming down from 1.5 the full circle stays until the value passes 1.
        const ring = makeRing(1.5)
        ring.progress = 0.5
        verify(ring.animatedProgress > 1)
        compare(ring.drawnFraction, 1)
        tryCompare(ring, "drawnFraction", 0.5, 2000)
        compare(strokeAt(grabImage(ring), 225), "track")
    }
}
