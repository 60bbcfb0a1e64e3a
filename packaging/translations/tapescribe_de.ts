<?xml version="1.0" encoding="utf-8"?>
<!DOCTYPE TS>
<TS version="2.1" language="de_DE">
<context>
    <name>AppDelegate</name>
    <message>
        <location filename="../../app/AppDelegate.cpp" line="+78"/>
        <source>The log form cannot be shown: tapeScribe&apos;s web view is missing or damaged. Reinstalling tapeScribe should mend it.</source>
        <translation>Das Protokollformular kann nicht angezeigt werden: Die Webansicht von tapeScribe fehlt oder ist beschädigt. Eine Neuinstallation von tapeScribe sollte das beheben.</translation>
    </message>
    <message numerus="yes">
        <location line="+21"/>
        <source>The log service did not answer within %n second(s).</source>
        <translation>
            <numerusform>Der Log-Dienst hat nicht innerhalb von %n Sekunde geantwortet.</numerusform>
            <numerusform>Der Log-Dienst hat nicht innerhalb von %n Sekunden geantwortet.</numerusform>
        </translation>
    </message>
    <message>
        <location filename="../../app/AppDelegateAccount.cpp" line="+95"/>
        <source>tapeScribe</source>
        <translation>tapeScribe</translation>
    </message>
    <message>
        <location filename="../../app/AppDelegateClips.cpp" line="+111"/>
        <source>Cannot list the folder “%1”: %2.</source>
        <translation>Der Ordner „%1“ kann nicht gelesen werden: %2.</translation>
    </message>
    <message>
        <location line="+4"/>
        <source>1 clip from “%1”</source>
        <translation>1 Clip aus „%1“</translation>
    </message>
    <message numerus="yes">
        <location line="+1"/>
        <source>%n clips from “%1”</source>
        <translation>
            <numerusform>%n Clip aus „%1“</numerusform>
            <numerusform>%n Clips aus „%1“</numerusform>
        </translation>
    </message>
    <message>
        <location filename="../../app/AppDelegateDownloads.cpp" line="+25"/>
        <source>Save the Download</source>
        <translation>Download sichern</translation>
    </message>
    <message>
        <location line="+13"/>
        <source>its folder cannot be made</source>
        <translation>sein Ordner kann nicht angelegt werden</translation>
    </message>
    <message>
        <location line="+20"/>
        <source>the download was cancelled</source>
        <translation>der Download wurde abgebrochen</translation>
    </message>
    <message>
        <location filename="../../app/AppDelegateMarkers.cpp" line="+33"/>
        <source>no clip was loaded</source>
        <translation>kein Clip geladen</translation>
    </message>
    <message>
        <location line="+40"/>
        <source>The markers were not written: %1.</source>
        <translation>Die Marker wurden nicht geschrieben: %1.</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>The markers were not written</source>
        <translation>Die Marker wurden nicht geschrieben</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>“%1” cannot be written: %2.</source>
        <translation>„%1“ kann nicht geschrieben werden: %2.</translation>
    </message>
    <message numerus="yes">
        <location line="+9"/>
        <source>Wrote %n marker(s) to “%1”.</source>
        <translation>
            <numerusform>%n Marker in „%1“ geschrieben.</numerusform>
            <numerusform>%n Marker in „%1“ geschrieben.</numerusform>
        </translation>
    </message>
    <message numerus="yes">
        <location line="+1"/>
        <source>%n clip(s) carry them.</source>
        <translation>
            <numerusform>%n Clip trägt sie.</numerusform>
            <numerusform>%n Clips tragen sie.</numerusform>
        </translation>
    </message>
    <message numerus="yes">
        <location line="+2"/>
        <source>%n note(s) fell outside every clip.</source>
        <translation>
            <numerusform>%n Notiz lag außerhalb aller Clips.</numerusform>
            <numerusform>%n Notizen lagen außerhalb aller Clips.</numerusform>
        </translation>
    </message>
    <message numerus="yes">
        <location line="+12"/>
        <source>… and %n more.</source>
        <translation>
            <numerusform>… und %n weitere.</numerusform>
            <numerusform>… und %n weitere.</numerusform>
        </translation>
    </message>
    <message>
        <location line="+1"/>
        <source>Notes outside every clip</source>
        <translation>Notizen außerhalb aller Clips</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>These notes were written at moments that no clip of the folder recorded. They are not markers, and the CSV export lists them.</source>
        <translation>Diese Notizen wurden zu Zeitpunkten geschrieben, die kein Clip des Ordners aufgenommen hat. Sie sind keine Marker; der CSV-Export führt sie auf.</translation>
    </message>
    <message>
        <location filename="../../app/AppDelegateNotes.cpp" line="+136"/>
        <source>This log service does not give its notes to tapeScribe, so they are not shown here and cannot be exported. Everything else works as before.</source>
        <translation>Dieser Log-Dienst gibt seine Notizen nicht an tapeScribe weiter: Sie werden hier nicht gezeigt und können nicht exportiert werden. Alles andere funktioniert wie bisher.</translation>
    </message>
    <message>
        <location line="+3"/>
        <source>Sign in on the log form to see its notes here.</source>
        <translation>Melden Sie sich im Log-Formular an, um seine Notizen hier zu sehen.</translation>
    </message>
    <message>
        <location line="+2"/>
        <source>The log form&apos;s notes are not there yet.</source>
        <translation>Die Notizen des Log-Formulars sind noch nicht da.</translation>
    </message>
    <message>
        <location line="+2"/>
        <source>Choose a clip to see its notes.</source>
        <translation>Wählen Sie einen Clip, um seine Notizen zu sehen.</translation>
    </message>
    <message>
        <location line="+2"/>
        <source>This clip&apos;s frame rate or duration is unknown, so its notes cannot be placed on its frames.</source>
        <translation>Bildrate oder Dauer dieses Clips sind unbekannt: Seine Notizen lassen sich keinen Bildern zuordnen.</translation>
    </message>
    <message>
        <location line="+2"/>
        <source>No notes on this clip yet.</source>
        <translation>Noch keine Notizen zu diesem Clip.</translation>
    </message>
    <message numerus="yes">
        <location line="+2"/>
        <source>%n note(s) on this clip, placed by its file&apos;s date: the clip carries no recording date of its own.</source>
        <translation>
            <numerusform>%n Notiz zu diesem Clip, nach dem Datum der Datei platziert: Der Clip enthält kein eigenes Aufnahmedatum.</numerusform>
            <numerusform>%n Notizen zu diesem Clip, nach dem Datum der Datei platziert: Der Clip enthält kein eigenes Aufnahmedatum.</numerusform>
        </translation>
    </message>
    <message numerus="yes">
        <location line="+3"/>
        <source>%n note(s) on this clip</source>
        <translation>
            <numerusform>%n Notiz zu diesem Clip</numerusform>
            <numerusform>%n Notizen zu diesem Clip</numerusform>
        </translation>
    </message>
    <message>
        <location filename="../../app/MarkerExportPanel.cpp" line="+28"/>
        <source>Export Markers</source>
        <translation>Marker exportieren</translation>
    </message>
