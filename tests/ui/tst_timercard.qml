import QtQuick
import QtTest
import Larkspurhollow
import LarkspurTesting

// What clicks and keys on a timer card and in the new-timer sheet do to the managers.
Item {
    id: top

    width: 420
    height: 700
    visible: true

    Component {
        id: cardComponent
        TimerCardView { width: 280 }
    }
    Component { id: dropDownComponent; MenuBarView {} }
    Component { id: panelComponent; FloatingPanelView {} }
    Component {
        id: sheetComponent
        NewTimerSheet {}
    }
    Component { id: formComponent; NewTimerForm { timerManager: App.timerManager; startNow: false } }
    Component { id: spyComponent; SignalSpy {} }

    TestCase {
        name: "Clicks"
        when: windowShown

        function init() { TestFixture.resetAll(); wait(0) }
        function make(component, properties) { return createTemporaryObject(component, top, properties) }
        function makeTimer(fields) { return make(formComponent, fields).createTimer() }
        function makeCard(timer, y) { return make(cardComponent, { timer: timer, y: y || 0 }) }
        function spy(target, name) { return make(spyComponent, { target: target, signalName: name }) }
        // Every item under `root`, breadth first.
        function items(root) {
            const all = [root]
            for (let i = 0; i < all.length; ++i) all.push(...Array.from(all[i].children))
            return all
        }
        function button(card, prefix) { return findChild(card, prefix + "-" + card.timer.id) }
        function stored() { return JSON.parse(TestFixture.fileText("active-timers.json"))[0] }

        // Symbol-only buttons are named for screen readers and answer their Press action.
        function test_cardButtons_data() {
            const E = TimerEnums
            return [["start", E.Idle, "playpause", "Start Tea", E.Running], ["pause", E.Running, "playpause", "Pause Tea", E.Paused],
                    ["resume", E.Paused, "playpause", "Resume Tea", E.Running],
                    ["restart", E.Completed, "playpause", "Restart Tea", E.Running], ["reset", E.Running, "reset", "Reset Tea", E.Idle],
                    ["edit", E.Running, "edit", "Edit Tea", E.Running], ["remove", E.Idle, "remove", "Remove Tea", "gone"]]
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
            return [["idle", false, "\u{1F375}", 360, 360], ["running", true, "\u{1F375}", 360, 300], ["empty emoji", false, "", 360, 360],
                    ["not a number", false, "x", NaN, 300], ["infinite", false, "x", Infinity, 300], ["negative", false, "x", -1, 300],
                    ["zero", false, "x", 0, 0], ["cancel", false, "x", 60, "cancel"]]
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

        // The endless completion sound stops through this card's buttons, not another's.
        function test_cardStopsItsEndlessSound_data() { return ["playpause", "reset", "remove"].map(p => ({ tag: p, prefix: p })) }
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

        // The drop-down's commands that the end-to-end run leaves out: [title, signal, arguments...].
        function test_dropDownCommands_data() {
            return [["Focus Mode", "showPanelTab", PanelTab.Focus], ["Timer Sequences", "showPanelTab", PanelTab.Sequences],
                    ["Statistics", "showPanelTab", PanelTab.Stats], ["Settings...", "openSettings"]].map(r => ({ tag: r[0], row: r }))
        }
        function test_dropDownCommands(data) {
            const dropDown = make(dropDownComponent)
            const signals = spy(dropDown, data.row[1])
            mouseClick(items(dropDown).find(i => i.text === data.row[0]))
            compare(signals.signalArguments.map(a => Array.from(a)), [data.row.slice(2)])
        }

        // The picker always shows the form's emoji, whoever set it; choosing the one it shows
        // still writes it.
        function test_emojiPickerFollowsTheForm() {
            const sheet = make(sheetComponent)
            const field = findChild(sheet, "emojiField"), picker = findChild(sheet, "emojiPicker")
            const choose = emoji => {
                mouseClick(findChild(sheet, "pickButton"))
                tryVerify(() => picker.visible)
                const cells = items(picker).filter(i => i.Accessible.checkable)
                const shown = cells.filter(i => i.Accessible.checked).map(i => i.text)
                mouseClick(cells.find(i => i.text === emoji))
                tryVerify(() => !picker.visible)
                return shown
            }
            const target = "\u{1F3AF}", tomato = "\u{1F345}"
            choose(target)
            mouseClick(items(sheet).find(i => i.Accessible.name === tomato + " Pomodoro"))
            compare(field.text, tomato)
            compare(choose(target), [tomato])
            compare(field.text, target)
        }

        // A removed card shows its timer's last values while it fades, and the last one fades
        // too before the empty state appears.
        function test_removedCardsFade() {
            const a = makeTimer({ name: "A" }), b = makeTimer({ name: "B" })
            const panel = make(panelComponent), empty = findChild(panel, "emptyState")
            const card = name => items(panel).find(i => i.showingEdit !== undefined && i.timerName === name)
            tryVerify(() => card("A") && card("B"))
            for (const [timer, others] of [[b, true], [a, false]]) {
                const name = timer.name
                App.timerManager.removeTimer(timer.id)
                wait(50)  // the timer itself is gone by now, its card half faded
                const fading = card(name)
                verify(fading && fading.visible && fading.parent.opacity < 1, name)
                compare([fading.displayTime, fading.progress, empty.visible], ["05:00", 0, false])
                tryVerify(() => empty.visible !== others)
            }
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
