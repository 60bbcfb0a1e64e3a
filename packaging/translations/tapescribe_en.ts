<?xml version="1.0" encoding="utf-8"?>
<!DOCTYPE TS>
<TS version="2.1" language="en">
<context>
    <name>AppDelegate</name>
    <message numerus="yes">
        <location filename="../../app/AppDelegate.cpp" line="+99"/>
        <source>The log service did not answer within %n second(s).</source>
        <translation>
            <numerusform>The log service did not answer within %n second.</numerusform>
            <numerusform>The log service did not answer within %n seconds.</numerusform>
        </translation>
    </message>
    <message numerus="yes">
        <location filename="../../app/AppDelegateClips.cpp" line="+116"/>
        <source>%n clips from “%1”</source>
        <translation>
            <numerusform>%n clip from “%1”</numerusform>
            <numerusform>%n clips from “%1”</numerusform>
        </translation>
    </message>
    <message numerus="yes">
        <location filename="../../app/AppDelegateMarkers.cpp" line="+84"/>
        <source>Wrote %n marker(s) to “%1”.</source>
        <translation>
            <numerusform>Wrote %n marker to “%1”.</numerusform>
            <numerusform>Wrote %n markers to “%1”.</numerusform>
        </translation>
    </message>
    <message numerus="yes">
        <location line="+1"/>
        <source>%n clip(s) carry them.</source>
        <translation>
            <numerusform>%n clip carries them.</numerusform>
            <numerusform>%n clips carry them.</numerusform>
        </translation>
    </message>
    <message numerus="yes">
        <location line="+2"/>
        <source>%n note(s) fell outside every clip.</source>
        <translation>
            <numerusform>%n note fell outside every clip.</numerusform>
            <numerusform>%n notes fell outside every clip.</numerusform>
        </translation>
    </message>
    <message numerus="yes">
        <location line="+12"/>
        <source>… and %n more.</source>
        <translation>
            <numerusform>… and %n more.</numerusform>
            <numerusform>… and %n more.</numerusform>
        </translation>
    </message>
    <message numerus="yes">
        <location filename="../../app/AppDelegateNotes.cpp" line="+149"/>
        <source>%n note(s) on this clip, placed by its file&apos;s date: the clip carries no recording date of its own.</source>
        <translation>
            <numerusform>%n note on this clip, placed by its file&apos;s date: the clip carries no recording date of its own.</numerusform>
            <numerusform>%n notes on this clip, placed by its file&apos;s date: the clip carries no recording date of its own.</numerusform>
        </translation>
    </message>
    <message numerus="yes">
        <location line="+3"/>
        <source>%n note(s) on this clip</source>
        <translation>
            <numerusform>%n note on this clip</numerusform>
            <numerusform>%n notes on this clip</numerusform>
        </translation>
    </message>
</context>
</TS>
