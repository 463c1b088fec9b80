<?xml version="1.0" encoding="utf-8"?>
<!DOCTYPE TS>
<TS version="2.1" sourcelanguage="en">
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
</context>
</TS>