</context>
<context>
    <name>ClipModel</name>
    <message>
        <location filename="../../clips/ClipModel.cpp" line="+210"/>
        <source>Name</source>
        <translation>Name</translation>
    </message>
    <message>
        <location line="+2"/>
        <source>Recording start</source>
        <translation>Aufnahmebeginn</translation>
    </message>
    <message>
        <location line="+2"/>
        <source>Duration</source>
        <translation>Dauer</translation>
    </message>
    <message>
        <location line="+2"/>
        <source>Start TC</source>
        <translation>Start-TC</translation>
    </message>
    <message>
        <location line="+2"/>
        <source>Format</source>
        <translation>Format</translation>
    </message>
</context>
<context>
    <name>ClipOpenDialog</name>
    <message>
        <location filename="../../clips/ClipOpenDialog.cpp" line="+12"/>
        <source>Choose a folder of media files or a single media file</source>
        <translation>Wählen Sie einen Ordner mit Mediendateien oder eine einzelne Mediendatei</translation>
    </message>
    <message>
        <location line="+7"/>
        <source>Choose</source>
        <translation>Auswählen</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>Media files (%1)</source>
        <translation>Mediendateien (%1)</translation>
    </message>
    <message>
        <location line="+23"/>
        <source>“%1” is not there. Choose a folder or a clip that is.</source>
        <translation>„%1“ ist nicht vorhanden. Wählen Sie einen vorhandenen Ordner oder Clip.</translation>
    </message>
