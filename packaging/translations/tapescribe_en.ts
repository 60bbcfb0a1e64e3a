<?xml version="1.0" encoding="utf-8"?>
<!DOCTYPE TS>
<TS version="2.1" language="en">
<context>
    <name>AppDelegate</name>
    <message numerus="yes">
        <location filename="../../app/AppDelegate.cpp" line="+93"/>
        <source>The log service did not answer within %n second(s).</source>
        <translation>
            <numerusform>The log service did not answer within %n second.</numerusform>
            <numerusform>The log service did not answer within %n seconds.</numerusform>
        </translation>
    </message>
    <message numerus="yes">
        <location filename="../../app/AppDelegateClips.cpp" line="+112"/>
        <source>%n clips from “%1”</source>
        <translation>
            <numerusform>%n clip from “%1”</numerusform>
            <numerusform>%n clips from “%1”</numerusform>
        </translation>
    </message>
</context>
</TS>
