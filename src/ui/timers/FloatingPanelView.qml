import QtQuick
import QtQuick.Controls.Basic
import Larkspurhollow

// The floating panel: a row of four tabs over the selected tab's content, and a close button in
// the top-right corner. The selected tab belongs to the owner, which keeps it across rebuilds.
Item {
    id: root

    property int selectedTab: PanelTab.Timers
    property bool showingNewTimer: false
    property string hoveredButton: ""

    readonly property color accent: App.themeManager ? App.themeManager.accentColor : "steelblue"
    readonly property var tabs: [
        { tab: PanelTab.Timers, label: "Timers", symbol: "timer" },
        { tab: PanelTab.Focus, label: "Focus", symbol: "eye" },
        { tab: PanelTab.Sequences, label: "Sequences", symbol: "list.bullet" },
        { tab: PanelTab.Stats, label: "Stats", symbol: "chart.bar" }
    ]

    signal closeRequested()

    implicitWidth: 400
    implicitHeight: 400
    focus: true
    Keys.onEscapePressed: root.closeRequested()

    Rectangle {
        id: material

        anchors.fill: parent
        radius: 20
        color: Style.material
        border.width: 0.5
        border.color: Style.tint(Style.primary, 0.15)
    }
    WindowDragArea {
        anchors.fill: parent
    }

    Column {
        id: main

        anchors.fill: parent

        Row {
            id: tabRow

            leftPadding: 12
            rightPadding: 12 + 20
            topPadding: 10
            bottomPadding: 6
            spacing: 2

            Repeater {
                model: root.tabs
                delegate: Button {
                    id: tabButton
                    Accessible.onPressAction: clicked()

                    required property var modelData
                    readonly property bool selected: root.selectedTab === modelData.tab

                    objectName: "tab" + modelData.label
                    flat: true
                    leftPadding: 10
                    rightPadding: 10
                    topPadding: 6
                    bottomPadding: 6
                    focusPolicy: Qt.NoFocus
                    Accessible.role: Accessible.PageTab
                    Accessible.name: modelData.label
                    Accessible.selected: selected
                    onClicked: root.selectedTab = modelData.tab
                    contentItem: Row {
                        spacing: 4
                        Symbol {
                            name: tabButton.modelData.symbol
                            size: 10
                            color: tabButton.selected ? "white" : Style.tint(Style.primary, 0.6)
                            anchors.verticalCenter: parent.verticalCenter
                        }
                        Text {
                            text: tabButton.modelData.label
                            font.pixelSize: 11
                            font.weight: Font.Medium
                            color: tabButton.selected ? "white" : Style.tint(Style.primary, 0.6)
                            anchors.verticalCenter: parent.verticalCenter
                        }
                    }
                    background: Rectangle {
                        radius: 6
                        color: tabButton.selected ? root.accent : "transparent"
                    }
                }
            }
        }
        Divider {
            width: parent.width
            inset: 12
        }
        Item {
            id: page

            width: parent.width
            height: main.height - tabRow.height - 1

            Loader {
                anchors.fill: parent
                active: root.selectedTab === PanelTab.Timers
                visible: active
                sourceComponent: timersContent
            }
            // The Focus, Sequences and Stats pages arrive with their own views.
        }
    }

    Button {
        id: closeButton
        Accessible.onPressAction: clicked()
        objectName: "closeButton"

        anchors.top: parent.top
        anchors.right: parent.right
        anchors.margins: 8
        width: 18
        height: 18
        padding: 0
        flat: true
        hoverEnabled: true
        focusPolicy: Qt.NoFocus
        Accessible.name: "Close Timer Panel"
        onHoveredChanged: root.hoveredButton = hovered ? "close" : ""
        onClicked: root.closeRequested()
        contentItem: Symbol {
            name: "xmark"
            size: 10
            font.weight: Font.DemiBold
            color: Style.secondary
        }
        background: Rectangle {
            radius: width / 2
            color: Style.tint(Style.primary, root.hoveredButton === "close" ? 0.12 : 0.06)
        }
    }

    ResizeGrip {
        anchors.right: parent.right
        anchors.bottom: parent.bottom
        anchors.margins: 4
    }

    Component {
        id: timersContent

        Column {
            id: timersColumn

            Item {
                id: header

                width: parent.width
                height: 8 + headerTitle.height + 4
                Text {
                    id: headerTitle

                    x: 16
                    y: 8
                    text: "Timers"
                    font.pixelSize: 14
                    font.weight: Font.DemiBold
                    color: Style.primary
                }
                Text {
                    anchors.right: parent.right
                    anchors.rightMargin: 16
                    anchors.verticalCenter: headerTitle.verticalCenter
                    objectName: "activeCount"
                    visible: App.timerManager && App.timerManager.activeCount >= 1
                    text: App.timerManager ? ViewFormats.activeCountText(App.timerManager.activeCount) : ""
                    font.pixelSize: 11
                    font.weight: Font.Medium
                    color: Style.secondary
                }
            }
            Item {
                width: parent.width
                height: timersColumn.height - header.height - footer.height - 1

                TimerListView {
                    id: list
                    objectName: "timerList"

                    anchors.fill: parent
                    anchors.leftMargin: 12
                    anchors.rightMargin: 12
                    anchors.topMargin: 8
                    anchors.bottomMargin: 8
                    visible: count > 0
                }
                Column {
                    anchors.centerIn: parent
                    spacing: 8
                    objectName: "emptyState"
                    visible: list.count === 0
                    Text {
                        anchors.horizontalCenter: parent.horizontalCenter
                        text: "No timers yet"
                        font.pixelSize: 13
                        color: Style.secondary
                    }
                    Text {
                        anchors.horizontalCenter: parent.horizontalCenter
                        text: "Tap + to create one"
                        font.pixelSize: 11
                        color: Style.tertiary
                    }
                }
            }
            Divider {
                width: parent.width
                inset: 12
            }
            Item {
                id: footer

                width: parent.width
                height: addButton.height + 20
                Button {
                    id: addButton
                    Accessible.onPressAction: clicked()
                    objectName: "addButton"

                    x: 16
                    y: 10
                    flat: true
                    hoverEnabled: true
                    padding: 0
                    text: "New Timer"
                    opacity: root.hoveredButton === "add" ? 1.0 : 0.7
                    onHoveredChanged: root.hoveredButton = hovered ? "add" : ""
                    onClicked: root.showingNewTimer = true
                    Accessible.name: text
                    contentItem: Row {
                        spacing: 4
                        Symbol {
                            name: "plus.circle.fill"
                            size: 12
                            color: root.accent
                            anchors.verticalCenter: parent.verticalCenter
                        }
                        Text {
                            text: addButton.text
                            font.pixelSize: 12
                            font.weight: Font.Medium
                            color: root.accent
                        }
                    }
                    background: null
                }
            }
        }
    }

    SheetPopup {
        id: sheet

        open: root.showingNewTimer
        hostWindow: root.Window.window
        onDismissed: root.showingNewTimer = false
    }
}