</context>
<context>
    <name>ClipTable</name>
    <message>
        <location filename="../../clips/ClipTableText.cpp" line="+23"/>
        <source>Recording start written into the clip</source>
        <translation>Im Clip gespeicherter Aufnahmebeginn</translation>
    </message>
    <message>
        <location line="+2"/>
        <source>The file&apos;s creation time, until the clip&apos;s own date has been read</source>
        <translation>Erstellungszeit der Datei, bis das eigene Datum des Clips gelesen ist</translation>
    </message>
    <message>
        <location line="+2"/>
        <source>The file&apos;s creation time: the clip carries no recording date</source>
        <translation>Erstellungszeit der Datei: Der Clip enthält kein Aufnahmedatum</translation>
    </message>
    <message>
        <location line="+3"/>
        <source>The file&apos;s modification time, until the clip&apos;s own date has been read</source>
        <translation>Änderungszeit der Datei, bis das eigene Datum des Clips gelesen ist</translation>
    </message>
    <message>
        <location line="+2"/>
        <source>The file&apos;s modification time: the clip carries no recording date</source>
        <translation>Änderungszeit der Datei: Der Clip enthält kein Aufnahmedatum</translation>
    </message>
    <message>
        <location line="+16"/>
        <source>Not a %1 clip</source>
        <translation>Kein %1-Clip</translation>
    </message>
    <message>
        <location line="+2"/>
        <source>The file cannot be read</source>
        <translation>Die Datei kann nicht gelesen werden</translation>
    </message>
    <message>
        <location line="+2"/>
        <source>The file took too long to read</source>
        <translation>Das Lesen der Datei hat zu lange gedauert</translation>
    </message>
</context>
<context>
    <name>FileManager</name>
    <message>
        <location filename="../../move/FileManager.cpp" line="+30"/>
        <source>%1 failed: %2 (%3 error %4)</source>
        <translation>%1 fehlgeschlagen: %2 (%3-Fehler %4)</translation>
    </message>
    <message>
        <location line="+37"/>
        <source>Moving &apos;%1&apos; to the Trash failed: %2</source>
        <translation>„%1“ konnte nicht in den Papierkorb verschoben werden: %2</translation>
    </message>
    <message>
        <location line="+8"/>
        <source>Deleting &apos;%1&apos;</source>
        <translation>Löschen von „%1“</translation>
    </message>
    <message>
        <location line="+9"/>
        <source>Copying to &apos;%1&apos;</source>
        <translation>Kopieren nach „%1“</translation>
    </message>
    <message>
        <location line="+6"/>
        <source>Copying &apos;%1&apos; to &apos;%2&apos;</source>
        <translation>Kopieren von „%1“ nach „%2“</translation>
    </message>
</context>
<context>
    <name>FormDownload</name>
    <message>
        <location filename="../../logform/FormDownload.cpp" line="+16"/>
        <source>Saving “%1”…</source>
        <translation>„%1“ wird gesichert …</translation>
    </message>
    <message>
        <location line="+5"/>
        <source>Saved “%1”.</source>
        <translation>„%1“ gesichert.</translation>
    </message>
    <message>
        <location line="+5"/>
        <source>“%1” could not be saved: %2</source>
        <translation>„%1“ konnte nicht gesichert werden: %2</translation>
    </message>
