<?xml version="1.0" encoding="utf-8"?>
<!DOCTYPE TS>
<TS version="2.1" language="de_AT">
<context>
    <name>AudioPlayer</name>
    <message>
        <source>&lt;p&gt;Could not open wvc file.</source>
        <translation>&lt;p&gt;Die WVC-Datei konnte nicht geöffnet werden.</translation>
    </message>
    <message>
        <source>&lt;p&gt;Could not open wav file.</source>
        <translation>&lt;p&gt;Die WAV-Datei konnte nicht geöffnet werden.</translation>
    </message>
    <message>
        <source>&lt;p&gt;Device to play audio not found.</source>
        <translation>&lt;p&gt;Kein Gerät zur Audiowiedergabe gefunden.</translation>
    </message>
    <message>
        <source>Error</source>
        <translation>Fehler</translation>
    </message>
    <message>
        <source>Save File</source>
        <translation>Datei speichern</translation>
    </message>
    <message>
        <source>&lt;p&gt;Not able to open file in selected directory</source>
        <translation>&lt;p&gt;Die Datei kann im gewählten Ordner nicht geöffnet werden</translation>
    </message>
    <message>
        <source>Downloading...</source>
        <translation>Wird heruntergeladen...</translation>
    </message>
    <message>
        <source>Cancel</source>
        <translation>Abbrechen</translation>
    </message>
    <message>
        <source>&lt;p&gt;Could not write to file</source>
        <translation>&lt;p&gt;In die Datei konnte nicht geschrieben werden</translation>
    </message>
    <message>
        <source>&lt;p&gt;File not found in package</source>
        <translation>&lt;p&gt;Datei im Paket nicht gefunden</translation>
    </message>
    <message>
        <source>&lt;p&gt;The sound device stopped working. Playback has ended.</source>
        <translation>&lt;p&gt;Das Audiogerät funktioniert nicht mehr. Die Wiedergabe wurde beendet.</translation>
    </message>
    <message>
        <source>&lt;p&gt;Could not read from the package: the package file has changed or is no longer available.</source>
        <translation>&lt;p&gt;Aus dem Paket konnte nicht gelesen werden: Die Paketdatei wurde geändert oder ist nicht mehr verfügbar.</translation>
    </message>
</context>
<context>
    <name>BatchExport</name>
    <message>
        <source>Recordings written: %1</source>
        <translation>Geschriebene Aufnahmen: %1</translation>
    </message>
    <message>
        <source>Skipped %1: %2</source>
        <translation>Übersprungen %1: %2</translation>
    </message>
    <message>
        <source>The export was cancelled.</source>
        <translation>Der Export wurde abgebrochen.</translation>
    </message>
    <message>
        <source>the call has expired</source>
        <translation>der Anruf ist abgelaufen</translation>
    </message>
    <message>
        <source>the call is not in this package</source>
        <translation>der Anruf ist nicht in diesem Paket</translation>
    </message>
    <message>
        <source>the recording has expired</source>
        <translation>die Aufnahme ist abgelaufen</translation>
    </message>
    <message>
        <source>the call has no recording</source>
        <translation>der Anruf hat keine Aufnahme</translation>
    </message>
    <message>
        <source>The folder %1 does not exist.</source>
        <translation>Der Ordner %1 existiert nicht.</translation>
    </message>
    <message>
        <source>These files exist already: %1</source>
        <translation>Diese Dateien gibt es bereits: %1</translation>
    </message>
    <message>
        <source>Could not write %1: %2</source>
        <translation>%1 konnte nicht geschrieben werden: %2</translation>
    </message>
    <message>
        <source>the recording could not be read</source>
        <translation>die Aufnahme konnte nicht gelesen werden</translation>
    </message>
</context>
<context>
    <name>InputDialog</name>
    <message>
        <source>Please enter user name and password</source>
        <translation>Bitte geben Sie Benutzername und Passwort ein</translation>
    </message>
    <message>
        <source>Username:</source>
        <translation>Benutzername:</translation>
    </message>
    <message>
        <source>Password:</source>
        <translation>Passwort:</translation>
    </message>
    <message>
        <source>Authority password (optional):</source>
        <translation>Behördenpasswort (optional):</translation>
    </message>
