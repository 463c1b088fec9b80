import QtQuick
import QtQuick.Controls.Basic
import QtQuick.Layouts
import Larkspurhollow

// The Themes tab: the built-in and custom themes as cards, picked with a click, and an inline
// editor that makes or changes a custom theme. The editor's state lasts only while the tab is
// shown.
Flickable {
    id: view

    property bool isCreatingCustom: false
    // The custom theme being changed; null while a new one is made.
    property var editingTheme: null
    property string customName: qsTr("My Theme")
    property color customBackground: "#FFF5EB"
    property color customAccent: "#F26A1F"
    property color customText: "#3A2010"
    property color customProgress: "#F26A1F"

    readonly property var manager: App.themeManager
    readonly property var customThemes: manager ? manager.customThemes : []
    readonly property string currentId: manager ? manager.currentTheme.id : ""

    function colorOf(hex) { return manager ? manager.colorFromHex(hex) : "black" }

    function resetEditor() {
        editingTheme = null
        customName = qsTr("My Theme")
        customBackground = "#FFF5EB"
        customAccent = "#F26A1F"
        customText = "#3A2010"
        customProgress = "#F26A1F"
    }

    function startEditing(theme) {
        editingTheme = theme
        customName = theme.name
        customBackground = colorOf(theme.backgroundHex)
        customAccent = colorOf(theme.accentHex)
        customText = colorOf(theme.textHex)
        customProgress = colorOf(theme.progressHex)
        isCreatingCustom = true
    }

    // An edited theme keeps its id and kind, and with them its place in the list.
    function saveCustomTheme() {
        if (!manager) return
        let theme = manager.makeCustomTheme(customName, customBackground, customAccent,
                                            customText, customProgress)
        if (editingTheme !== null) {
            const fresh = theme
            theme = editingTheme
            theme.name = fresh.name
            theme.backgroundHex = fresh.backgroundHex
            theme.accentHex = fresh.accentHex
            theme.textHex = fresh.textHex
            theme.progressHex = fresh.progressHex
        }
        manager.saveCustomTheme(theme)
        isCreatingCustom = false
        editingTheme = null
    }

    contentHeight: column.implicitHeight + 2 * 24
    clip: true
    boundsBehavior: Flickable.StopAtBounds
    ScrollBar.vertical: ScrollBar { policy: ScrollBar.AsNeeded }

    component GroupTitle: Text {
        font.pixelSize: Style.font.subheadline
        font.weight: Font.Medium
        color: Style.tint(Style.text, 0.6)
    }

    component ThemeGrid: GridLayout {
        id: grid

        property var themes: []
        property bool editable: false

        Layout.fillWidth: true
        columns: 2
        columnSpacing: Style.spacing.medium
        rowSpacing: Style.spacing.large

        Repeater {
            model: grid.themes
            ThemeCard {
                required property var modelData

                // Equal weights give the two columns equal widths.
                Layout.fillWidth: true
                Layout.preferredWidth: 1
                theme: modelData
                editable: grid.editable
                isSelected: modelData.id === view.currentId
                onClicked: if (view.manager) view.manager.apply(modelData)
                onEditRequested: view.startEditing(modelData)
                onDeleteRequested: if (view.manager) view.manager.deleteCustomTheme(modelData.id)
            }
        }
    }

    ColumnLayout {
        id: column

        x: 24
        y: 24
        width: view.width - 2 * 24
        spacing: Style.spacing.huge

        Text {
            text: qsTr("Themes")
            font.pixelSize: Style.font.title3
            font.bold: true
            color: Style.text
        }

        ColumnLayout {
            Layout.fillWidth: true
            spacing: Style.spacing.large
            GroupTitle { text: qsTr("Built-in") }
            ThemeGrid { themes: view.manager ? view.manager.builtInThemes : [] }
        }

        ColumnLayout {
            Layout.fillWidth: true
            spacing: Style.spacing.large
            RowLayout {
                Layout.fillWidth: true
                GroupTitle { text: qsTr("Custom") }
                Item { Layout.fillWidth: true }
                ActionButton {
                    id: newButton
                    objectName: "newTheme"
                    flat: true
                    padding: 0
                    text: qsTr("New Theme")
                    background: Item {}
                    contentItem: Row {
                        spacing: Style.spacing.xsmall
                        // A plain plus sign in the label's own font.
                        Text {
                            text: "+"
                            font.pixelSize: Style.font.caption
                            font.weight: Font.Medium
                            color: Style.accent
                            Accessible.ignored: true
                        }
                        Text {
                            text: newButton.text
                            font.pixelSize: Style.font.caption
                            font.weight: Font.Medium
                            color: Style.accent
                        }
                    }
                    onClicked: {
                        view.resetEditor()
                        view.isCreatingCustom = true
                    }
                }
            }
            Text {
                visible: view.customThemes.length === 0 && !view.isCreatingCustom
                topPadding: 8
                bottomPadding: 8
                text: qsTr("No custom themes yet.")
                font.pixelSize: Style.font.caption
                color: Style.tint(Style.text, 0.4)
            }
            ThemeGrid {
                visible: view.customThemes.length > 0
                themes: view.customThemes
                editable: true
            }
        }

        Rectangle {
            objectName: "themeEditor"
            visible: view.isCreatingCustom
            Layout.fillWidth: true
            implicitHeight: editor.implicitHeight + 2 * 16
            radius: Style.radius.sheet
            color: Style.tint(Style.text, 0.04)

            ColumnLayout {
                id: editor

                anchors.fill: parent
                anchors.margins: 16
                spacing: 14

                RowLayout {
                    Layout.fillWidth: true
                    Text {
                        text: view.editingTheme !== null ? qsTr("Edit Theme") : qsTr("New Theme")
                        font.pixelSize: Style.font.subheadline
                        font.weight: Font.DemiBold
                        color: Style.text
                    }
                    Item { Layout.fillWidth: true }
                    SymbolButton {
                        symbol: "xmark"
                        symbolSize: Style.font.caption
                        symbolColor: Style.tint(Style.text, 0.5)
                        Accessible.name: qsTr("Close Theme Editor")
                        // The name and colours stay as they are for the next opening.
                        onClicked: {
                            view.isCreatingCustom = false
                            view.editingTheme = null
                        }
                    }
                }
                TextField {
                    objectName: "themeName"
                    Layout.fillWidth: true
                    text: view.customName
                    onTextEdited: view.customName = text
                    placeholderText: qsTr("Theme Name")
                    placeholderTextColor: Style.tint(Style.text, 0.4)
                    font.pixelSize: Style.font.headline
                    color: Style.text
                    padding: 8
                    Accessible.name: qsTr("Theme Name")
                    background: Rectangle {
                        radius: Style.radius.medium
                        color: Style.tint(Style.text, 0.05)
                    }
                }
                RowLayout {
                    Layout.fillWidth: true
                    spacing: Style.spacing.xxlarge
                    ThemeColorRow {
                        Layout.fillWidth: true
                        Layout.preferredWidth: 1
                        label: qsTr("Background")
                        color: view.customBackground
                        onPicked: c => view.customBackground = c
                    }
                    ThemeColorRow {
                        Layout.fillWidth: true
                        Layout.preferredWidth: 1
                        label: qsTr("Accent")
                        color: view.customAccent
                        onPicked: c => view.customAccent = c
                    }
                }
                RowLayout {
                    Layout.fillWidth: true
                    spacing: Style.spacing.xxlarge
                    ThemeColorRow {
                        Layout.fillWidth: true
                        Layout.preferredWidth: 1
                        label: qsTr("Text")
                        color: view.customText
                        onPicked: c => view.customText = c
                    }
                    ThemeColorRow {
                        Layout.fillWidth: true
                        Layout.preferredWidth: 1
                        label: qsTr("Progress")
                        color: view.customProgress
                        onPicked: c => view.customProgress = c
                    }
                }
                // The preview: the accent stripe carries the right-hand corners.
                Rectangle {
                    Layout.fillWidth: true
                    implicitHeight: 50
                    radius: 8
                    color: view.customBackground
                    Accessible.role: Accessible.Graphic
                    Accessible.name: qsTr("Theme Preview")

                    Column {
                        x: (parent.width - 40 - width) / 2
                        anchors.verticalCenter: parent.verticalCenter
                        spacing: 4
                        Text {
                            anchors.horizontalCenter: parent.horizontalCenter
                            text: "Aa"
                            font.pixelSize: Style.font.headline
                            color: view.customText
                        }
                        Rectangle {
                            anchors.horizontalCenter: parent.horizontalCenter
                            width: 30
                            height: 4
                            radius: 2
                            color: view.customProgress
                        }
                    }
                    Item {
                        id: previewAccent
                        anchors.right: parent.right
                        width: 40
                        height: parent.height
                        clip: true
                        Rectangle {
                            x: -8
                            width: parent.width + 8
                            height: parent.height
                            radius: 8
                            color: view.customAccent
                        }
                    }
                }
                ActionButton {
                    id: saveButton
                    objectName: "saveTheme"
                    Layout.fillWidth: true
                    flat: true
                    text: qsTr("Save Theme")
                    topPadding: 8
                    bottomPadding: 8
                    contentItem: Text {
                        text: saveButton.text
                        horizontalAlignment: Text.AlignHCenter
                        font.pixelSize: Style.font.subheadline
                        font.weight: Font.Medium
                        color: Style.accentForeground
                    }
                    background: Rectangle {
                        radius: 8
                        color: Style.accent
                    }
                    onClicked: view.saveCustomTheme()
                }
            }
        }
    }
}