</context>
<context>
    <name>FormatWarning</name>
    <message>
        <location filename="../../clips/MediaCapabilities.cpp" line="+76"/>
        <source>the MXF demuxer</source>
        <translation>der MXF-Demuxer</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>the ProRes decoder</source>
        <translation>der ProRes-Decoder</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>the DNxHD decoder</source>
        <translation>der DNxHD-Decoder</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>the MPEG-2 decoder</source>
        <translation>der MPEG-2-Decoder</translation>
    </message>
    <message>
        <location line="+20"/>
        <source>The video player (libmpv) could not be started: no clip can be played.</source>
        <translation>Der Videoplayer (libmpv) konnte nicht gestartet werden: Es kann kein Clip wiedergegeben werden.</translation>
    </message>
    <message>
        <location line="+9"/>
        <source>%1 and %2</source>
        <translation>%1 und %2</translation>
    </message>
    <message>
        <location line="+4"/>
        <source>Some professional clips will not play: %1 is missing from the video player&apos;s FFmpeg libraries. Install Debian&apos;s complete libavcodec and libavformat packages to play them.</source>
        <translation>Einige professionelle Clips lassen sich nicht wiedergeben: In den FFmpeg-Bibliotheken des Videoplayers fehlt %1. Installieren Sie Debians vollständige Pakete libavcodec und libavformat, um sie wiederzugeben.</translation>
    </message>
    <message>
        <location line="+4"/>
        <source>Some professional clips will not play: %1 are missing from the video player&apos;s FFmpeg libraries. Install Debian&apos;s complete libavcodec and libavformat packages to play them.</source>
        <translation>Einige professionelle Clips lassen sich nicht wiedergeben: In den FFmpeg-Bibliotheken des Videoplayers fehlen %1. Installieren Sie Debians vollständige Pakete libavcodec und libavformat, um sie wiederzugeben.</translation>
    </message>
</context>
<context>
    <name>Keychain</name>
    <message>
        <location filename="../../account/KeychainOutcome.cpp" line="+47"/>
        <source>The keyring is locked, so the saved account could not be read. Saving asks for the keyring&apos;s password.</source>
        <translation>Der Schlüsselbund ist gesperrt, daher konnte das gespeicherte Konto nicht gelesen werden. Beim Sichern wird nach dem Passwort des Schlüsselbunds gefragt.</translation>
    </message>
    <message>
        <location line="+4"/>
        <source>No keyring is available: an account can be neither read nor saved.</source>
        <translation>Kein Schlüsselbund verfügbar: Ein Konto kann weder gelesen noch gesichert werden.</translation>
    </message>
    <message>
        <location line="+3"/>
        <source>The keyring refused to give the saved account.</source>
        <translation>Der Schlüsselbund hat die Herausgabe des gespeicherten Kontos verweigert.</translation>
    </message>
    <message>
        <location line="+7"/>
        <source>Your account was not stored in the keyring.</source>
        <translation>Ihr Konto wurde nicht im Schlüsselbund gespeichert.</translation>
    </message>
    <message>
        <location line="+10"/>
        <source>The keyring is locked, and it was not unlocked: its password prompt was dismissed or could not be shown. Save again to be asked once more.</source>
        <translation>Der Schlüsselbund ist gesperrt und wurde nicht entsperrt: Die Passwortabfrage wurde abgebrochen oder konnte nicht angezeigt werden. Sichern Sie erneut, um noch einmal gefragt zu werden.</translation>
    </message>
    <message>
        <location line="+5"/>
        <source>No keyring is available: no keyring service answered, or it has no keyring to keep the account in.</source>
        <translation>Kein Schlüsselbund verfügbar: Kein Schlüsselbunddienst hat geantwortet, oder er hat keinen Schlüsselbund, in dem das Konto gespeichert werden kann.</translation>
    </message>
    <message>
        <location line="+4"/>
        <source>The keyring refused to store it.</source>
        <translation>Der Schlüsselbund hat das Speichern verweigert.</translation>
    </message>
