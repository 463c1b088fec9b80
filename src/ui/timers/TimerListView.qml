import QtQuick
import Larkspurhollow

// Every timer as a card, in list order. Cards that come or go fade and scale; the others close
// the gap.
ListView {
    id: list

    // A card that left is still fading out. (A Transition's own `running` is not kept up to date
    // for a view's item transitions.)
    readonly property bool removing: fadeOut.running
    readonly property int fadeDuration: 200

    spacing: Style.spacing.medium
    clip: true
    boundsBehavior: Flickable.StopAtBounds
    model: TimerListModel { timerManager: App.timerManager }

    delegate: Item {
        id: slot

        required property TimerInstance timer

        ListView.onRemove: fadeOut.restart()

        width: list.width
        height: cardView.height

        TimerCardView {
            id: cardView

            anchors.horizontalCenter: parent.horizontalCenter
            timer: slot.timer
            width: Math.min(280, slot.width)
        }
    }

    add: Transition {
        NumberAnimation { property: "opacity"; from: 0; to: 1; duration: 250; easing.type: Easing.InOutQuad }
        NumberAnimation { property: "scale"; from: 0.9; to: 1; duration: 250; easing.type: Easing.InOutQuad }
    }
    Timer {
        id: fadeOut
        interval: list.fadeDuration
    }

    remove: Transition {
        NumberAnimation { property: "opacity"; to: 0; duration: list.fadeDuration; easing.type: Easing.InOutQuad }
        NumberAnimation { property: "scale"; to: 0.9; duration: list.fadeDuration; easing.type: Easing.InOutQuad }
    }
    displaced: Transition {
        NumberAnimation { property: "y"; duration: 250; easing.type: Easing.InOutQuad }
    }
}
