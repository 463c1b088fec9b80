import QtQuick
import QtQuick.Controls.Basic
import Larkspurhollow

// The edit form of a timer card: name, emoji and, for an idle timer, the duration. A click
// outside closes it without changes.
Popup {
    id: popover

    required property Item card

    // Below the card when there is room in the window, else above it.
    y: card.height + 4
    x: (card.width - width) / 2
    width: 220
    padding: 16
    margins: 4
    modal: false
    focus: true
    closePolicy: Popup.CloseOnEscape | Popup.CloseOnPressOutside
    onClosed: card.showingEdit = false
    onOpened: nameField.forceActiveFocus()

    background: Rectangle {
        radius: 10
        color: Style.palette.window
        border.width: 0.5
        border.color: Style.tint(Style.primary, 0.2)
    }

    contentItem: Column {
        spacing: 12

        Text {
            text: "Edit Timer"
            font.pixelSize: 13
            font.weight: Font.DemiBold
            color: Style.primary
        }
        TextField {
            id: nameField
            objectName: "editName"

            width: parent.width
            placeholderText: "Name"
            font.pixelSize: 12
            text: popover.card.editName
            onTextEdited: popover.card.editName = text
            Accessible.name: "Name"
        }
        Row {
            spacing: 8
            Text {
                text: "Emoji"
                font.pixelSize: 12
                color: Style.primary
                anchors.verticalCenter: parent.verticalCenter
            }
            TextField {
                width: 40
                font.pixelSize: 14
                font.family: Style.emojiFamily
                // Colour glyphs need Qt's own text rendering.
                renderType: Text.QtRendering
                text: popover.card.editEmoji
                objectName: "editEmoji"
                onTextEdited: popover.card.editEmoji = text
                Accessible.name: "Emoji"
            }
        }
        DurationPickerView {
            objectName: "editDuration"
            Binding on duration { value: popover.card.editDuration }
            onStepped: value => popover.card.editDuration = value
        }
        Row {
            spacing: 12
            Button {
                Accessible.onPressAction: clicked()
                text: "Cancel"
                objectName: "editCancel"
                flat: true
                font.pixelSize: 12
                onClicked: popover.close()
            }
            Button {
                id: save
                Accessible.onPressAction: clicked()
                objectName: "editSave"

                text: "Save"
                flat: true
                font.pixelSize: 12
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
