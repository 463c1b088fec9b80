import QtQuick
import QtQuick.Controls.Basic

// A switch that screen readers can flip; the owner hears of it through toggled(), as after a
// click.
Switch {
    Accessible.onToggleAction: { toggle(); toggled() }
    Accessible.onPressAction: { toggle(); toggled() }
}
