import QtQuick
import QtQuick.Controls.Basic
import Larkspurhollow

// The edit form of a timer card: name, emoji and, for an idle timer, the duration. A click
// outside closes it without changes.
Popup {
    id: popover

    required property Item card

    // Below the card when there is room in the window, else above it.
    y: card.height + Style.spacing.xsmall
    x: (card.width - width) / 2
    width: 220
    padding: Style.spacing.xxlarge
    margins: Style.spacing.xsmall
    modal: false
    focus: true
    closePolicy: Popup.CloseOnEscape | Popup.CloseOnPressOutside
    onClosed: card.showingEdit = false
    onOpened: nameField.forceActiveFocus()

    background: PopupBackground {}

    contentItem: Column {
        spacing: Style.spacing.xlarge

        Text {
            text: qsTr("Edit Timer")
            font.pixelSize: Style.font.headline
            font.weight: Font.DemiBold
            color: Style.primary
        }
        TextField {
            id: nameField
            objectName: "editName"

            width: parent.width
            placeholderText: qsTr("Name")
            font.pixelSize: Style.font.body
            text: popover.card.editName
            onTextEdited: popover.card.editName = text
            Accessible.name: qsTr("Name")
        }
        Row {
            spacing: Style.spacing.medium
            Text {
                text: qsTr("Emoji")
                font.pixelSize: Style.font.body
                color: Style.primary
                anchors.verticalCenter: parent.verticalCenter
            }
            TextField {
                width: 40
                font.pixelSize: Style.font.title3
                font.family: Style.emojiFamily
                // Colour glyphs need Qt's own text rendering.
                renderType: Text.QtRendering
                text: popover.card.editEmoji
                objectName: "editEmoji"
                onTextEdited: popover.card.editEmoji = text
                Accessible.name: qsTr("Emoji")
            }
        }
        DurationPickerView {
            objectName: "editDuration"
            Binding on duration { value: popover.card.editDuration }
            onStepped: value => popover.card.editDuration = value
        }
        Row {
            spacing: Style.spacing.xlarge
            ActionButton {
                text: qsTr("Cancel")
                objectName: "editCancel"
                flat: true
                font.pixelSize: Style.font.body
                onClicked: popover.close()
            }
            ActionButton {
                id: save
                objectName: "editSave"

                text: qsTr("Save")
                flat: true
                font.pixelSize: Style.font.body
                font.weight: Font.DemiBold
                contentItem: Text {
                    text: save.text
                    font: save.font
                    color: popover.card.timerColor
                    horizontalAlignment: Text.AlignHCenter
                    verticalAlignment: Text.AlignVCenter
                }
                onClicked: popover.card.saveEdit()
            }
        }
    }
}