</context>
<context>
    <name>MainWindow</name>
    <message>
        <location filename="../../app/MainWindow.ui" line="+12"/>
        <source>tapeScribe</source>
        <translation>tapeScribe</translation>
    </message>
    <message>
        <location line="+18"/>
        <source>Choose Folder…</source>
        <translation>Ordner wählen …</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>Choose a folder of media files or a single media file (Ctrl+O)</source>
        <translation>Einen Ordner mit Mediendateien oder eine einzelne Mediendatei wählen (Strg+O)</translation>
    </message>
    <message>
        <location line="+11"/>
        <source>Choose a folder of clips to start logging.</source>
        <translation>Wählen Sie einen Ordner mit Clips, um mit dem Loggen zu beginnen.</translation>
    </message>
    <message>
        <location line="+30"/>
        <source>Notes on this clip</source>
        <translation>Notizen zu diesem Clip</translation>
    </message>
    <message>
        <location line="+13"/>
        <source>The log form&apos;s notes on this clip; choose one to go to its frame</source>
        <translation>Die Notizen des Log-Formulars zu diesem Clip; wählen Sie eine, um zu ihrem Bild zu springen</translation>
    </message>
    <message>
        <location line="+43"/>
        <source>&amp;File</source>
        <translation>&amp;Datei</translation>
    </message>
    <message>
        <location line="+9"/>
        <source>&amp;Player</source>
        <translation>&amp;Wiedergabe</translation>
    </message>
    <message>
        <location line="+4"/>
        <source>&amp;Help</source>
        <translation>&amp;Hilfe</translation>
    </message>
    <message>
        <location line="+11"/>
        <source>&amp;Open Folder or Clip…</source>
        <translation>Ordner oder Clip ö&amp;ffnen …</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>Ctrl+O</source>
        <translation>Ctrl+O</translation>
    </message>
    <message>
        <location line="+3"/>
        <source>&amp;Export Markers…</source>
        <translation>Marker &amp;exportieren…</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>Write the notes as markers on the open folder&apos;s clips, for an editing application</source>
        <translation>Die Notizen als Marker auf die Clips des geöffneten Ordners schreiben, für ein Schnittprogramm</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>Ctrl+E</source>
        <translation>Ctrl+E</translation>
    </message>
    <message>
        <location line="+3"/>
        <source>&amp;Preferences…</source>
        <translation>&amp;Einstellungen …</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>Ctrl+,</source>
        <translation>Ctrl+,</translation>
    </message>
    <message>
        <location line="+4"/>
        <source>&amp;Quit</source>
        <translation>&amp;Beenden</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>Ctrl+Q</source>
        <translation>Ctrl+Q</translation>
    </message>
    <message>
        <location line="+6"/>
        <source>&amp;Hardware Decoding</source>
        <translation>&amp;Hardware-Dekodierung</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>Decode video on the graphics card where it can; turn it off for a driver that misbehaves</source>
        <translation>Video wenn möglich auf der Grafikkarte dekodieren; bei einem fehlerhaften Treiber ausschalten</translation>
    </message>
    <message>
        <location line="+3"/>
        <source>tapeScribe &amp;Help</source>
        <translation>tapeScribe-&amp;Hilfe</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>F1</source>
        <translation>F1</translation>
    </message>
    <message>
        <location line="+3"/>
        <source>&amp;Glossary</source>
        <translation>&amp;Glossar</translation>
    </message>
    <message>
        <location line="+3"/>
        <source>&amp;Report a Bug…</source>
        <translation>&amp;Fehler melden …</translation>
    </message>
</context>
<context>
    <name>MarkerFormat</name>
    <message>
        <location filename="../../notes/MarkerFormat.cpp" line="+37"/>
        <source>Final Cut Pro XML</source>
        <translation>Final Cut Pro XML</translation>
    </message>
    <message>
        <location line="+2"/>
        <source>Final Cut Pro 7 XML (Premiere Pro, Resolve)</source>
        <translation>Final Cut Pro 7 XML (Premiere Pro, Resolve)</translation>
    </message>
    <message>
        <location line="+2"/>
        <source>Avid Log Exchange</source>
        <translation>Avid Log Exchange</translation>
    </message>
    <message>
        <location line="+2"/>
        <source>Comma-separated values</source>
        <translation>Kommagetrennte Werte (CSV)</translation>
    </message>
</context>
<context>
    <name>MarkerListModel</name>
    <message>
        <location filename="../../notes/MarkerListModel.cpp" line="+51"/>
        <source>%1
