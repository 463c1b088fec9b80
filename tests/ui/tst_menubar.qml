import QtQuick
import QtTest
import Larkspurhollow
import LarkspurTesting

Item {
    id: top

    width: 400
    height: 700
    visible: true

    Component {
        id: menuComponent

        MenuBarView {
            timerManager: TestFixture.timerManager
            presetManager: TestFixture.presetManager
            soundManager: TestFixture.soundManager
            themeManager: TestFixture.themeManager
            statsManager: TestFixture.statsManager
        }
    }

    TestCase {
        name: "MenuBar"
        when: windowShown

        function init() {
            TestFixture.resetAll()
            wait(0)
        }
        function make(properties) {
            const menu = createTemporaryObject(menuComponent, top, properties || {})
            verify(menu)
            return menu
        }
        function command(menu, title) {
            const stack = [menu]
            while (stack.length) {
                const item = stack.pop()
                if (item.text === title && item.symbol !== undefined)
                    return item
                for (let i = 0; i < item.children.length; ++i)
                    stack.push(item.children[i])
            }
            fail("no command " + title)
        }
        function add(name, duration) {
            return TestFixture.timerManager.createTimerFromPreset(
                TestFixture.presetManager.makePreset(name, duration || 60))
        }

        function test_header_data() {
            return [
                { tag: "none", running: 0, paused: 0, idle: 1, title: "No Active Timers", rows: 0 },
                { tag: "one", running: 1, paused: 0, idle: 0, title: "1 Active Timer", rows: 1 },
                { tag: "running and paused", running: 1, paused: 1, idle: 0, title: "2 Active Timers", rows: 1 },
                { tag: "three", running: 3, paused: 0, idle: 2, title: "3 Active Timers", rows: 3 }
            ]
        }
        function test_header(data) {
            for (let i = 0; i < data.running; ++i)
                add("Run" + i).start()
            for (let i = 0; i < data.paused; ++i) {
                const t = add("Paused" + i)
                t.start()
                t.pause()
            }
            for (let i = 0; i < data.idle; ++i)
                add("Idle" + i)
            const menu = make()
            compare(findChild(menu, "headerTitle").text, data.title)
            compare(findChild(menu, "runningBlock").visible, data.rows > 0)
            compare(menu.running.length, data.rows)
        }

        function test_chipStartsAPresetAndStaysOpen() {
            const menu = make()
            const chips = findChild(menu, "chips")
            const presets = TestFixture.presetManager.presets
            verify(presets.length > 0)
            const first = chips.children[0]
            compare(first.preset.name, presets[0].name)
            mouseClick(first)
            compare(TestFixture.timerManager.timers.length, 1)
            const timer = TestFixture.timerManager.timers[0]
            compare(timer.name, presets[0].name)
            compare(timer.state, TimerEnums.Running)
            compare(findChild(menu, "headerTitle").text, "1 Active Timer")
            verify(menu.visible)
        }

        function test_noPresetsStillShowsQuickStart() {
            const ids = TestFixture.presetManager.presets.map(p => p.id)
            for (const id of ids)
                TestFixture.presetManager.remove(id)
            compare(TestFixture.presetManager.presets.length, 0)
            const menu = make()
            compare(findChild(menu, "chips").children.length, 1)  // the repeater alone
        }

        function test_panelCommand_data() {
            return [{ tag: "hidden", visible: false, title: "Show Timer Panel", symbol: "eye" },
                    { tag: "visible", visible: true, title: "Hide Timer Panel", symbol: "eye.slash" }]
        }
        function test_panelCommand(data) {
            const menu = make({ isPanelVisible: data.visible })
            const spy = createTemporaryObject(spyComponent, top, { target: menu, signalName: "togglePanel" })
            const button = command(menu, data.title)
            compare(button.symbol, data.symbol)
            mouseClick(button)
            compare(spy.count, 1)
        }

        function test_tabCommands_data() {
            return [{ tag: "focus", title: "Focus Mode", tab: "Focus" },
                    { tag: "sequences", title: "Timer Sequences", tab: "Sequences" },
                    { tag: "stats", title: "Statistics", tab: "Stats" }]
        }
        function test_tabCommands(data) {
            const menu = make()
            const spy = createTemporaryObject(spyComponent, top, { target: menu, signalName: "showPanelTab" })
            mouseClick(command(menu, data.title))
            compare(spy.count, 1)
            compare(spy.signalArguments[0][0], data.tab)
        }

        function test_sheetAndAbout() {
            const menu = make()
            mouseClick(command(menu, "New Timer..."))
            verify(menu.showingNewTimer)
            compare(menu.implicitWidth, 360)
            verify(menu.implicitHeight >= 480)
            keyClick(Qt.Key_Escape)
            verify(!menu.showingNewTimer)
            compare(menu.implicitWidth, 300)
            mouseClick(command(menu, "About Larkspurhollow"))
            verify(menu.showingAbout)
            mouseClick(command(menu, "Quit"))
        }

        function test_keyboard() {
            const menu = make()
            const spy = createTemporaryObject(spyComponent, top, { target: menu, signalName: "showPanelTab" })
            menu.forceActiveFocus()
            keyClick(Qt.Key_Down)
            verify(command(menu, "New Timer...").activeFocus)
            keyClick(Qt.Key_Down)
            verify(command(menu, "Focus Mode").activeFocus)
            keyClick(Qt.Key_Return)
            compare(spy.count, 1)
            compare(spy.signalArguments[0][0], "Focus")
            keyClick(Qt.Key_Up)
            keyClick(Qt.Key_Return)
            verify(menu.showingNewTimer)
            // Escape from a command still closes: first the sheet, then the drop-down.
            menu.forceActiveFocus()
            keyClick(Qt.Key_Escape)
            verify(!menu.showingNewTimer)
            const closes = createTemporaryObject(spyComponent, top, { target: menu, signalName: "closeRequested" })
            keyClick(Qt.Key_Up)
            verify(command(menu, "Quit").activeFocus)
            keyClick(Qt.Key_Escape)
            compare(closes.count, 1)
        }

        function test_quit() {
            const menu = make()
            const spy = createTemporaryObject(spyComponent, top, { target: menu, signalName: "quit" })
            mouseClick(command(menu, "Quit"))
            compare(spy.count, 1)
        }
    }

    Component {
        id: spyComponent

        SignalSpy {}
    }
}
