import QtQuick
import QtQuick.Layouts
import Larkspurhollow

// The floating panel: a row of four tabs over the selected tab's content, and a close button in
// the top-right corner. The selected tab belongs to the owner, which keeps it across rebuilds.
Item {
    id: root

    property int selectedTab: PanelTab.Timers
    property bool showingNewTimer: false

    // `name` is the tab's object name, the same in every language.
    readonly property var tabs: [
        { tab: PanelTab.Timers, name: "Timers", label: qsTr("Timers"), symbol: "timer" },
        { tab: PanelTab.Focus, name: "Focus", label: qsTr("Focus"), symbol: "eye" },
        { tab: PanelTab.Sequences, name: "Sequences", label: qsTr("Sequences"), symbol: "list.bullet" },
        { tab: PanelTab.Stats, name: "Stats", label: qsTr("Stats"), symbol: "chart.bar" }
    ]

    signal closeRequested()

    implicitWidth: 400
    implicitHeight: 400
    focus: true
    Keys.onEscapePressed: root.closeRequested()

    Rectangle {
        id: material

        anchors.fill: parent
        radius: Style.radius.window
        color: Style.material
        border.width: Style.hairline
        border.color: Style.tint(Style.primary, Style.opacity.outline)
    }
    WindowDragArea {
        anchors.fill: parent
    }

    ColumnLayout {
        anchors.fill: parent
        spacing: 0

        Row {
            leftPadding: Style.spacing.xlarge
            // Clear of the close button.
            rightPadding: Style.spacing.xlarge + 20
            topPadding: Style.spacing.large
            bottomPadding: Style.spacing.small
            spacing: Style.spacing.xxsmall

            Repeater {
                model: root.tabs
                delegate: ActionButton {
                    id: tabButton

                    required property var modelData
                    readonly property bool selected: root.selectedTab === modelData.tab

                    objectName: "tab" + modelData.name
                    flat: true
                    leftPadding: Style.spacing.large
                    rightPadding: Style.spacing.large
                    topPadding: Style.spacing.small
                    bottomPadding: Style.spacing.small
                    focusPolicy: Qt.NoFocus
                    text: modelData.label
                    Accessible.role: Accessible.PageTab
                    Accessible.selected: selected
                    onClicked: root.selectedTab = modelData.tab
                    contentItem: Row {
                        spacing: Style.spacing.xsmall
                        Symbol {
                            name: tabButton.modelData.symbol
                            size: Style.font.caption
                            color: tabButton.selected ? Style.accentForeground : Style.secondary
                            anchors.verticalCenter: parent.verticalCenter
                        }
                        Text {
                            text: tabButton.text
                            font.pixelSize: Style.font.subheadline
                            font.weight: Font.Medium
                            color: tabButton.selected ? Style.accentForeground : Style.secondary
                            anchors.verticalCenter: parent.verticalCenter
                        }
                    }
                    background: Rectangle {
                        radius: Style.radius.medium
                        color: tabButton.selected ? Style.accent : "transparent"
                    }
                }
            }
        }
        Divider {
            Layout.fillWidth: true
            inset: Style.spacing.xlarge
        }
        Item {
            Layout.fillWidth: true
            Layout.fillHeight: true

            Loader {
                anchors.fill: parent
                active: root.selectedTab === PanelTab.Timers
                visible: active
                sourceComponent: timersContent
            }
            Loader {
                anchors.fill: parent
                active: root.selectedTab === PanelTab.Focus
                visible: active
                sourceComponent: FocusModeView {}
            }
            Loader {
                anchors.fill: parent
                active: root.selectedTab === PanelTab.Stats
                visible: active
                sourceComponent: StatsView {}
            }
            Loader {
                anchors.fill: parent
                active: root.selectedTab === PanelTab.Sequences
                visible: active
                sourceComponent: SequenceListView {}
            }
        }
    }

    SymbolButton {
        objectName: "closeButton"

        anchors.top: parent.top
        anchors.right: parent.right
        anchors.margins: Style.spacing.medium
        width: 18
        height: 18
        focusPolicy: Qt.NoFocus
        symbol: "xmark"
        symbolSize: Style.font.caption
        symbolWeight: Font.DemiBold
        fill: Style.tint(Style.primary, hovered ? Style.opacity.separator : Style.opacity.control)
        Accessible.name: qsTr("Close Timer Panel")
        onClicked: root.closeRequested()
    }

    ResizeGrip {
        anchors.right: parent.right
        anchors.bottom: parent.bottom
        anchors.margins: Style.spacing.xsmall
    }

    Component {
        id: timersContent

        ColumnLayout {
            spacing: 0

            RowLayout {
                Layout.fillWidth: true
                Layout.leftMargin: Style.spacing.xxlarge
                Layout.rightMargin: Style.spacing.xxlarge
                Layout.topMargin: Style.spacing.medium
                Layout.bottomMargin: Style.spacing.xsmall

                Text {
                    text: qsTr("Timers")
                    font.pixelSize: Style.font.title3
                    font.weight: Font.DemiBold
                    color: Style.primary
                }
                Text {
                    Layout.fillWidth: true
                    horizontalAlignment: Text.AlignRight
                    objectName: "activeCount"
                    visible: App.timerManager && App.timerManager.activeCount >= 1
                    text: App.timerManager ? ViewFormats.activeCountText(App.timerManager.activeCount) : ""
                    font.pixelSize: Style.font.subheadline
                    font.weight: Font.Medium
                    color: Style.secondary
                }
            }
            Item {
                Layout.fillWidth: true
                Layout.fillHeight: true

                TimerListView {
                    id: list
                    objectName: "timerList"

                    anchors.fill: parent
                    anchors.leftMargin: Style.spacing.xlarge
                    anchors.rightMargin: Style.spacing.xlarge
                    anchors.topMargin: Style.spacing.medium
                    anchors.bottomMargin: Style.spacing.medium
                    // The last card fades out before the empty state shows.
                    visible: count > 0 || removing
                }
                Column {
                    anchors.centerIn: parent
                    spacing: Style.spacing.medium
                    objectName: "emptyState"
                    visible: !list.visible
                    Text {
                        anchors.horizontalCenter: parent.horizontalCenter
                        text: qsTr("No timers yet")
                        font.pixelSize: Style.font.headline
                        color: Style.secondary
                    }
                    Text {
                        anchors.horizontalCenter: parent.horizontalCenter
                        text: qsTr("Tap + to create one")
                        font.pixelSize: Style.font.subheadline
                        color: Style.tertiary
                    }
                }
            }
            Divider {
                Layout.fillWidth: true
                inset: Style.spacing.xlarge
            }
            ActionButton {
                id: addButton
                objectName: "addButton"

                Layout.leftMargin: Style.spacing.xxlarge
                Layout.topMargin: Style.spacing.large
                Layout.bottomMargin: Style.spacing.large
                flat: true
                padding: 0
                text: qsTr("New Timer")
                opacity: hovered ? 1.0 : Style.opacity.idle
                onClicked: root.showingNewTimer = true
                contentItem: Row {
                    spacing: Style.spacing.xsmall
                    Symbol {
                        name: "plus.circle.fill"
                        size: Style.font.body
                        color: Style.accent
                        anchors.verticalCenter: parent.verticalCenter
                    }
                    Text {
                        text: addButton.text
                        font.pixelSize: Style.font.body
                        font.weight: Font.Medium
                        color: Style.accent
                    }
                }
                background: null
            }
        }
    }

    SheetPopup {
        open: root.showingNewTimer
        hostWindow: root.Window.window
        onDismissed: root.showingNewTimer = false
    }
}