The clip carries no recording date of its own: this place is approximate.</source>
        <translation>%1
Der Clip enthält kein eigenes Aufnahmedatum: Diese Stelle ist ungefähr.</translation>
    </message>
    <message>
        <location line="+24"/>
        <source>Timecode</source>
        <translation>Timecode</translation>
    </message>
    <message>
        <location line="+2"/>
        <source>Recorded</source>
        <translation>Aufgenommen</translation>
    </message>
    <message>
        <location line="+2"/>
        <source>Note</source>
        <translation>Notiz</translation>
    </message>
</context>
<context>
    <name>MoveApplication</name>
    <message>
        <location filename="../../move/MoveStrings.cpp" line="+16"/>
        <source>Could not move to Applications folder</source>
        <translation>Verschieben in den Programme-Ordner nicht möglich</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>Could not start the copy in the Applications folder; this copy goes on running.</source>
        <translation>Die Kopie im Programme-Ordner konnte nicht gestartet werden; diese Kopie läuft weiter.</translation>
    </message>
    <message>
        <location line="+2"/>
        <source>Move to Applications folder?</source>
        <translation>In den Programme-Ordner verschieben?</translation>
    </message>
    <message>
        <location line="+2"/>
        <source>Move to Applications folder in your Home folder?</source>
        <translation>In den Programme-Ordner in Ihrem Benutzerordner verschieben?</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>I can move myself to the Applications folder if you&apos;d like.</source>
        <translation>Ich kann mich in den Programme-Ordner verschieben, wenn Sie möchten.</translation>
    </message>
    <message>
        <location line="+2"/>
        <source>Move to Applications Folder</source>
        <translation>In Programme-Ordner verschieben</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>Do Not Move</source>
        <translation>Nicht verschieben</translation>
    </message>
    <message>
        <location line="+2"/>
        <source>Note that this will require an administrator password.</source>
        <translation>Dazu ist ein Administratorpasswort nötig.</translation>
    </message>
    <message>
        <location line="+2"/>
        <source>This will keep your Downloads folder uncluttered.</source>
        <translation>So bleibt Ihr Download-Ordner aufgeräumt.</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>Do not show this message again</source>
        <translation>Diese Meldung nicht mehr anzeigen</translation>
    </message>
</context>
<context>
    <name>MpvPlayer</name>
    <message>
        <location filename="../../clips/MpvCore.cpp" line="+150"/>
        <source>it is not a kind of clip tapeScribe plays</source>
        <translation>es ist keine Art von Clip, die tapeScribe wiedergibt</translation>
    </message>
    <message>
        <location line="+121"/>
        <source>the player refused to open it (%1)</source>
        <translation>der Player hat das Öffnen verweigert (%1)</translation>
    </message>
    <message>
        <location line="+79"/>
        <source>it is a list of other files, not a clip</source>
        <translation>es ist eine Liste anderer Dateien, kein Clip</translation>
    </message>
    <message>
        <location line="-219"/>
        <source>the player could not be started</source>
        <translation>der Player konnte nicht gestartet werden</translation>
    </message>
    <message>
        <location filename="../../clips/MpvPlayer.cpp" line="+116"/>
        <source>This clip cannot be played backwards: J steps back through it frame by frame.</source>
        <translation>Dieser Clip kann nicht rückwärts wiedergegeben werden: J geht Bild für Bild zurück.</translation>
    </message>
    <message>
        <location line="+2"/>
        <source>The player refused “%1”: %2.</source>
        <translation>Der Player hat „%1“ verweigert: %2.</translation>
    </message>