</context>
<context>
    <name>QGuiApplication</name>
    <message>
        <source>QT_LAYOUT_DIRECTION</source>
        <translation>LTR</translation>
    </message>
</context>
<context>
    <name>RecordingExportFlow</name>
    <message>
        <source>Export Recordings</source>
        <translation>Aufnahmen exportieren</translation>
    </message>
    <message>
        <source>There are no reviewed calls to export.</source>
        <translation>Es gibt keine geprüften Anrufe zum Exportieren.</translation>
    </message>
    <message>
        <source>Choose the folder for the recordings</source>
        <translation>Ordner für die Aufnahmen wählen</translation>
    </message>
    <message>
        <source>These files exist in the folder already:
%1

Replace them?</source>
        <translation>Diese Dateien gibt es im Ordner bereits:
%1

Ersetzen?</translation>
    </message>
    <message>
        <source>Exporting recordings...</source>
        <translation>Aufnahmen werden exportiert...</translation>
    </message>
    <message>
        <source>Cancel</source>
        <translation>Abbrechen</translation>
    </message>
</context>
<context>
    <name>ReportPrinter</name>
    <message>
        <source>The report could not be laid out.</source>
        <translation>Der Bericht konnte nicht gesetzt werden.</translation>
    </message>
</context>
<context>
    <name>ReviewDocument</name>
    <message>
        <source>The review file is damaged (byte %1).</source>
        <translation>Die Prüfungsdatei ist beschädigt (Byte %1).</translation>
    </message>
    <message>
        <source>The file is not a review file.</source>
        <translation>Die Datei ist keine Prüfungsdatei.</translation>
    </message>
    <message>
        <source>The review file has version %1; this viewer reads version %2.</source>
        <translation>Die Prüfungsdatei hat Version %1; dieser Viewer liest Version %2.</translation>
    </message>
    <message>
        <source>The review file is damaged.</source>
        <translation>Die Prüfungsdatei ist beschädigt.</translation>
    </message>
    <message>
        <source>The review file is damaged (call %1).</source>
        <translation>Die Prüfungsdatei ist beschädigt (Anruf %1).</translation>
    </message>
    <message>
        <source>The review file cannot be read: %1</source>
        <translation>Die Prüfungsdatei kann nicht gelesen werden: %1</translation>
    </message>
    <message>
        <source>%1 is not a regular file.</source>
        <translation>%1 ist keine gewöhnliche Datei.</translation>
    </message>
    <message>
        <source>%1 cannot be written: %2</source>
        <translation>%1 kann nicht geschrieben werden: %2</translation>
    </message>
