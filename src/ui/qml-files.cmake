# The views, one component per file; the type name is the file name.
set(LARKSPUR_QML_FILES
    ui/Style.qml
    ui/controls/Symbol.qml
    ui/controls/Divider.qml
    ui/controls/WindowDragArea.qml
    ui/controls/ResizeGrip.qml
    ui/controls/SectionTitle.qml
    ui/controls/SegmentedPicker.qml
    ui/controls/CommandButton.qml
    ui/controls/ProgressRingView.qml
    ui/controls/DurationPickerView.qml
    ui/controls/EmojiPickerView.qml
    ui/settings/AboutView.qml
    ui/timers/MenuBarView.qml
    ui/timers/TimerListView.qml
    ui/timers/TimerCardView.qml
    ui/timers/ControlButton.qml
    ui/timers/TimerEditPopover.qml
    ui/timers/PresetChip.qml
    ui/timers/NewTimerSheet.qml
    ui/timers/SheetPopup.qml
    ui/timers/FloatingPanelView.qml
)
set_source_files_properties(ui/Style.qml PROPERTIES QT_QML_SINGLETON_TYPE TRUE)
