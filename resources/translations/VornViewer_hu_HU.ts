<?xml version="1.0" encoding="utf-8"?>
<!DOCTYPE TS>
<TS version="2.1" language="hu_HU">
<context>
    <name>AudioPlayer</name>
    <message>
        <source>&lt;p&gt;Could not open wvc file.</source>
        <translation>&lt;p&gt;A WVC-fájl nem nyitható meg.</translation>
    </message>
    <message>
        <source>&lt;p&gt;Could not open wav file.</source>
        <translation>&lt;p&gt;A WAV-fájl nem nyitható meg.</translation>
    </message>
    <message>
        <source>&lt;p&gt;Device to play audio not found.</source>
        <translation>&lt;p&gt;Nem található hanglejátszó eszköz.</translation>
    </message>
    <message>
        <source>Error</source>
        <translation>Hiba</translation>
    </message>
    <message>
        <source>Save File</source>
        <translation>Fájl mentése</translation>
    </message>
    <message>
        <source>&lt;p&gt;Not able to open file in selected directory</source>
        <translation>&lt;p&gt;A fájl nem nyitható meg a kiválasztott mappában</translation>
    </message>
    <message>
        <source>Downloading...</source>
        <translation>Letöltés...</translation>
    </message>
    <message>
        <source>Cancel</source>
        <translation>Mégse</translation>
    </message>
    <message>
        <source>&lt;p&gt;Could not write to file</source>
        <translation>&lt;p&gt;A fájlba nem lehet írni</translation>
    </message>
    <message>
        <source>&lt;p&gt;File not found in package</source>
        <translation>&lt;p&gt;A fájl nem található a csomagban</translation>
    </message>
    <message>
        <source>&lt;p&gt;The sound device stopped working. Playback has ended.</source>
        <translation>&lt;p&gt;A hangeszköz leállt. A lejátszás befejeződött.</translation>
    </message>
    <message>
        <source>&lt;p&gt;Could not read from the package: the package file has changed or is no longer available.</source>
        <translation>&lt;p&gt;Nem sikerült olvasni a csomagból: a csomagfájl megváltozott, vagy már nem érhető el.</translation>
    </message>
</context>
<context>
    <name>BatchExport</name>
    <message>
        <source>Recordings written: %1</source>
        <translation>Kiírt felvételek: %1</translation>
    </message>
    <message>
        <source>Skipped %1: %2</source>
        <translation>Kihagyva %1: %2</translation>
    </message>
    <message>
        <source>The export was cancelled.</source>
        <translation>Az exportálás megszakadt.</translation>
    </message>
    <message>
        <source>the call has expired</source>
        <translation>a hívás lejárt</translation>
    </message>
    <message>
        <source>the call is not in this package</source>
        <translation>a hívás nincs ebben a csomagban</translation>
    </message>
    <message>
        <source>the recording has expired</source>
        <translation>a felvétel lejárt</translation>
    </message>
    <message>
        <source>the call has no recording</source>
        <translation>a hívásnak nincs felvétele</translation>
    </message>
    <message>
        <source>The folder %1 does not exist.</source>
        <translation>A(z) %1 mappa nem létezik.</translation>
    </message>
    <message>
        <source>These files exist already: %1</source>
        <translation>Ezek a fájlok már léteznek: %1</translation>
    </message>
    <message>
        <source>Could not write %1: %2</source>
        <translation>Nem sikerült írni: %1: %2</translation>
    </message>
    <message>
        <source>the recording could not be read</source>
        <translation>a felvétel nem olvasható</translation>
    </message>
