import QtQuick
import QtQuick.Layouts
import Larkspurhollow

// The settings window's content: four tab buttons over the chosen tab. Built anew with each
// window, so it starts on General.
Rectangle {
    id: root

    property int selectedTab: 0
    readonly property var tabs: [
        { name: "General", label: qsTr("General"), symbol: "gear" },
        { name: "Themes", label: qsTr("Themes"), symbol: "paintpalette" },
        { name: "Sounds", label: qsTr("Sounds"), symbol: "speaker.wave.2" },
        { name: "Presets", label: qsTr("Presets"), symbol: "clock.arrow.circlepath" }
    ]

    color: Style.background

    ColumnLayout {
        anchors.fill: parent
        spacing: 0

        Rectangle {
            Layout.fillWidth: true
            implicitHeight: tabRow.implicitHeight + 2 * Style.spacing.xlarge
            color: Style.tint(Style.text, Style.opacity.well)

            Row {
                id: tabRow

                anchors.centerIn: parent
                spacing: Style.spacing.xxsmall

                Repeater {
                    model: root.tabs
                    ActionButton {
                        id: tabButton

                        required property var modelData
                        required property int index
                        readonly property bool selected: root.selectedTab === index

                        objectName: "settingsTab" + modelData.name
                        flat: true
                        text: modelData.label
                        leftPadding: Style.spacing.xlarge
                        rightPadding: Style.spacing.xlarge
                        topPadding: Style.spacing.medium
                        bottomPadding: Style.spacing.medium
                        Accessible.selected: selected
                        onClicked: root.selectedTab = index
                        contentItem: Row {
                            spacing: Style.spacing.small
                            Symbol {
                                name: tabButton.modelData.symbol
                                size: Style.font.caption
                                color: tabButton.selected ? Style.accentForeground
                                                          : Style.tint(Style.text, 0.6)
                                anchors.verticalCenter: parent.verticalCenter
                            }
                            Text {
                                text: tabButton.text
                                font.pixelSize: Style.font.caption
                                font.weight: Font.Medium
                                color: tabButton.selected ? Style.accentForeground
                                                          : Style.tint(Style.text, 0.6)
                            }
                        }
                        background: Rectangle {
                            radius: Style.radius.medium + 2
                            color: tabButton.selected ? Style.accent : "transparent"
                        }
                    }
                }
            }
        }
        Rectangle {
            Layout.fillWidth: true
            implicitHeight: 1
            color: Style.tint(Style.text, Style.opacity.hover)
        }
        Loader {
            Layout.fillWidth: true
            Layout.fillHeight: true
            active: root.selectedTab === 0
            visible: active
            sourceComponent: GeneralSettingsTab {}
        }
        Loader {
            Layout.fillWidth: true
            Layout.fillHeight: true
            active: root.selectedTab !== 0
            visible: active
            source: ["", "ThemeSettingsView.qml", "SoundSettingsView.qml",
                     "PresetManagerView.qml"][root.selectedTab]
        }
    }
}
