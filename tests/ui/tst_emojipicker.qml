import QtQuick
import QtTest
import Larkspurhollow

TestCase {
    id: testCase

    name: "EmojiPicker"
    when: windowShown
    visible: true
    width: 240
    height: 320

    EmojiPickerView {
        id: picker
    }

    SignalSpy {
        id: dismissedSpy

        target: picker
        signalName: "dismissed"
    }

    SignalSpy {
        id: changedSpy

        target: picker
        signalName: "selectedEmojiChanged"
    }

    readonly property var emojis: ViewFormats.pickerEmojis()

    function cells() {
        const found = []
        const walk = item => {
            if (item.Accessible && item.Accessible.role === Accessible.Button)
                found.push(item)
            for (let i = 0; i < item.children.length; ++i)
                walk(item.children[i])
        }
        walk(picker)
        return found
    }

    function highlighted() {
        return cells().filter(c => c.background.color.a > 0).map(c => c.Accessible.name)
    }

    function init() {
        picker.selectedEmoji = ""
        // Away from every cell, so that no hover shading shows.
        mouseMove(testCase, testCase.width - 1, testCase.height - 1)
        dismissedSpy.clear()
        changedSpy.clear()
    }

    function test_cellsInOrderWithTheirNames() {
        const all = cells()
        compare(all.length, 30)
        compare(all.map(c => c.Accessible.name), emojis)
        // Five to a row, filled row by row.
        const first = all[0].mapToItem(picker, 0, 0)
        const sixth = all[5].mapToItem(picker, 0, 0)
        const fifth = all[4].mapToItem(picker, 0, 0)
        compare(sixth.x, first.x)
        compare(sixth.y, first.y + 34 + 4)
        compare(fifth.x, first.x + 4 * (36 + 4))
        compare(fifth.y, first.y)
        compare(picker.width, 210)
    }

    function test_highlight_data() {
        return [
            { tag: "first", selected: "\u23F1", cells: ["\u23F1"] },
            { tag: "with presentation selector", selected: "\u2600\uFE0F", cells: ["\u2600\uFE0F"] },
            { tag: "selector missing is another text", selected: "\u2600", cells: [] },
            { tag: "selector added is another text", selected: "\u23F1\uFE0F", cells: [] },
            { tag: "last", selected: "\uD83C\uDFA7", cells: ["\uD83C\uDFA7"] },
            { tag: "not in the list", selected: "\uD83E\uDD84", cells: [] },
            { tag: "none", selected: "", cells: [] },
        ]
    }

    function test_highlight(data) {
        picker.selectedEmoji = data.selected
        compare(highlighted(), data.cells)
        compare(dismissedSpy.count, 0)
    }

    function test_choosingWritesThenDismisses() {
        picker.selectedEmoji = emojis[0]
        changedSpy.clear()
        let valueAtDismiss = null
        const seen = () => valueAtDismiss = picker.selectedEmoji
        picker.dismissed.connect(seen)
        mouseClick(cells()[10])
        picker.dismissed.disconnect(seen)
        compare(picker.selectedEmoji, emojis[10])
        compare(valueAtDismiss, emojis[10])
        compare(changedSpy.count, 1)
        compare(dismissedSpy.count, 1)
        compare(highlighted(), [emojis[10]])
    }

    function test_choosingTheSelectedOneStillDismisses() {
        picker.selectedEmoji = emojis[24]
        changedSpy.clear()
        mouseClick(cells()[24])
        compare(picker.selectedEmoji, emojis[24])
        compare(dismissedSpy.count, 1)
        compare(changedSpy.count, 0)
    }

    function test_choosingReplacesAnUnlistedEmoji() {
        picker.selectedEmoji = "\uD83E\uDD84"
        mouseClick(cells()[29])
        compare(picker.selectedEmoji, emojis[29])
        compare(dismissedSpy.count, 1)
    }

    function test_keyboardChooses() {
        const cell = cells()[3]
        cell.forceActiveFocus()
        keyClick(Qt.Key_Space)
        compare(picker.selectedEmoji, emojis[3])
        compare(dismissedSpy.count, 1)
    }

    function test_hoverIsNotTakenForSelection() {
        picker.selectedEmoji = emojis[0]
        const cell = cells()[7]
        mouseMove(cell, cell.width / 2, cell.height / 2)
        const shade = cell.background.color.a
        verify(shade > 0)
        verify(shade < cells()[0].background.color.a)
    }
}