</context>
<context>
    <name>InputDialog</name>
    <message>
        <source>Please enter user name and password</source>
        <translation>Adja meg a felhasználónevet és a jelszót</translation>
    </message>
    <message>
        <source>Username:</source>
        <translation>Felhasználónév:</translation>
    </message>
    <message>
        <source>Password:</source>
        <translation>Jelszó:</translation>
    </message>
    <message>
        <source>Authority password (optional):</source>
        <translation>Hatósági jelszó (nem kötelező):</translation>
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
        <translation>Felvételek exportálása</translation>
    </message>
    <message>
        <source>There are no reviewed calls to export.</source>
        <translation>Nincs exportálható átnézett hívás.</translation>
    </message>
    <message>
        <source>Choose the folder for the recordings</source>
        <translation>Válassza ki a felvételek mappáját</translation>
    </message>
    <message>
        <source>These files exist in the folder already:
%1

Replace them?</source>
        <translation>Ezek a fájlok már léteznek a mappában:
%1

Lecseréli őket?</translation>
    </message>
    <message>
        <source>Exporting recordings...</source>
        <translation>Felvételek exportálása...</translation>
    </message>
    <message>
        <source>Cancel</source>
        <translation>Mégse</translation>
    </message>
</context>
<context>
    <name>ReportPrinter</name>
    <message>
        <source>The report could not be laid out.</source>
        <translation>A jelentést nem sikerült tördelni.</translation>
    </message>
