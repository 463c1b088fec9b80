import QtQuick
import QtTest
import Larkspurhollow
import LarkspurTesting

// What clicks on a timer card, in the drop-down and in the new-timer sheet do to the managers.
Item {
    id: top

    width: 420
    height: 700
    visible: true

    Component {
        id: cardComponent
        TimerCardView { timerManager: TestFixture.timerManager; themeManager: TestFixture.themeManager
                        soundManager: TestFixture.soundManager; width: 280 }
    }
    Component {
        id: menuComponent
        MenuBarView { timerManager: TestFixture.timerManager; presetManager: TestFixture.presetManager
                      soundManager: TestFixture.soundManager; themeManager: TestFixture.themeManager }
    }
    Component {
        id: sheetComponent
        NewTimerSheet { timerManager: TestFixture.timerManager; presetManager: TestFixture.presetManager
                        soundManager: TestFixture.soundManager; themeManager: TestFixture.themeManager }
    }
    Component { id: formComponent; NewTimerForm { timerManager: TestFixture.timerManager; startNow: false } }
    Component { id: spyComponent; SignalSpy {} }

    TestCase {
        name: "Clicks"
        when: windowShown

        function init() { TestFixture.resetAll(); wait(0) }
        function make(component, properties) { return createTemporaryObject(component, top, properties) }
        function makeTimer(fields) { return make(formComponent, fields).createTimer() }
        function makeCard(timer, y) { return make(cardComponent, { timer: timer, y: y || 0 }) }
        function spy(target, name) { return make(spyComponent, { target: target, signalName: name }) }
        function button(card, prefix) {
            const found = findChild(card, prefix + "-" + card.timer.id)
            verify(found, prefix)
            return found
        }
        function stored() { return JSON.parse(TestFixture.fileText("active-timers.json"))[0] }

        // Symbol-only buttons are named for screen readers and answer their Press action.
        function test_cardButtons_data() {
            const E = TimerEnums
            return [["start", E.Idle, "playpause", "Start Tea", E.Running],
                    ["pause", E.Running, "playpause", "Pause Tea", E.Paused],
                    ["resume", E.Paused, "playpause", "Resume Tea", E.Running],
                    ["restart", E.Completed, "playpause", "Restart Tea", E.Running],
                    ["reset", E.Running, "reset", "Reset Tea", E.Idle],
                    ["edit", E.Running, "edit", "Edit Tea", E.Running],
                    ["remove", E.Idle, "remove", "Remove Tea", "gone"]]
                .map(r => ({ tag: r[0], from: r[1], button: r[2], name: r[3], to: r[4] }))
        }
        function test_cardButtons(data) {
            const timer = makeTimer({ name: "Tea", duration: 2 })
            const card = makeCard(timer)
            if (data.from !== TimerEnums.Idle) timer.start()
            if (data.from === TimerEnums.Paused) timer.pause()
            if (data.from === TimerEnums.Completed) TestFixture.advance(3)
            compare(timer.state, data.from)
            const b = button(card, data.button)
            compare(b.Accessible.name, data.name)
            b.Accessible.pressAction()
            compare(TestFixture.timerManager.timers.length, data.to === "gone" ? 0 : 1)
            if (data.to !== "gone")
                compare([timer.state, timer.elapsedTime, card.showingEdit], [data.to, 0, data.button === "edit"])
        }

        // Edits reach the file at once; a length that is not finite or is negative is refused, and
        // a running timer keeps its length.
        function test_cardEdit_data() {
            return [["idle", false, "\u{1F375}", 360, 360], ["running", true, "\u{1F375}", 360, 300],
                    ["empty emoji", false, "", 360, 360], ["not a number", false, "x", NaN, 300],
                    ["infinite", false, "x", Infinity, 300], ["negative", false, "x", -1, 300],
                    ["zero", false, "x", 0, 0],
                    ["cancel", false, "x", 60, "cancel"]]
                .map(r => ({ tag: r[0], start: r[1], emoji: r[2], duration: r[3], saved: r[4] }))
        }
        function test_cardEdit(data) {
            const timer = makeTimer({ name: "Tea", duration: 300 })
            if (data.start) timer.start()
            const card = makeCard(timer)
            mouseClick(button(card, "edit"))
            compare([card.editName, card.editDuration, card.editEmoji], ["Tea", 300, "\u23F1"])
            const name = findChild(card, "editName")
            name.selectAll()
            name.forceActiveFocus()
            for (const c of "Green") keyClick(c)
            card.editEmoji = data.emoji
            mouseClick(findChild(card, "minutesColumn").children[0])  // one minute up
            compare(card.editDuration, 360)
            card.editDuration = data.duration
            mouseClick(findChild(card, data.saved === "cancel" ? "editCancel" : "editSave"))
            verify(!card.showingEdit)
            const want = data.saved === "cancel" ? ["Tea", "\u23F1", 300] : ["Green", data.emoji, data.saved]
            compare([timer.name, timer.emoji, timer.totalDuration], want)
            compare([stored().name, stored().emoji, stored().totalDuration], want)
        }

        // Only a completion seen by the card pulses, until the timer leaves the completed state.
        function test_cardPulse() {
            const done = makeTimer({ duration: 1 })
            done.start()
            TestFixture.advance(2)
            verify(!makeCard(done, 0).isAnimating)
            const timer = makeTimer({ duration: 1 })
            const card = makeCard(timer, 100)
            timer.start()
            TestFixture.advance(2)
            verify(card.pulsing)
            mouseClick(button(card, "reset"))
            verify(!card.pulsing)
            tryCompare(card, "scale", 1.0)
        }

        // The endless completion sound stops through this card's buttons, not another's.
        function test_cardStopsItsEndlessSound_data() {
            return ["playpause", "reset", "remove"].map(prefix => ({ tag: prefix, prefix: prefix }))
        }
        function test_cardStopsItsEndlessSound(data) {
            const timer = makeTimer({ duration: 1, alertMode: TimerEnums.LoopUntilDismissed })
            const card = makeCard(timer)
            const otherCard = makeCard(makeTimer({ duration: 60 }), 100)
            timer.start()
            TestFixture.advance(2)
            compare(TestFixture.soundManager.soundingTimerId, timer.id)
            for (const prefix of ["playpause", "reset", "remove"])
                mouseClick(button(otherCard, prefix))
            compare(TestFixture.soundManager.soundingTimerId, timer.id)
            mouseClick(button(card, data.prefix))
            compare(TestFixture.soundManager.soundingTimerId, "")
        }

        function test_chipStartsItsPreset() {
            const menu = make(menuComponent)
            const preset = TestFixture.presetManager.presets[1]
            compare(findChild(menu, "headerTitle").text, "No Active Timers")
            mouseClick(findChild(menu, "chips").children[1])
            const timer = TestFixture.timerManager.timers[0]
            compare([TestFixture.timerManager.timers.length, timer.name, timer.totalDuration, timer.state],
                    [1, preset.name, preset.duration, TimerEnums.Running])
            compare(findChild(menu, "headerTitle").text, "1 Active Timer")
            verify(findChild(menu, "runningBlock").visible)
        }

        function test_menuCommands_data() {
            return [["Show Timer Panel", "togglePanel"], ["Focus Mode", "showPanelTab", "Focus"],
                    ["Timer Sequences", "showPanelTab", "Sequences"], ["Statistics", "showPanelTab", "Stats"],
                    ["Settings...", "openSettings"], ["Quit", "quit"], ["New Timer...", "showingNewTimerChanged"]]
                .map(r => ({ tag: r[0], title: r[0], signal: r[1], args: r.slice(2) }))
        }
        function test_menuCommands(data) {
            const menu = make(menuComponent)
            const signals = spy(menu, data.signal)
            const stack = [menu]
            while (stack.length && stack[0].text !== data.title) {
                const item = stack.shift()
                for (let i = 0; i < item.children.length; ++i)
                    stack.push(item.children[i])
            }
            mouseClick(stack[0])
            compare(signals.signalArguments.map(a => Array.from(a)), [data.args])
        }

        function test_sheetCreatesWhatWasChosen() {
            const sheet = make(sheetComponent)
            const dismissed = spy(sheet, "dismissed")
            const name = findChild(sheet, "nameField")
            name.selectAll()
            name.forceActiveFocus()
            for (const c of "Tea") keyClick(c)
            mouseClick(findChild(sheet, "modePicker").children[2])
            mouseClick(findChild(sheet, "startNowSwitch"))
            mouseClick(findChild(sheet, "createButton"))
            const timer = TestFixture.timerManager.timers[0]
            compare([dismissed.count, TestFixture.timerManager.timers.length, timer.name, timer.mode, timer.state],
                    [1, 1, "Tea", TimerEnums.Loop, TimerEnums.Idle])
        }

        function test_sheetEscapeMakesNoTimer() {
            const sheet = make(sheetComponent)
            const dismissed = spy(sheet, "dismissed")
            sheet.forceActiveFocus()
            keyClick(Qt.Key_Escape)
            compare([dismissed.count, TestFixture.timerManager.timers.length], [1, 0])
        }
    }
}