</context>
<context>
    <name>PlayerView</name>
    <message>
        <location filename="../../clips/PlayerView.ui" line="+68"/>
        <source>Play or pause (Space, K); J and L shuttle</source>
        <translation>Wiedergabe oder Pause (Leertaste, K); J und L spulen</translation>
    </message>
    <message>
        <location line="+12"/>
        <source>Elapsed</source>
        <translation>Verstrichen</translation>
    </message>
    <message>
        <location line="+16"/>
        <source>Play head</source>
        <translation>Abspielposition</translation>
    </message>
    <message>
        <location line="+15"/>
        <source>Remaining</source>
        <translation>Verbleibend</translation>
    </message>
    <message>
        <location line="+28"/>
        <source>Recording time of day under the play head</source>
        <translation>Aufnahmezeit an der Abspielposition</translation>
    </message>
    <message>
        <location line="+28"/>
        <source>Source timecode under the play head</source>
        <translation>Quell-Timecode an der Abspielposition</translation>
    </message>
    <message>
        <location line="+26"/>
        <source>Mute (M)</source>
        <translation>Stumm (M)</translation>
    </message>
    <message>
        <location line="+19"/>
        <source>Volume (↑, ↓)</source>
        <translation>Lautstärke (↑, ↓)</translation>
    </message>
    <message>
        <location line="+43"/>
        <source>&amp;Play/Pause</source>
        <translation>&amp;Wiedergabe/Pause</translation>
    </message>
    <message>
        <location line="+14"/>
        <source>Shuttle &amp;Backwards</source>
        <translation>Shuttle &amp;rückwärts</translation>
    </message>
    <message>
        <location line="+14"/>
        <source>S&amp;top</source>
        <translation>&amp;Anhalten</translation>
    </message>
    <message>
        <location line="+14"/>
        <source>Shuttle &amp;Forwards</source>
        <translation>Shuttle &amp;vorwärts</translation>
    </message>
    <message>
        <location line="+14"/>
        <source>Pre&amp;vious Frame</source>
        <translation>Vorheriges &amp;Bild</translation>
    </message>
    <message>
        <location line="+14"/>
        <source>&amp;Next Frame</source>
        <translation>&amp;Nächstes Bild</translation>
    </message>
    <message>
        <location line="+14"/>
        <source>Back One &amp;Second</source>
        <translation>Eine &amp;Sekunde zurück</translation>
    </message>
    <message>
        <location line="+14"/>
        <source>Forward One Se&amp;cond</source>
        <translation>Eine Se&amp;kunde vor</translation>
    </message>
    <message>
        <location line="+14"/>
        <source>Go to St&amp;art</source>
        <translation>Zum Anfan&amp;g</translation>
    </message>
    <message>
        <location line="+14"/>
        <source>&amp;Mute</source>
        <translation>&amp;Ton aus</translation>
    </message>
    <message>
        <location line="+14"/>
        <source>Volume &amp;Up</source>
        <translation>&amp;Lauter</translation>
    </message>
    <message>
        <location line="+14"/>
        <source>Volume &amp;Down</source>
        <translation>L&amp;eiser</translation>
    </message>
    <message>
        <location filename="../../clips/PlayerTimeText.cpp" line="+32"/>
        <source>Decoding: software</source>
        <translation>Dekodierung: Software</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>Decoding: hardware (%1)</source>
        <translation>Dekodierung: Hardware (%1)</translation>
    </message>
    <message>
        <location filename="../../clips/PlayerView.cpp" line="+223"/>
        <source>Select a clip to play it.</source>
        <translation>Wählen Sie einen Clip aus, um ihn wiederzugeben.</translation>
    </message>
    <message>
        <location line="+7"/>
        <source>This clip cannot be played: %1.</source>
        <translation>Dieser Clip kann nicht wiedergegeben werden: %1.</translation>
    </message>
</context>
<context>
    <name>PreferencesWindow</name>
    <message>
        <location filename="../../app/PreferencesWindow.ui" line="+9"/>
        <source>tapeScribe Preferences</source>
        <translation>tapeScribe-Einstellungen</translation>
    </message>
    <message>
        <location line="+7"/>
        <source>&amp;User name:</source>
        <translation>&amp;Benutzername:</translation>
    </message>
    <message>
        <location line="+9"/>
        <source>&amp;Password:</source>
        <translation>&amp;Passwort:</translation>
    </message>
    <message>
        <location line="+26"/>
        <source>&amp;Save</source>
        <translation>&amp;Sichern</translation>
    </message>
</context>
</TS>
