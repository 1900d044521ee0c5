<?xml version="1.0" encoding="utf-8"?>
<!DOCTYPE TS>
<TS version="2.1" language="nb_NO">
<context>
    <name>AudioPlayer</name>
    <message>
        <source>&lt;p&gt;Could not open wvc file.</source>
        <translation>&lt;p&gt;WVC-filen kunne ikke åpnes.</translation>
    </message>
    <message>
        <source>&lt;p&gt;Could not open wav file.</source>
        <translation>&lt;p&gt;WAV-filen kunne ikke åpnes.</translation>
    </message>
    <message>
        <source>&lt;p&gt;Device to play audio not found.</source>
        <translation>&lt;p&gt;Fant ingen enhet for lydavspilling.</translation>
    </message>
    <message>
        <source>Error</source>
        <translation>Feil</translation>
    </message>
    <message>
        <source>Save File</source>
        <translation>Lagre fil</translation>
    </message>
    <message>
        <source>&lt;p&gt;Not able to open file in selected directory</source>
        <translation>&lt;p&gt;Kan ikke åpne filen i den valgte mappen</translation>
    </message>
    <message>
        <source>Downloading...</source>
        <translation>Laster ned...</translation>
    </message>
    <message>
        <source>Cancel</source>
        <translation>Avbryt</translation>
    </message>
    <message>
        <source>&lt;p&gt;Could not write to file</source>
        <translation>&lt;p&gt;Kunne ikke skrive til filen</translation>
    </message>
    <message>
        <source>&lt;p&gt;File not found in package</source>
        <translation>&lt;p&gt;Fant ikke filen i pakken</translation>
    </message>
    <message>
        <source>&lt;p&gt;The sound device stopped working. Playback has ended.</source>
        <translation>&lt;p&gt;Lydenheten sluttet å virke. Avspillingen er stoppet.</translation>
    </message>
    <message>
        <source>&lt;p&gt;Could not read from the package: the package file has changed or is no longer available.</source>
        <translation>&lt;p&gt;Kunne ikke lese fra pakken: pakkefilen er endret eller er ikke lenger tilgjengelig.</translation>
    </message>
</context>
<context>
    <name>BatchExport</name>
    <message>
        <source>Recordings written: %1</source>
        <translation>Opptak skrevet: %1</translation>
    </message>
    <message>
        <source>Skipped %1: %2</source>
        <translation>Hoppet over %1: %2</translation>
    </message>
    <message>
        <source>The export was cancelled.</source>
        <translation>Eksporten ble avbrutt.</translation>
    </message>
    <message>
        <source>the call has expired</source>
        <translation>samtalen er utløpt</translation>
    </message>
    <message>
        <source>the call is not in this package</source>
        <translation>samtalen er ikke i denne pakken</translation>
    </message>
    <message>
        <source>the recording has expired</source>
        <translation>opptaket er utløpt</translation>
    </message>
    <message>
        <source>the call has no recording</source>
        <translation>samtalen har ikke noe opptak</translation>
    </message>
    <message>
        <source>The folder %1 does not exist.</source>
        <translation>Mappen %1 finnes ikke.</translation>
    </message>
    <message>
        <source>These files exist already: %1</source>
        <translation>Disse filene finnes allerede: %1</translation>
    </message>
    <message>
        <source>Could not write %1: %2</source>
        <translation>Kunne ikke skrive %1: %2</translation>
    </message>
    <message>
        <source>the recording could not be read</source>
        <translation>opptaket kunne ikke leses</translation>
    </message>