</context>
<context>
    <name>ReviewDocument</name>
    <message>
        <source>The review file is damaged (byte %1).</source>
        <translation>Az áttekintésfájl sérült (%1. bájt).</translation>
    </message>
    <message>
        <source>The file is not a review file.</source>
        <translation>A fájl nem áttekintésfájl.</translation>
    </message>
    <message>
        <source>The review file has version %1; this viewer reads version %2.</source>
        <translation>Az áttekintésfájl %1. verziójú; ez a megjelenítő a(z) %2. verziót olvassa.</translation>
    </message>
    <message>
        <source>The review file is damaged.</source>
        <translation>Az áttekintésfájl sérült.</translation>
    </message>
    <message>
        <source>The review file is damaged (call %1).</source>
        <translation>Az áttekintésfájl sérült (%1. hívás).</translation>
    </message>
    <message>
        <source>The review file cannot be read: %1</source>
        <translation>Az áttekintésfájl nem olvasható: %1</translation>
    </message>
    <message>
        <source>%1 is not a regular file.</source>
        <translation>%1 nem közönséges fájl.</translation>
    </message>
    <message>
        <source>%1 cannot be written: %2</source>
        <translation>%1 nem írható: %2</translation>
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
        <translation>Kattintson, és válasszon egy „*.pkg” fájlt. Ha a csomag titkosított, a program felhasználónevet és jelszót kér.</translation>
    </message>
    <message>
        <source>Once the package is opened, you can navigate through the calls by clicking the available tabs and play audio content in the integrated audio player.</source>
        <translation>A csomag megnyitása után a fülekre kattintva böngészhet a hívások között, és a beépített lejátszóval meghallgathatja a felvételeket.</translation>
    </message>
    <message>
        <source>Home (Ctrl+H)</source>
        <translation>Kezdőlap (Ctrl+H)</translation>
    </message>
    <message>
        <source>Open package (Ctrl+O)</source>
        <translation>Csomag megnyitása (Ctrl+O)</translation>
    </message>
    <message>
        <source>Authority override</source>
        <translation>Hatósági hozzáférés</translation>
    </message>
    <message>
        <source>Zoom in (Ctrl++)</source>
        <translation>Nagyítás (Ctrl++)</translation>
    </message>
    <message>
        <source>Zoom out (Ctrl+-)</source>
        <translation>Kicsinyítés (Ctrl+-)</translation>
    </message>
    <message>
        <source>About</source>
        <translation>Névjegy</translation>
    </message>
    <message>
        <source>Main toolbar</source>
        <translation>Fő eszköztár</translation>
    </message>
    <message>
        <source>Version %1</source>
        <translation>%1. verzió</translation>
    </message>
    <message>
        <source>About VORN Viewer</source>
        <translation>A VORN Viewer névjegye</translation>
    </message>
    <message>
        <source>Authority password</source>
        <translation>Hatósági jelszó</translation>
    </message>
    <message>
        <source>Please enter the password for authority access:</source>
        <translation>Adja meg a hatósági hozzáférés jelszavát:</translation>
    </message>
    <message>
        <source>Invalid password</source>
        <translation>Érvénytelen jelszó</translation>
    </message>
    <message>
        <source>The password did not match!</source>
        <translation>A jelszó nem egyezik!</translation>
    </message>
    <message>
        <source>Authority override activated</source>
        <translation>Hatósági hozzáférés bekapcsolva</translation>
    </message>
    <message>
        <source>Arabic (ar_SA)</source>
        <translation>Arab (ar_SA)</translation>
    </message>
    <message>
        <source>Danish (da_DK)</source>
        <translation>Dán (da_DK)</translation>
    </message>
    <message>
        <source>German (de_DE)</source>
        <translation>Német (de_DE)</translation>
    </message>
    <message>
        <source>German (de_CH)</source>
        <translation>Német (de_CH)</translation>
    </message>
    <message>
        <source>German (de_AT)</source>
        <translation>Német (de_AT)</translation>
    </message>
    <message>
        <source>English (en_AU)</source>
        <translation>Angol (en_AU)</translation>
    </message>
    <message>
        <source>English (en_GB)</source>
        <translation>Angol (en_GB)</translation>
    </message>
    <message>
        <source>English (en_IE)</source>
        <translation>Angol (en_IE)</translation>
    </message>
    <message>
        <source>English (en_US)</source>
        <translation>Angol (en_US)</translation>
    </message>
    <message>
        <source>French (fr_CH)</source>
        <translation>Francia (fr_CH)</translation>
    </message>
    <message>
        <source>French (fr_FR)</source>
        <translation>Francia (fr_FR)</translation>
    </message>
    <message>
        <source>Hungarian (hu_HU)</source>
        <translation>Magyar (hu_HU)</translation>
    </message>
    <message>
        <source>Lithuanian (lt_LT)</source>
        <translation>Litván (lt_LT)</translation>
    </message>
    <message>
        <source>Norwegian (nb_NO)</source>
        <translation>Norvég (nb_NO)</translation>
    </message>
    <message>
        <source>Polish (pl_PL)</source>
        <translation>Lengyel (pl_PL)</translation>
    </message>
    <message>
        <source>Russian (ru_RU)</source>
        <translation>Orosz (ru_RU)</translation>
    </message>
    <message>
        <source>Slovak (sk_SK)</source>
        <translation>Szlovák (sk_SK)</translation>
    </message>
    <message>
        <source>Slovenian (sl_SI)</source>
        <translation>Szlovén (sl_SI)</translation>
    </message>
    <message>
        <source>Turkish (tr_TR)</source>
        <translation>Török (tr_TR)</translation>
    </message>
    <message>
        <source>Authority password invalid. Continue anyway?</source>
        <translation>Érvénytelen hatósági jelszó. Folytatja mégis?</translation>
    </message>
    <message>
        <source>Yes</source>
        <translation>Igen</translation>
    </message>
    <message>
        <source>No</source>
        <translation>Nem</translation>
    </message>
    <message>
        <source>Open VORN Analysis Package</source>
        <translation>VORN elemzőcsomag megnyitása</translation>
    </message>
    <message>
        <source>VORN Analysis Packages (*.pkg)</source>
        <translation>VORN elemzőcsomagok (*.pkg)</translation>
    </message>
    <message>
        <source>This is not a valid VORN package file!</source>
        <translation>Ez nem érvényes VORN csomagfájl!</translation>
    </message>
    <message>
        <source>This package is not compatible with this version of VORN Viewer. Try opening this package with an earlier version of VORN Viewer.</source>
        <translation>Ez a csomag nem kompatibilis a VORN Viewer ezen verziójával. Próbálja megnyitni a VORN Viewer egy korábbi verziójával.</translation>
    </message>
    <message>
        <source>This package is not compatible with this version of VORN Viewer. Try opening this package with an newer version of VORN Viewer.</source>
        <translation>Ez a csomag nem kompatibilis a VORN Viewer ezen verziójával. Próbálja megnyitni a VORN Viewer egy újabb verziójával.</translation>
    </message>
    <message>
        <source>Package could not be opened (Generic error)</source>
        <translation>A csomag nem nyitható meg (általános hiba)</translation>
    </message>
    <message>
        <source>Password invalid</source>
        <translation>Érvénytelen jelszó</translation>
    </message>
    <message>
        <source>Cannot authenticate user</source>
        <translation>A felhasználó nem hitelesíthető</translation>
    </message>
    <message>
        <source>Username invalid</source>
        <translation>Érvénytelen felhasználónév</translation>
    </message>
    <message>
        <source>Error decoding package</source>
        <translation>Hiba a csomag dekódolásakor</translation>
    </message>
    <message>
        <source>VORN Viewer  |  %1</source>
        <translation>VORN Viewer  |  %1</translation>
    </message>
    <message>
        <source>This package contains</source>
        <translation>A csomag tartalma:</translation>
    </message>
    <message>
        <source>expired calls</source>
        <translation>lejárt hívás</translation>
    </message>
    <message>
        <source>and</source>
        <translation>és</translation>
    </message>
    <message>
        <source>calls with expired media</source>
        <translation>lejárt felvételű hívás</translation>
    </message>
    <message>
        <source>Time verification progress...</source>
        <translation>Időellenőrzés folyamatban...</translation>
    </message>
    <message>
        <source>Waiting for </source>
        <translation>Várakozás: </translation>
    </message>
    <message>
        <source>Time verification failed</source>
        <translation>Az időellenőrzés sikertelen</translation>
    </message>
    <message>
        <source>Please enter a valid URL to verify time:</source>
        <translation>Adjon meg egy érvényes URL-t az idő ellenőrzéséhez:</translation>
    </message>
    <message>
        <source>Save Review</source>
        <translation>Áttekintés mentése</translation>
    </message>
    <message>
        <source>Open Review</source>
        <translation>Áttekintés megnyitása</translation>
    </message>
    <message>
        <source>Export Report</source>
        <translation>Jelentés exportálása</translation>
    </message>
    <message>
        <source>Save review?</source>
        <translation>Menti az áttekintést?</translation>
    </message>
    <message>
        <source>The notes of this review have not been saved.</source>
        <translation>Az áttekintés jegyzetei nincsenek mentve.</translation>
    </message>
    <message>
        <source>Save</source>
        <translation>Mentés</translation>
    </message>
    <message>
        <source>Discard</source>
        <translation>Elvetés</translation>
    </message>
    <message>
        <source>Cancel</source>
        <translation>Mégse</translation>
    </message>
    <message>
        <source>Review files (*.review.json *.json)</source>
        <translation>Áttekintésfájlok (*.review.json *.json)</translation>
    </message>
    <message>
        <source>The review could not be saved: %1</source>
        <translation>Az áttekintést nem sikerült menteni: %1</translation>
    </message>
    <message>
        <source>The review could not be opened: %1</source>
        <translation>Az áttekintést nem sikerült megnyitni: %1</translation>
    </message>
    <message>
        <source>This review was made for another package. The notes of calls found in this package are shown; the others are kept and saved with the review.</source>
        <translation>Ez az áttekintés egy másik csomaghoz készült. A csomagban található hívások jegyzetei láthatók; a többi megmarad, és az áttekintéssel együtt mentődik.</translation>
    </message>
    <message>
        <source>PDF report (*.pdf)</source>
        <translation>PDF-jelentés (*.pdf)</translation>
    </message>
    <message>
        <source>CSV table (*.csv)</source>
        <translation>CSV-táblázat (*.csv)</translation>
    </message>
    <message>
        <source>The report could not be written: %1</source>
        <translation>A jelentést nem sikerült kiírni: %1</translation>
    </message>
    <message>
        <source>Export Recordings</source>
        <translation>Felvételek exportálása</translation>
    </message>
</context>
</TS>
