<?xml version="1.0" encoding="utf-8"?>
<!DOCTYPE TS>
<TS version="2.1" language="de_DE">
<context>
    <name>MoveApplication</name>
    <message>
        <source>Could not move to Applications folder</source>
        <translation>Verschieben in den Programme-Ordner nicht möglich</translation>
    </message>
    <message>
        <source>Move to Applications folder?</source>
        <translation>In den Programme-Ordner verschieben?</translation>
    </message>
    <message>
        <source>Move to Applications folder in your Home folder?</source>
        <translation>In den Programme-Ordner in Ihrem Benutzerordner verschieben?</translation>
    </message>
    <message>
        <source>I can move myself to the Applications folder if you&apos;d like.</source>
        <translation>Ich kann mich in den Programme-Ordner verschieben, wenn Sie möchten.</translation>
    </message>
    <message>
        <source>Move to Applications Folder</source>
        <translation>In Programme-Ordner verschieben</translation>
    </message>
    <message>
        <source>Do Not Move</source>
        <translation>Nicht verschieben</translation>
    </message>
    <message>
        <source>Note that this will require an administrator password.</source>
        <translation>Dazu ist ein Administratorpasswort nötig.</translation>
    </message>
    <message>
        <source>This will keep your Downloads folder uncluttered.</source>
        <translation>So bleibt Ihr Download-Ordner aufgeräumt.</translation>
    </message>
    <message>
        <source>Do not show this message again</source>
        <translation>Diese Meldung nicht mehr anzeigen</translation>
    </message>
</context>
</TS>