</context>
<context>
    <name>InputDialog</name>
    <message>
        <source>Please enter user name and password</source>
        <translation>Skriv inn brukernavn og passord</translation>
    </message>
    <message>
        <source>Username:</source>
        <translation>Brukernavn:</translation>
    </message>
    <message>
        <source>Password:</source>
        <translation>Passord:</translation>
    </message>
    <message>
        <source>Authority password (optional):</source>
        <translation>Myndighetspassord (valgfritt):</translation>
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
        <translation>Eksporter opptak</translation>
    </message>
    <message>
        <source>There are no reviewed calls to export.</source>
        <translation>Det finnes ingen gjennomgåtte samtaler å eksportere.</translation>
    </message>
    <message>
        <source>Choose the folder for the recordings</source>
        <translation>Velg mappen for opptakene</translation>
    </message>
    <message>
        <source>These files exist in the folder already:
%1

Replace them?</source>
        <translation>Disse filene finnes allerede i mappen:
%1

Erstatte dem?</translation>
    </message>
    <message>
        <source>Exporting recordings...</source>
        <translation>Eksporterer opptak...</translation>
    </message>
    <message>
        <source>Cancel</source>
        <translation>Avbryt</translation>
    </message>
</context>
<context>
    <name>ReportPrinter</name>
    <message>
        <source>The report could not be laid out.</source>
        <translation>Rapporten kunne ikke settes opp.</translation>
    </message>
