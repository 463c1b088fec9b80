<?xml version="1.0" encoding="utf-8"?>
<!DOCTYPE TS>
<TS version="2.1" sourcelanguage="en">
<context>
    <name>AboutView</name>
    <message>
        <source>Larkspurhollow</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>by Ottermere Apps</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Version %1</source>
        <translation type="unfinished"></translation>
    </message>
</context>
<context>
    <name>DurationPickerView</name>
    <message>
        <source>%1 up</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>%1: %2</source>
        <extracomment>Spoken for a unit of the duration picker: %1 is the unit, %2 its value.</extracomment>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>%1 down</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>hr</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Hours</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>min</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Minutes</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>sec</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Seconds</source>
        <translation type="unfinished"></translation>
    </message>
</context>
<context>
    <name>EmojiPickerView</name>
    <message>
        <source>Pick an Emoji</source>
        <translation type="unfinished"></translation>
    </message>
</context>
<context>
    <name>FloatingPanelView</name>
    <message>
        <source>Timers</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Focus</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Sequences</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Stats</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Close Timer Panel</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>No timers yet</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Tap + to create one</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>New Timer</source>
        <translation type="unfinished"></translation>
    </message>
</context>
<context>
    <name>FocusConfigSheet</name>
    <message>
        <source>%1 min</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Focus Settings</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Close Focus Settings</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Focus Duration</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Short Break</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Long Break</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Sessions Before Long Break</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Auto-Start Breaks</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Automatically begin break when focus ends</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Auto-Start Focus</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Automatically begin focus when break ends</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Apply</source>
        <translation type="unfinished"></translation>
    </message>
</context>
<context>
    <name>FocusCycle</name>
    <message>
        <source>Focus complete</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Short break is over</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Long break is over</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Next: %1</source>
        <translation type="unfinished"></translation>
    </message>
</context>
<context>
    <name>FocusModeView</name>
    <message>
        <source>Focus Mode</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Focus Settings</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Session %1/%2</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Time left %1</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>What are you working on?</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Task</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Reset Focus Cycle</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Pause Focus</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Resume Focus</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Start Focus</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Skip Phase</source>
        <translation type="unfinished"></translation>
    </message>
</context>
<context>
    <name>FocusPhase</name>
    <message>
        <source>Short Break</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Long Break</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Focus</source>
        <translation type="unfinished"></translation>
    </message>
</context>
<context>
    <name>GeneralSettingsTab</name>
    <message>
        <source>General</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Launch at Login</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Start Larkspurhollow when you log in</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Default Timer Mode</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Countdown</source>
        <extracomment>The timer modes as one word each.</extracomment>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Stopwatch</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Loop</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Endtime</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Webhooks</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Send HTTP POST notifications when timers change state</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Webhook Address</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Sent!</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Test</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Test Webhook</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>A warm, focused timer for the Linux desktop</source>
        <translation type="unfinished"></translation>
    </message>
</context>
<context>
    <name>MenuBarView</name>
    <message>
        <source>QUICK START</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>New Timer...</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Focus Mode</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Timer Sequences</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Statistics</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Settings...</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Hide Timer Panel</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Show Timer Panel</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>About Larkspurhollow</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Quit</source>
        <translation type="unfinished"></translation>
    </message>
</context>
<context>
    <name>NewTimerSheet</name>
    <message>
        <source>New Timer</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Close New Timer</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>QUICK START FROM PRESET</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Name</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Timer name</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Emoji</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Pick...</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Mode</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Duration</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>End Time</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>End hour</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>End minute</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Pre-End Warning</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Pre-Warning</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Completion Sound</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Sound</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Preview Sound</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Alert Mode</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Once</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Repeat 3x</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Until Dismissed</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Volume</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Recurring</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Interval</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Unlimited runs</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Max runs</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Start Now</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Create</source>
        <translation type="unfinished"></translation>
    </message>
</context>
<context>
    <name>Notifications</name>
    <message>
        <source>Stop</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>%1m</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>%1s</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>%1 — Time&apos;s up!</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>%1 — %2 remaining!</source>
        <translation type="unfinished"></translation>
    </message>
</context>
<context>
    <name>PresetEditor</name>
    <message>
        <source>Close Editor</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Emoji</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Name</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Preset Name</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Duration</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>%1 min</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Preset Duration</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Save</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Save Preset</source>
        <translation type="unfinished"></translation>
    </message>
</context>
<context>
    <name>PresetManagerView</name>
    <message>
        <source>Timer</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Presets</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Add Preset</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>No presets</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>New Preset</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Edit Preset</source>
        <translation type="unfinished"></translation>
    </message>
</context>
<context>
    <name>PresetRow</name>
    <message>
        <source>%1h %2m</source>
        <extracomment>A preset&apos;s length: %1 hours, %2 minutes.</extracomment>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>%1 min</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>%1m %2s</source>
        <extracomment>A preset&apos;s length: %1 minutes, %2 seconds.</extracomment>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Move Preset %1 Up</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Move Preset %1 Down</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Edit Preset %1</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Delete Preset %1</source>
        <translation type="unfinished"></translation>
    </message>