</context>
<context>
    <name>VornViewer</name>
    <message>
        <source>VORN Viewer</source>
        <translation>VORN Viewer</translation>
    </message>
    <message>
        <source>Click and select a &quot;*.pkg&quot; file. If the package is encrypted, you will be prompted to enter a username and a password.</source>
        <translation>Klicken Sie hier und wählen Sie eine „*.pkg“-Datei. Ist das Paket verschlüsselt, werden Sie nach Benutzername und Passwort gefragt.</translation>
    </message>
    <message>
        <source>Once the package is opened, you can navigate through the calls by clicking the available tabs and play audio content in the integrated audio player.</source>
        <translation>Sobald das Paket geöffnet ist, können Sie über die Reiter durch die Anrufe navigieren und Aufnahmen im integrierten Audioplayer abspielen.</translation>
    </message>
    <message>
        <source>Home (Ctrl+H)</source>
        <translation>Startseite (Strg+H)</translation>
    </message>
    <message>
        <source>Open package (Ctrl+O)</source>
        <translation>Paket öffnen (Strg+O)</translation>
    </message>
    <message>
        <source>Authority override</source>
        <translation>Behördenzugriff</translation>
    </message>
    <message>
        <source>Zoom in (Ctrl++)</source>
        <translation>Vergrößern (Strg++)</translation>
    </message>
    <message>
        <source>Zoom out (Ctrl+-)</source>
        <translation>Verkleinern (Strg+-)</translation>
    </message>
    <message>
        <source>About</source>
        <translation>Über</translation>
    </message>
    <message>
        <source>Main toolbar</source>
        <translation>Hauptwerkzeugleiste</translation>
    </message>
    <message>
        <source>Version %1</source>
        <translation>Version %1</translation>
    </message>
    <message>
        <source>About VORN Viewer</source>
        <translation>Über VORN Viewer</translation>
    </message>
    <message>
        <source>Authority password</source>
        <translation>Behördenpasswort</translation>
    </message>
    <message>
        <source>Please enter the password for authority access:</source>
        <translation>Bitte geben Sie das Passwort für den Behördenzugriff ein:</translation>
    </message>
    <message>
        <source>Invalid password</source>
        <translation>Ungültiges Passwort</translation>
    </message>
    <message>
        <source>The password did not match!</source>
        <translation>Das Passwort stimmt nicht überein!</translation>
    </message>
    <message>
        <source>Authority override activated</source>
        <translation>Behördenzugriff aktiviert</translation>
    </message>
    <message>
        <source>Arabic (ar_SA)</source>
        <translation>Arabisch (ar_SA)</translation>
    </message>
    <message>
        <source>Danish (da_DK)</source>
        <translation>Dänisch (da_DK)</translation>
    </message>
    <message>
        <source>German (de_DE)</source>
        <translation>Deutsch (de_DE)</translation>
    </message>
    <message>
        <source>German (de_CH)</source>
        <translation>Deutsch (de_CH)</translation>
    </message>
    <message>
        <source>German (de_AT)</source>
        <translation>Deutsch (de_AT)</translation>
    </message>
    <message>
        <source>English (en_AU)</source>
        <translation>Englisch (en_AU)</translation>
    </message>
    <message>
        <source>English (en_GB)</source>
        <translation>Englisch (en_GB)</translation>
    </message>
    <message>
        <source>English (en_IE)</source>
        <translation>Englisch (en_IE)</translation>
    </message>
    <message>
        <source>English (en_US)</source>
        <translation>Englisch (en_US)</translation>
    </message>
    <message>
        <source>French (fr_CH)</source>
        <translation>Französisch (fr_CH)</translation>
    </message>
    <message>
        <source>French (fr_FR)</source>
        <translation>Französisch (fr_FR)</translation>
    </message>
    <message>
        <source>Hungarian (hu_HU)</source>
        <translation>Ungarisch (hu_HU)</translation>
    </message>
    <message>
        <source>Lithuanian (lt_LT)</source>
        <translation>Litauisch (lt_LT)</translation>
    </message>
    <message>
        <source>Norwegian (nb_NO)</source>
        <translation>Norwegisch (nb_NO)</translation>
    </message>
    <message>
        <source>Polish (pl_PL)</source>
        <translation>Polnisch (pl_PL)</translation>
    </message>
    <message>
        <source>Russian (ru_RU)</source>
        <translation>Russisch (ru_RU)</translation>
    </message>
    <message>
        <source>Slovak (sk_SK)</source>
        <translation>Slowakisch (sk_SK)</translation>
    </message>
    <message>
        <source>Slovenian (sl_SI)</source>
        <translation>Slowenisch (sl_SI)</translation>
    </message>
    <message>
        <source>Turkish (tr_TR)</source>
        <translation>Türkisch (tr_TR)</translation>
    </message>
    <message>
        <source>Authority password invalid. Continue anyway?</source>
        <translation>Behördenpasswort ungültig. Trotzdem fortfahren?</translation>
    </message>
    <message>
        <source>Yes</source>
        <translation>Ja</translation>
    </message>
    <message>
        <source>No</source>
        <translation>Nein</translation>
    </message>
    <message>
        <source>Open VORN Analysis Package</source>
        <translation>VORN-Analysepaket öffnen</translation>
    </message>
    <message>
        <source>VORN Analysis Packages (*.pkg)</source>
        <translation>VORN-Analysepakete (*.pkg)</translation>
    </message>
    <message>
        <source>This is not a valid VORN package file!</source>
        <translation>Dies ist keine gültige VORN-Paketdatei!</translation>
    </message>
    <message>
        <source>This package is not compatible with this version of VORN Viewer. Try opening this package with an earlier version of VORN Viewer.</source>
        <translation>Dieses Paket ist mit dieser Version von VORN Viewer nicht kompatibel. Öffnen Sie es mit einer älteren Version von VORN Viewer.</translation>
    </message>
    <message>
        <source>This package is not compatible with this version of VORN Viewer. Try opening this package with an newer version of VORN Viewer.</source>
        <translation>Dieses Paket ist mit dieser Version von VORN Viewer nicht kompatibel. Öffnen Sie es mit einer neueren Version von VORN Viewer.</translation>
    </message>
    <message>
        <source>Package could not be opened (Generic error)</source>
        <translation>Das Paket konnte nicht geöffnet werden (allgemeiner Fehler)</translation>
    </message>
    <message>
        <source>Password invalid</source>
        <translation>Passwort ungültig</translation>
    </message>
    <message>
        <source>Cannot authenticate user</source>
        <translation>Benutzer kann nicht authentifiziert werden</translation>
    </message>
    <message>
        <source>Username invalid</source>
        <translation>Benutzername ungültig</translation>
    </message>
    <message>
        <source>Error decoding package</source>
        <translation>Fehler beim Entschlüsseln des Pakets</translation>
    </message>
    <message>
        <source>VORN Viewer  |  %1</source>
        <translation>VORN Viewer  |  %1</translation>
    </message>
    <message>
        <source>This package contains</source>
        <translation>Dieses Paket enthält</translation>
    </message>
    <message>
        <source>expired calls</source>
        <translation>abgelaufene Anrufe</translation>
    </message>
    <message>
        <source>and</source>
        <translation>und</translation>
    </message>
    <message>
        <source>calls with expired media</source>
        <translation>Anrufe mit abgelaufenen Aufnahmen</translation>
    </message>
    <message>
        <source>Time verification progress...</source>
        <translation>Zeitprüfung läuft...</translation>
    </message>
    <message>
        <source>Waiting for </source>
        <translation>Warten auf </translation>
    </message>
    <message>
        <source>Time verification failed</source>
        <translation>Zeitprüfung fehlgeschlagen</translation>
    </message>
    <message>
        <source>Please enter a valid URL to verify time:</source>
        <translation>Bitte geben Sie eine gültige URL zur Zeitprüfung ein:</translation>
    </message>
    <message>
        <source>Save Review</source>
        <translation>Prüfung speichern</translation>
    </message>
    <message>
        <source>Open Review</source>
        <translation>Prüfung öffnen</translation>
    </message>
    <message>
        <source>Export Report</source>
        <translation>Bericht exportieren</translation>
    </message>
    <message>
        <source>Save review?</source>
        <translation>Prüfung speichern?</translation>
    </message>
    <message>
        <source>The notes of this review have not been saved.</source>
        <translation>Die Notizen dieser Prüfung sind nicht gespeichert.</translation>
    </message>
    <message>
        <source>Save</source>
        <translation>Speichern</translation>
    </message>
    <message>
        <source>Discard</source>
        <translation>Verwerfen</translation>
    </message>
    <message>
        <source>Cancel</source>
        <translation>Abbrechen</translation>
    </message>
    <message>
        <source>Review files (*.review.json *.json)</source>
        <translation>Prüfungsdateien (*.review.json *.json)</translation>
    </message>
    <message>
        <source>The review could not be saved: %1</source>
        <translation>Die Prüfung konnte nicht gespeichert werden: %1</translation>
    </message>
    <message>
        <source>The review could not be opened: %1</source>
        <translation>Die Prüfung konnte nicht geöffnet werden: %1</translation>
    </message>
    <message>
        <source>This review was made for another package. The notes of calls found in this package are shown; the others are kept and saved with the review.</source>
        <translation>Diese Prüfung wurde für ein anderes Paket erstellt. Die Notizen der Anrufe dieses Pakets werden angezeigt; die übrigen bleiben erhalten und werden mit der Prüfung gespeichert.</translation>
    </message>
    <message>
        <source>PDF report (*.pdf)</source>
        <translation>PDF-Bericht (*.pdf)</translation>
    </message>
    <message>
        <source>CSV table (*.csv)</source>
        <translation>CSV-Tabelle (*.csv)</translation>
    </message>
    <message>
        <source>The report could not be written: %1</source>
        <translation>Der Bericht konnte nicht geschrieben werden: %1</translation>
    </message>
    <message>
        <source>Export Recordings</source>
        <translation>Aufnahmen exportieren</translation>
    </message>
</context>
</TS>
