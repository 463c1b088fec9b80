import QtQuick
import QtTest
import Larkspurhollow
import LarkspurTesting

// What the theme editor saves: its defaults, opaque upper-case hex, and an edit kept in place.
Item {
    id: top
    width: 420
    height: 700
    Component { id: viewComponent; ThemeSettingsView { anchors.fill: parent } }

    TestCase {
        name: "ThemeSettings"
        when: windowShown

        function init() { TestFixture.resetAll(); wait(0) }
        function hexes(t) { return [t.name, t.kind, t.backgroundHex, t.accentHex, t.textHex, t.progressHex] }

        function test_editorSavesDefaultsThenEditsInPlace() {
            const view = createTemporaryObject(viewComponent, top)
            mouseClick(findChild(view, "newTheme"))
            view.customName = "A"
            view.saveCustomTheme()
            compare(hexes(App.themeManager.customThemes[0]),
                    ["A", "custom", "#FFF5EB", "#F26A1F", "#3A2010", "#F26A1F"])
            view.resetEditor()
            view.saveCustomTheme()
            const first = App.themeManager.customThemes[0]
            view.startEditing(first)
            compare(view.customName, "A")
            view.customAccent = "#80ab12cd"  // half-transparent #AB12CD
            view.saveCustomTheme()
            const edited = App.themeManager.customThemes
            compare(edited.length, 2)
            compare(edited[0].id, first.id)
            compare(hexes(edited[0]), ["A", "custom", "#FFF5EB", "#AB12CD", "#3A2010", "#F26A1F"])
            verify(!view.isCreatingCustom)
        }
    }
}
