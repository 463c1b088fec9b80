import QtQuick
import QtTest
import Larkspurhollow

// The daily goal's editor in the Stats tab, by mouse and keyboard.
Item {
    id: top

    width: 400
    height: 700
    visible: true

    Component { id: viewComponent; StatsView { anchors.fill: parent } }

    TestCase {
        name: "StatsView"
        when: windowShown

        function test_goalEditor() {
            const view = createTemporaryObject(viewComponent, top)
            const editor = findChild(view, "goalEditor"), stepper = findChild(view, "goalStepper")
            const edit = findChild(view, "editGoalButton")
            compare(edit.Accessible.name, "Edit Daily Goal")
            verify(findChild(view, "noSessions").visible)
            mouseClick(edit)
            verify(editor.visible)
            compare(stepper.displayText, "120 min")
            mouseClick(stepper)
            verify(stepper.activeFocus)
            keyClick(Qt.Key_Up)
            keyClick(Qt.Key_Up)
            keyClick(Qt.Key_Down)
            compare(view.editGoal, 130)
            mouseClick(stepper.up.indicator)
            compare([view.editGoal, stepper.displayText], [140, "140 min"])
            view.editGoal = 480
            keyClick(Qt.Key_Up)
            compare(view.editGoal, 480)
            mouseClick(edit)  // closes without saving
            verify(!editor.visible)
        }
    }
}