</context>
<context>
    <name>SequenceBuilderView</name>
    <message>
        <source>Sequence Builder</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Cancel</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Cancel Sequence</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Sequence Name</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>My Sequence</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>%1 steps</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>No steps yet</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Edit Step</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Step Name</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Duration</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Step Duration</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Update</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Update Step</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Cancel Step Edit</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Add Step</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Save Sequence</source>
        <translation type="unfinished"></translation>
    </message>
</context>
<context>
    <name>SequenceListView</name>
    <message>
        <source>Sequences</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>New</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>New Sequence</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>No sequences yet</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Create a sequence to chain multiple timers together.</source>
        <translation type="unfinished"></translation>
    </message>
</context>
<context>
    <name>SequenceRow</name>
    <message>
        <source>%1 steps</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Start</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Edit</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Delete</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>%1 %2</source>
        <extracomment>Spoken for a sequence&apos;s button: %1 is Start, Edit or Delete, %2 the name.</extracomment>
        <translation type="unfinished"></translation>
    </message>
</context>
<context>
    <name>SessionType</name>
    <message>
        <source>Focus</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Short Break</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Long Break</source>
        <translation type="unfinished"></translation>
    </message>
</context>
<context>
    <name>SettingsView</name>
    <message>
        <source>General</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Themes</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Sounds</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Presets</source>
        <translation type="unfinished"></translation>
    </message>
</context>
<context>
    <name>SoundRow</name>
    <message>
        <source>Default</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Delete %1</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Set Default</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Set %1 as Default</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Stop Preview</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Preview %1</source>
        <translation type="unfinished"></translation>
    </message>
</context>
<context>
    <name>SoundSettingsView</name>
    <message>
        <source>%1 (custom)</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Import Custom Sound</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Sounds</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Global Volume</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>%1%</source>
        <extracomment>The global volume as a whole percentage.</extracomment>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Default Sound</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Sound Library</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Custom Sounds</source>
        <translation type="unfinished"></translation>
    </message>
</context>
<context>
    <name>StatsView</name>
    <message>
        <source>Focus Stats</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>/ %1m</source>
        <extracomment>Under today&apos;s minutes in the goal ring: %1 is the daily goal in minutes.</extracomment>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Daily Goal</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Edit Daily Goal</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Goal:</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>%1 min</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Save</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Save Daily Goal</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>%1% complete</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Today</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>blocks</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>This Week</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Total</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>minutes</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Last 7 Days</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>%1: %2 minutes</source>
        <extracomment>A day of the chart: %1 is the day, %2 its focus minutes.</extracomment>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Recent Sessions</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>No focus sessions yet.</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Focus</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>%1m</source>
        <extracomment>A session&apos;s length in whole minutes.</extracomment>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>%1, %2</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>%1, %2, skipped</source>
        <translation type="unfinished"></translation>
    </message>
</context>
<context>
    <name>StepRow</name>
    <message>
        <source>Move Step %1 Up</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Move Step %1 Down</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Edit Step %1</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Delete Step %1</source>
        <translation type="unfinished"></translation>
    </message>
</context>
<context>
    <name>ThemeCard</name>
    <message>
        <source>Select %1 theme</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Edit %1</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Delete %1</source>
        <translation type="unfinished"></translation>
    </message>
</context>
<context>
    <name>ThemeColorRow</name>
    <message>
        <source>%1 Colour</source>
        <translation type="unfinished"></translation>
    </message>
</context>
<context>
    <name>ThemeSettingsView</name>
    <message>
        <source>My Theme</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Themes</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Built-in</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Custom</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>New Theme</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>No custom themes yet.</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Edit Theme</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Close Theme Editor</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Theme Name</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Background</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Accent</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Text</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Progress</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Theme Preview</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Save Theme</source>
        <translation type="unfinished"></translation>
    </message>
</context>
<context>
    <name>TimerCardView</name>
    <message>
        <source>Timer name %1</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>%2 time %1</source>
        <extracomment>Spoken for the time of a timer: %1 is the time, %2 the timer&apos;s name.</extracomment>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Reset %1</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Edit %1</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Remove %1</source>
        <translation type="unfinished"></translation>
    </message>
</context>
<context>
    <name>TimerEditPopover</name>
    <message>
        <source>Edit Timer</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Name</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Emoji</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Cancel</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Save</source>
        <translation type="unfinished"></translation>
    </message>
</context>
<context>
    <name>larkspur::SettingsWindow</name>
    <message>
        <source>Larkspurhollow Settings</source>
        <translation type="unfinished"></translation>
    </message>
</context>
<context>
    <name>larkspur::TrayIcon</name>
    <message>
        <source>No running timers</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Quit</source>
        <translation type="unfinished"></translation>
    </message>
</context>
<context>
    <name>larkspur::ViewFormats</name>
    <message>
        <source>No Active Timers</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>1 Active Timer</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>%1 Active Timers</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>%1 active</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Countdown</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Stopwatch</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Loop</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>End Time</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Start timer</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Start %1</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Pause timer</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Pause %1</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Resume timer</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Resume %1</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Restart timer</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Restart %1</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>%1 min</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>%1h %2m</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>%1m</source>
        <translation type="unfinished"></translation>
    </message>
</context>
<context>
    <name>larkspur::WidgetDialogs</name>
    <message>
        <source>Sound files (*.mp3 *.wav *.aiff *.m4a)</source>
        <translation type="unfinished"></translation>
    </message>
</context>
</TS>
