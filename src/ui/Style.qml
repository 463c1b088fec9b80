pragma Singleton
import QtQuick

// Colours and fonts that do not come from the theme: the desktop's own text colour at three
// strengths, and the translucent backing of panels and sheets.
QtObject {
    readonly property SystemPalette palette: SystemPalette { colorGroup: SystemPalette.Active }

    readonly property color primary: palette.windowText
    readonly property color secondary: tint(primary, 0.6)
    readonly property color tertiary: tint(primary, 0.35)
    readonly property color material: tint(palette.window, 0.94)
    readonly property string monoFamily: "monospace"
    // Clock and cup emojis default to plain text glyphs; ask for the colour font outright.
    readonly property string emojiFamily: "Noto Color Emoji"

    function tint(c, opacity) {
        return Qt.rgba(c.r, c.g, c.b, c.a * opacity)
    }
}
