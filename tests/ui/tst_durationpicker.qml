import QtQuick
import QtTest
import Larkspurhollow

TestCase {
    id: testCase

    name: "DurationPicker"
    when: windowShown
    visible: true
    width: 300
    height: 200

    DurationPickerView {
        id: picker
    }

    // An owner keeping the value elsewhere, bound to a picker the documented way.
    QtObject {
        id: form

        property real duration: 300
    }

    DurationPickerView {
        id: boundPicker

        y: 120
        Binding on duration {
            value: form.duration
        }
        onDurationChanged: form.duration = duration
    }

    SignalSpy {
        id: steppedSpy

        target: picker
        signalName: "stepped"
    }

    function itemNamed(root, accessibleName) {
        if (root.Accessible && root.Accessible.name === accessibleName)
            return root
        for (let i = 0; i < root.children.length; ++i) {
            const found = itemNamed(root.children[i], accessibleName)
            if (found)
                return found
        }
        return null
    }

    function button(root, accessibleName) {
        const b = itemNamed(root, accessibleName)
        verify(b, "no button named " + accessibleName)
        compare(b.Accessible.role, Accessible.Button)
        return b
    }

    function shown(root) {
        return ["Hours", "Minutes", "Seconds"].map(unit => {
            const text = itemNamed(root, unit + ": " + ViewFormats.twoDigits(
                unit === "Hours" ? ViewFormats.hoursOf(root.duration)
                : unit === "Minutes" ? ViewFormats.minutesOf(root.duration)
                : ViewFormats.secondsOf(root.duration)))
            verify(text, "no value text for " + unit)
            return text.text
        })
    }

    function init() {
        picker.duration = 0
        steppedSpy.clear()
    }

    function test_display_data() {
        return [
            { tag: "zero", duration: 0, shown: ["00", "00", "00"] },
            { tag: "3725", duration: 3725, shown: ["01", "02", "05"] },
            { tag: "fraction dropped", duration: 90.7, shown: ["00", "01", "30"] },
            { tag: "longest", duration: 86399, shown: ["23", "59", "59"] },
            { tag: "over a day shown as given", duration: 360061, shown: ["100", "01", "01"] },
            { tag: "not a number", duration: NaN, shown: ["00", "00", "00"] },
        ]
    }

    function test_display(data) {
        picker.duration = data.duration
        compare(shown(picker), data.shown)
        compare(steppedSpy.count, 0)
    }

    function test_step_data() {
        return [
            { tag: "zero, hours down", from: 0, press: "Hours down", to: 0 },
            { tag: "zero, minutes down", from: 0, press: "Minutes down", to: 0 },
            { tag: "zero, seconds down", from: 0, press: "Seconds down", to: 0 },
            { tag: "fraction kept", from: 90.7, press: "Seconds up", to: 91.7 },
            { tag: "ceiling, hours up", from: 86399, press: "Hours up", to: 86399 },
            { tag: "ceiling, minutes up", from: 86399, press: "Minutes up", to: 86399 },
            { tag: "ceiling, seconds up", from: 86399, press: "Seconds up", to: 86399 },
            { tag: "hour up cut at ceiling", from: 86000, press: "Hours up", to: 86399 },
            { tag: "23:30:00 hour up", from: 84600, press: "Hours up", to: 86399 },
            { tag: "00:59:59 second up", from: 3599, press: "Seconds up", to: 3600 },
            { tag: "00:59:30 minute up", from: 3570, press: "Minutes up", to: 3630 },
            { tag: "01:00:00 second down", from: 3600, press: "Seconds down", to: 3599 },
            { tag: "00:00:40 minute down", from: 40, press: "Minutes down", to: 0 },
            { tag: "hour down", from: 3725, press: "Hours down", to: 125 },
            { tag: "over range comes back in", from: 90000, press: "Seconds down", to: 86399 },
        ]
    }

    function test_step(data) {
        picker.duration = data.from
        mouseClick(button(picker, data.press))
        compare(picker.duration, data.to)
        compare(steppedSpy.count, 1)
        compare(steppedSpy.signalArguments[0][0], data.to)
    }

    function test_carriedValuesAreShown() {
        picker.duration = 3599
        mouseClick(button(picker, "Seconds up"))
        compare(shown(picker), ["01", "00", "00"])
        mouseClick(button(picker, "Seconds down"))
        compare(shown(picker), ["00", "59", "59"])
    }

    function test_everyControlIsNamed() {
        for (const unit of ["Hours", "Minutes", "Seconds"]) {
            button(picker, unit + " up")
            button(picker, unit + " down")
        }
        picker.duration = 3725
        verify(itemNamed(picker, "Hours: 01"))
        verify(itemNamed(picker, "Minutes: 02"))
        verify(itemNamed(picker, "Seconds: 05"))
    }

    function test_keyboardSteps() {
        picker.duration = 60
        const up = button(picker, "Minutes up")
        up.forceActiveFocus()
        keyClick(Qt.Key_Space)
        compare(picker.duration, 120)
    }

    function test_boundOwnerFollowsBothWays() {
        form.duration = 300
        compare(boundPicker.duration, 300)
        mouseClick(button(boundPicker, "Minutes up"))
        compare(form.duration, 360)
        // A value set by the owner after a step still reaches the picker.
        form.duration = 42
        compare(boundPicker.duration, 42)
        compare(shown(boundPicker), ["00", "00", "42"])
        mouseClick(button(boundPicker, "Seconds down"))
        compare(form.duration, 41)
    }
}
