import QtQuick
import QtTest
import Larkspurhollow

// The focus settings edit a copy in whole minutes from the keyboard, within their bounds; the
// focus view stands on its own while there is no cycle.
Item {
    id: top

    width: 420
    height: 600
    visible: true

    Component { id: sheetComponent; FocusConfigSheet {} }
    Component { id: viewComponent; FocusModeView {} }

    TestCase {
        name: "Focus"
        when: windowShown

        function test_settingsSheet() {
            const sheet = createTemporaryObject(sheetComponent, top)
            const shown = block => findChild(findChild(sheet, block), "value").text
            const blocks = ["focusDurationBlock", "shortBreakBlock", "longBreakBlock"]
            compare(blocks.map(shown), ["25 min", "5 min", "15 min"])
            compare([sheet.sessionsCount, sheet.autoStartBreaks, sheet.autoStartFocus], [4, true, false])
            // Minutes from elsewhere show as whole minutes, out of range or not.
            sheet.longBreakMinutes = 90.9
            compare(shown("longBreakBlock"), "90 min")

            findChild(findChild(sheet, "focusDurationBlock"), "slider").forceActiveFocus()
            keyClick(Qt.Key_Right)
            keyClick(Qt.Key_Right)
            compare([sheet.focusMinutes, shown("focusDurationBlock")], [35, "35 min"])
            findChild(sheet, "sessionsStepper").forceActiveFocus()
            for (let i = 0; i < 8; ++i) keyClick(Qt.Key_Down)
            compare(sheet.sessionsCount, 2)
            for (let i = 0; i < 8; ++i) keyClick(Qt.Key_Up)
            compare(sheet.sessionsCount, 8)
        }

        function test_viewWithoutCycle() {
            const view = createTemporaryObject(viewComponent, top, { width: 400, height: 600 })
            const play = findChild(view, "focusPlayPause")
            compare([play.Accessible.name, findChild(view, "focusReset").enabled], ["Start Focus", false])
            play.Accessible.pressAction()
            compare(view.timerState, TimerEnums.Idle)
        }
    }
}
