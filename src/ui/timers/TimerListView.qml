import QtQuick
import Larkspurhollow

// Every timer as a card, in list order. Cards that come or go fade and scale; the others close
// the gap.
ListView {
    id: list

    spacing: Style.spacing.medium
    clip: true
    boundsBehavior: Flickable.StopAtBounds
    model: TimerListModel { timerManager: App.timerManager }

    delegate: Item {
        id: slot

        required property TimerInstance timer

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
    remove: Transition {
        NumberAnimation { property: "opacity"; to: 0; duration: 200; easing.type: Easing.InOutQuad }
        NumberAnimation { property: "scale"; to: 0.9; duration: 200; easing.type: Easing.InOutQuad }
    }
    displaced: Transition {
        NumberAnimation { property: "y"; duration: 250; easing.type: Easing.InOutQuad }
    }
}
