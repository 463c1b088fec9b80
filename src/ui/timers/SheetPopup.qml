import QtQuick
import QtQuick.Controls.Basic
import QtQuick.Templates as T
import Larkspurhollow

// The new-timer sheet over the floating panel. The panel grows for it when it is too small and
// goes back to its size afterwards. The form is made anew at each opening.
Popup {
    id: popup

    property bool open: false
    property var hostWindow
    property int grownFrom: -1

    signal dismissed()

    readonly property int neededHeight: 520 + 2 * Style.spacing.medium

    parent: T.Overlay.overlay
    anchors.centerIn: parent
    modal: true
    dim: true
    padding: 0
    visible: open
    closePolicy: Popup.CloseOnEscape
    onAboutToShow: {
        if (hostWindow && hostWindow.height < neededHeight) {
            grownFrom = hostWindow.height
            hostWindow.height = Math.min(neededHeight, hostWindow.maximumHeight)
        }
    }
    onClosed: {
        if (hostWindow && grownFrom > 0)
            hostWindow.height = grownFrom
        grownFrom = -1
        dismissed()
    }
    background: PopupBackground {
        radius: Style.radius.sheet
    }
    contentItem: Loader {
        active: popup.visible
        sourceComponent: NewTimerSheet {
            height: Math.min(implicitHeight,
                             (popup.parent ? popup.parent.height : implicitHeight) - 2 * Style.spacing.medium)
            onDismissed: popup.close()
        }
    }
}
