import QtQuick
import QtQuick.Controls.Basic

// The views' button. Screen readers find it by its text unless given another name and can press
// it; `toolTip`, when set, shows once the pointer has rested on it for a moment.
Button {
    property string toolTip

    hoverEnabled: true
    Accessible.name: text
    Accessible.onPressAction: clicked()
    ToolTip.text: toolTip
    ToolTip.visible: toolTip !== "" && hovered
    // The wait of desktop tooltips.
    ToolTip.delay: 700
}