</context>
<context>
    <name>ReviewDocument</name>
    <message>
        <source>The review file is damaged (byte %1).</source>
        <translation>Gjennomgangsfilen er skadet (byte %1).</translation>
    </message>
    <message>
        <source>The file is not a review file.</source>
        <translation>Filen er ikke en gjennomgangsfil.</translation>
    </message>
    <message>
        <source>The review file has version %1; this viewer reads version %2.</source>
        <translation>Gjennomgangsfilen har versjon %1; denne visningen leser versjon %2.</translation>
    </message>
    <message>
        <source>The review file is damaged.</source>
        <translation>Gjennomgangsfilen er skadet.</translation>
    </message>
    <message>
        <source>The review file is damaged (call %1).</source>
        <translation>Gjennomgangsfilen er skadet (samtale %1).</translation>
    </message>
    <message>
        <source>The review file cannot be read: %1</source>
        <translation>Gjennomgangsfilen kan ikke leses: %1</translation>
    </message>
    <message>
        <source>%1 is not a regular file.</source>
        <translation>%1 er ikke en vanlig fil.</translation>
    </message>
    <message>
        <source>%1 cannot be written: %2</source>
        <translation>%1 kan ikke skrives: %2</translation>
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
        <translation>Klikk og velg en «*.pkg»-fil. Hvis pakken er kryptert, blir du bedt om å skrive inn brukernavn og passord.</translation>
    </message>
    <message>
        <source>Once the package is opened, you can navigate through the calls by clicking the available tabs and play audio content in the integrated audio player.</source>
        <translation>Når pakken er åpnet, kan du bla gjennom samtalene ved å klikke på fanene og spille av lyd i den innebygde avspilleren.</translation>
    </message>
    <message>
        <source>Home (Ctrl+H)</source>
        <translation>Startside (Ctrl+H)</translation>
    </message>
    <message>
        <source>Open package (Ctrl+O)</source>
        <translation>Åpne pakke (Ctrl+O)</translation>
    </message>
    <message>
        <source>Authority override</source>
        <translation>Myndighetstilgang</translation>
    </message>
    <message>
        <source>Zoom in (Ctrl++)</source>
        <translation>Zoom inn (Ctrl++)</translation>
    </message>
    <message>
        <source>Zoom out (Ctrl+-)</source>
        <translation>Zoom ut (Ctrl+-)</translation>
    </message>
    <message>
        <source>About</source>
        <translation>Om</translation>
    </message>
    <message>
        <source>Main toolbar</source>
        <translation>Hovedverktøylinje</translation>
    </message>
    <message>
        <source>Version %1</source>
        <translation>Versjon %1</translation>
    </message>
    <message>
        <source>About VORN Viewer</source>
        <translation>Om VORN Viewer</translation>
    </message>
    <message>
        <source>Authority password</source>
        <translation>Myndighetspassord</translation>
    </message>
    <message>
        <source>Please enter the password for authority access:</source>
        <translation>Skriv inn passordet for myndighetstilgang:</translation>
    </message>
    <message>
        <source>Invalid password</source>
        <translation>Ugyldig passord</translation>
    </message>
    <message>
        <source>The password did not match!</source>
        <translation>Passordet stemte ikke!</translation>
    </message>
    <message>
        <source>Authority override activated</source>
        <translation>Myndighetstilgang aktivert</translation>
    </message>
    <message>
        <source>Arabic (ar_SA)</source>
        <translation>Arabisk (ar_SA)</translation>
    </message>
    <message>
        <source>Danish (da_DK)</source>
        <translation>Dansk (da_DK)</translation>
    </message>
    <message>
        <source>German (de_DE)</source>
        <translation>Tysk (de_DE)</translation>
    </message>
    <message>
        <source>German (de_CH)</source>
        <translation>Tysk (de_CH)</translation>
    </message>
    <message>
        <source>German (de_AT)</source>
        <translation>Tysk (de_AT)</translation>
    </message>
    <message>
        <source>English (en_AU)</source>
        <translation>Engelsk (en_AU)</translation>
    </message>
    <message>
        <source>English (en_GB)</source>
        <translation>Engelsk (en_GB)</translation>
    </message>
    <message>
        <source>English (en_IE)</source>
        <translation>Engelsk (en_IE)</translation>
    </message>
    <message>
        <source>English (en_US)</source>
        <translation>Engelsk (en_US)</translation>
    </message>
    <message>
        <source>French (fr_CH)</source>
        <translation>Fransk (fr_CH)</translation>
    </message>
    <message>
        <source>French (fr_FR)</source>
        <translation>Fransk (fr_FR)</translation>
    </message>
    <message>
        <source>Hungarian (hu_HU)</source>
        <translation>Ungarsk (hu_HU)</translation>
    </message>
    <message>
        <source>Lithuanian (lt_LT)</source>
        <translation>Litauisk (lt_LT)</translation>
    </message>
    <message>
        <source>Norwegian (nb_NO)</source>
        <translation>Norsk (nb_NO)</translation>
    </message>
    <message>
        <source>Polish (pl_PL)</source>
        <translation>Polsk (pl_PL)</translation>
    </message>
    <message>
        <source>Russian (ru_RU)</source>
        <translation>Russisk (ru_RU)</translation>
    </message>
    <message>
        <source>Slovak (sk_SK)</source>
        <translation>Slovakisk (sk_SK)</translation>
    </message>
    <message>
        <source>Slovenian (sl_SI)</source>
        <translation>Slovensk (sl_SI)</translation>
    </message>
    <message>
        <source>Turkish (tr_TR)</source>
        <translation>Tyrkisk (tr_TR)</translation>
    </message>
    <message>
        <source>Authority password invalid. Continue anyway?</source>
        <translation>Myndighetspassordet er ugyldig. Vil du fortsette likevel?</translation>
    </message>
    <message>
        <source>Yes</source>
        <translation>Ja</translation>
    </message>
    <message>
        <source>No</source>
        <translation>Nei</translation>
    </message>
    <message>
        <source>Open VORN Analysis Package</source>
        <translation>Åpne VORN-analysepakke</translation>
    </message>
    <message>
        <source>VORN Analysis Packages (*.pkg)</source>
        <translation>VORN-analysepakker (*.pkg)</translation>
    </message>
    <message>
        <source>This is not a valid VORN package file!</source>
        <translation>Dette er ikke en gyldig VORN-pakkefil!</translation>
    </message>
    <message>
        <source>This package is not compatible with this version of VORN Viewer. Try opening this package with an earlier version of VORN Viewer.</source>
        <translation>Denne pakken er ikke kompatibel med denne versjonen av VORN Viewer. Prøv å åpne den med en eldre versjon av VORN Viewer.</translation>
    </message>
    <message>
        <source>This package is not compatible with this version of VORN Viewer. Try opening this package with an newer version of VORN Viewer.</source>
        <translation>Denne pakken er ikke kompatibel med denne versjonen av VORN Viewer. Prøv å åpne den med en nyere versjon av VORN Viewer.</translation>
    </message>
    <message>
        <source>Package could not be opened (Generic error)</source>
        <translation>Pakken kunne ikke åpnes (generell feil)</translation>
    </message>
    <message>
        <source>Password invalid</source>
        <translation>Passordet er ugyldig</translation>
    </message>
    <message>
        <source>Cannot authenticate user</source>
        <translation>Kan ikke autentisere brukeren</translation>
    </message>
    <message>
        <source>Username invalid</source>
        <translation>Brukernavnet er ugyldig</translation>
    </message>
    <message>
        <source>Error decoding package</source>
        <translation>Feil ved dekoding av pakken</translation>
    </message>
    <message>
        <source>VORN Viewer  |  %1</source>
        <translation>VORN Viewer  |  %1</translation>
    </message>
    <message>
        <source>This package contains</source>
        <translation>Denne pakken inneholder</translation>
    </message>
    <message>
        <source>expired calls</source>
        <translation>utløpte samtaler</translation>
    </message>
    <message>
        <source>and</source>
        <translation>og</translation>
    </message>
    <message>
        <source>calls with expired media</source>
        <translation>samtaler med utløpte opptak</translation>
    </message>
    <message>
        <source>Time verification progress...</source>
        <translation>Tidsbekreftelse pågår...</translation>
    </message>
    <message>
        <source>Waiting for </source>
        <translation>Venter på </translation>
    </message>
    <message>
        <source>Time verification failed</source>
        <translation>Tidsbekreftelsen mislyktes</translation>
    </message>
    <message>
        <source>Please enter a valid URL to verify time:</source>
        <translation>Skriv inn en gyldig URL for tidsbekreftelse:</translation>
    </message>
    <message>
        <source>Save Review</source>
        <translation>Lagre gjennomgang</translation>
    </message>
    <message>
        <source>Open Review</source>
        <translation>Åpne gjennomgang</translation>
    </message>
    <message>
        <source>Export Report</source>
        <translation>Eksporter rapport</translation>
    </message>
    <message>
        <source>Save review?</source>
        <translation>Lagre gjennomgangen?</translation>
    </message>
    <message>
        <source>The notes of this review have not been saved.</source>
        <translation>Notatene i denne gjennomgangen er ikke lagret.</translation>
    </message>
    <message>
        <source>Save</source>
        <translation>Lagre</translation>
    </message>
    <message>
        <source>Discard</source>
        <translation>Forkast</translation>
    </message>
    <message>
        <source>Cancel</source>
        <translation>Avbryt</translation>
    </message>
    <message>
        <source>Review files (*.review.json *.json)</source>
        <translation>Gjennomgangsfiler (*.review.json *.json)</translation>
    </message>
    <message>
        <source>The review could not be saved: %1</source>
        <translation>Gjennomgangen kunne ikke lagres: %1</translation>
    </message>
    <message>
        <source>The review could not be opened: %1</source>
        <translation>Gjennomgangen kunne ikke åpnes: %1</translation>
    </message>
    <message>
        <source>This review was made for another package. The notes of calls found in this package are shown; the others are kept and saved with the review.</source>
        <translation>Denne gjennomgangen ble laget for en annen pakke. Notatene for samtaler i denne pakken vises; de andre beholdes og lagres med gjennomgangen.</translation>
    </message>
    <message>
        <source>PDF report (*.pdf)</source>
        <translation>PDF-rapport (*.pdf)</translation>
    </message>
    <message>
        <source>CSV table (*.csv)</source>
        <translation>CSV-tabell (*.csv)</translation>
    </message>
    <message>
        <source>The report could not be written: %1</source>
        <translation>Rapporten kunne ikke skrives: %1</translation>
    </message>
    <message>
        <source>Export Recordings</source>
        <translation>Eksporter opptak</translation>
    </message>
</context>
</TS>
