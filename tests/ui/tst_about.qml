import QtQuick
import QtTest
import Larkspurhollow
import LarkspurTesting

TestCase {
    id: testCase

    name: "About"
    when: windowShown
    visible: true
    width: 300
    height: 300

    AboutView {
        id: about
    }

    function textItems(item, into) {
        if (item.text !== undefined && item instanceof Text)
            into.push(item)
        for (let i = 0; i < item.children.length; ++i)
            textItems(item.children[i], into)
        return into
    }

    function textNamed(text) {
        const found = textItems(about, []).filter(t => t.text === text && t.visible)
        compare(found.length, 1, "expected one text " + text)
        return found[0]
    }

    // Text keeps its colour in eight bits a channel.
    function sameColor(a, b) {
        return [a.r - b.r, a.g - b.g, a.b - b.b, a.a - b.a].every(d => Math.abs(d) < 1 / 255)
    }

    function test_texts_data() {
        return [
            { tag: "name", text: "Larkspurhollow", size: 16, weight: Font.DemiBold, tone: Style.primary },
            { tag: "maker", text: "by Ottermere Apps", size: 12, weight: Font.Normal, tone: Style.secondary },
            { tag: "version", text: "Version 1.0.0", size: 10, weight: Font.Normal, tone: Style.tertiary },
        ]
    }

    function test_texts(data) {
        const t = textNamed(data.text)
        compare(t.font.pixelSize, data.size)
        compare(t.font.weight, data.weight)
        verify(sameColor(t.color, data.tone), t.color + " is not " + data.tone)
        // Centred in the panel.
        const mid = t.mapToItem(about, t.width / 2, 0).x
        fuzzyCompare(mid, about.width / 2, 1)
    }

    function test_order() {
        const tops = ["Larkspurhollow", "by Ottermere Apps", "ottermere.example", "Version 1.0.0"]
            .map(s => textNamed(s).mapToItem(about, 0, 0).y)
        const icon = findChild(about, "appIcon")
        verify(icon.mapToItem(about, 0, 0).y < tops[0])
        for (let i = 1; i < tops.length; ++i)
            verify(tops[i - 1] < tops[i])
        compare(about.width, 240)
    }

    function test_iconLoads() {
        const icon = findChild(about, "appIcon")
        verify(icon)
        tryCompare(icon, "status", Image.Ready, 2000)
        compare(icon.width, 64)
        compare(icon.height, 64)
        // Drawn from the vector at the size shown.
        compare(icon.sourceSize.width, 64)
        verify(icon.paintedWidth > 60)
    }

    function test_linkOpensTheSite() {
        const link = findChild(about, "siteLink")
        verify(link)
        compare(link.Accessible.role, Accessible.Link)
        compare(link.Accessible.name, "ottermere.example")
        const label = textNamed("ottermere.example")
        compare(label.font.pixelSize, 11)
        verify(sameColor(label.color, link.palette.link))
        verify(!label.font.underline)
        mouseMove(link, link.width / 2, link.height / 2)
        tryVerify(() => label.font.underline)
        mouseClick(link)
        compare(TestFixture.openedUrls, ["https://ottermere.example/"])
        mouseMove(testCase, testCase.width - 1, testCase.height - 1)
        tryVerify(() => !label.font.underline)
    }
}
