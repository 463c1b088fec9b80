pragma Singleton
import QtQuick
import Larkspurhollow

// What the views draw with. The desktop's own text colour at three strengths and the translucent
// backing of panels and sheets come from the system palette; the theme's colours come from the
// theme manager and follow it when the user picks another theme.
QtObject {
    readonly property SystemPalette palette: SystemPalette { colorGroup: SystemPalette.Active }

    readonly property color primary: palette.windowText
    readonly property color secondary: tint(primary, opacity.secondary)
    readonly property color tertiary: tint(primary, opacity.tertiary)
    readonly property color material: tint(palette.window, opacity.material)
    readonly property string monoFamily: "monospace"
    // Clock and cup emojis default to plain text glyphs; ask for the colour font outright.
    readonly property string emojiFamily: "Noto Color Emoji"

    // The current theme's colours; without a theme manager (a view on its own), neutral ones.
    readonly property color text: App.themeManager ? App.themeManager.textColor : primary
    readonly property color accent: App.themeManager ? App.themeManager.accentColor : "steelblue"
    readonly property color background: App.themeManager ? App.themeManager.backgroundColor
                                                          : palette.window
    readonly property color progress: App.themeManager ? App.themeManager.progressColor : accent

    // Text and symbols on an accent fill.
    readonly property color accentForeground: "white"
    // Delete buttons.
    readonly property color destructive: "red"
    readonly property color separator: tint(primary, opacity.separator)
    readonly property color popupBorder: tint(primary, opacity.border)
    readonly property real hairline: 0.5

    readonly property Opacities opacity: Opacities {}
    readonly property TypeScale font: TypeScale {}
    readonly property Spacing spacing: Spacing {}
    readonly property Radii radius: Radii {}

    function tint(c, opacity) {
        return Qt.rgba(c.r, c.g, c.b, c.a * opacity)
    }

    // How much of a colour shows in a fill or an edge drawn with tint(), faintest first.
    component Opacities: QtObject {
        // The ground of a card and of the duration picker.
        readonly property real well: 0.03
        // A running timer's row in the drop-down.
        readonly property real row: 0.04
        // A segment at rest; an emoji under the pointer.
        readonly property real rest: 0.05
        // Chips and round buttons at rest; the edge of a card.
        readonly property real control: 0.06
        // A command under the pointer or with the keyboard focus.
        readonly property real command: 0.08
        // Chips and segments under the pointer, the chosen emoji, the edges of chips and segments,
        // the larger round button at rest.
        readonly property real hover: 0.1
        // Hairlines; a round button under the pointer.
        readonly property real separator: 0.12
        // The floating panel's edge and the ring's track.
        readonly property real outline: 0.15
        readonly property real accentHover: 0.16
        // The edges of popups; the larger round button under the pointer.
        readonly property real border: 0.2
        readonly property real tertiary: 0.35
        readonly property real secondary: 0.6
        readonly property real material: 0.94

        // Of whole items: a held step button's glyph, a command link at rest, a held button.
        readonly property real pressed: 0.5
        readonly property real idle: 0.7
        readonly property real down: 0.8
    }

    // Text sizes in pixels, largest first.
    component TypeScale: QtObject {
        readonly property int title: 16
        readonly property int title2: 15
        readonly property int title3: 14
        readonly property int headline: 13
        readonly property int body: 12
        readonly property int subheadline: 11
        readonly property int caption: 10
        readonly property int caption2: 9

        // Beyond the scale: the digits of a time, the emojis and symbols shown large, and the
        // symbol that stands in for the program's icon.
        readonly property int display: 22
        readonly property int display2: 20
        readonly property int display3: 18
        readonly property int icon: 56
    }

    component Spacing: QtObject {
        readonly property int xxsmall: 2
        readonly property int xsmall: 4
        readonly property int small: 6
        readonly property int medium: 8
        readonly property int large: 10
        readonly property int xlarge: 12
        readonly property int xxlarge: 16
        readonly property int huge: 20
    }

    // Corner radii; capsules and circles take half their height instead.
    component Radii: QtObject {
        readonly property int xsmall: 4
        readonly property int small: 5
        readonly property int medium: 6
        readonly property int popup: 10
        readonly property int sheet: 12
        readonly property int card: 14
        readonly property int window: 20
    }
}
