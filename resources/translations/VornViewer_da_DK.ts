<?xml version="1.0" encoding="utf-8"?>
<!DOCTYPE TS>
<TS version="2.1" language="da_DK">
<context>
    <name>AudioPlayer</name>
    <message>
        <source>&lt;p&gt;Could not open wvc file.</source>
        <translation>&lt;p&gt;WVC-filen kunne ikke åbnes.</translation>
    </message>
    <message>
        <source>&lt;p&gt;Could not open wav file.</source>
        <translation>&lt;p&gt;WAV-filen kunne ikke åbnes.</translation>
    </message>
    <message>
        <source>&lt;p&gt;Device to play audio not found.</source>
        <translation>&lt;p&gt;Der blev ikke fundet en enhed til lydafspilning.</translation>
    </message>
    <message>
        <source>Error</source>
        <translation>Fejl</translation>
    </message>
    <message>
        <source>Save File</source>
        <translation>Gem fil</translation>
    </message>
    <message>
        <source>&lt;p&gt;Not able to open file in selected directory</source>
        <translation>&lt;p&gt;Filen kan ikke åbnes i den valgte mappe</translation>
    </message>
    <message>
        <source>Downloading...</source>
        <translation>Henter...</translation>
    </message>
    <message>
        <source>Cancel</source>
        <translation>Annuller</translation>
    </message>
    <message>
        <source>&lt;p&gt;Could not write to file</source>
        <translation>&lt;p&gt;Der kunne ikke skrives til filen</translation>
    </message>
    <message>
        <source>&lt;p&gt;File not found in package</source>
        <translation>&lt;p&gt;Filen blev ikke fundet i pakken</translation>
    </message>
    <message>
        <source>&lt;p&gt;The sound device stopped working. Playback has ended.</source>
        <translation>&lt;p&gt;Lydenheden holdt op med at virke. Afspilningen er stoppet.</translation>
    </message>
    <message>
        <source>&lt;p&gt;Could not read from the package: the package file has changed or is no longer available.</source>
        <translation>&lt;p&gt;Kunne ikke læse fra pakken: pakkefilen er blevet ændret eller er ikke længere tilgængelig.</translation>
    </message>
</context>
<context>
    <name>BatchExport</name>
    <message>
        <source>Recordings written: %1</source>
        <translation>Optagelser skrevet: %1</translation>
    </message>
    <message>
        <source>Skipped %1: %2</source>
        <translation>Sprunget over %1: %2</translation>
    </message>
    <message>
        <source>The export was cancelled.</source>
        <translation>Eksporten blev annulleret.</translation>
    </message>
    <message>
        <source>the call has expired</source>
        <translation>opkaldet er udløbet</translation>
    </message>
    <message>
        <source>the call is not in this package</source>
        <translation>opkaldet er ikke i denne pakke</translation>
    </message>
    <message>
        <source>the recording has expired</source>
        <translation>optagelsen er udløbet</translation>
    </message>
    <message>
        <source>the call has no recording</source>
        <translation>opkaldet har ingen optagelse</translation>
    </message>
    <message>
        <source>The folder %1 does not exist.</source>
        <translation>Mappen %1 findes ikke.</translation>
    </message>
    <message>
        <source>These files exist already: %1</source>
        <translation>Disse filer findes allerede: %1</translation>
    </message>
    <message>
        <source>Could not write %1: %2</source>
        <translation>Kunne ikke skrive %1: %2</translation>
    </message>
    <message>
        <source>the recording could not be read</source>
        <translation>optagelsen kunne ikke læses</translation>
    </message>
</context>
<context>
    <name>InputDialog</name>
    <message>
        <source>Please enter user name and password</source>
        <translation>Indtast brugernavn og adgangskode</translation>
    </message>
    <message>
        <source>Username:</source>
        <translation>Brugernavn:</translation>
    </message>
    <message>
        <source>Password:</source>
        <translation>Adgangskode:</translation>
    </message>
    <message>
        <source>Authority password (optional):</source>
        <translation>Myndighedsadgangskode (valgfri):</translation>
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
        <translation>Eksportér optagelser</translation>
    </message>
    <message>
        <source>There are no reviewed calls to export.</source>
        <translation>Der er ingen gennemgåede opkald at eksportere.</translation>
    </message>
    <message>
        <source>Choose the folder for the recordings</source>
        <translation>Vælg mappen til optagelserne</translation>
    </message>
    <message>
        <source>These files exist in the folder already:
%1

Replace them?</source>
        <translation>Disse filer findes allerede i mappen:
%1

Erstat dem?</translation>
    </message>
    <message>
        <source>Exporting recordings...</source>
        <translation>Eksporterer optagelser...</translation>
    </message>
    <message>
        <source>Cancel</source>
        <translation>Annuller</translation>
    </message>
</context>
<context>
    <name>ReportPrinter</name>
    <message>
        <source>The report could not be laid out.</source>
        <translation>Rapporten kunne ikke opsættes.</translation>
    </message>
</context>
<context>
    <name>ReviewDocument</name>
    <message>
        <source>The review file is damaged (byte %1).</source>
        <translation>Gennemgangsfilen er beskadiget (byte %1).</translation>
    </message>
    <message>
        <source>The file is not a review file.</source>
        <translation>Filen er ikke en gennemgangsfil.</translation>
    </message>
    <message>
        <source>The review file has version %1; this viewer reads version %2.</source>
        <translation>Gennemgangsfilen har version %1; denne viewer læser version %2.</translation>
    </message>
    <message>
        <source>The review file is damaged.</source>
        <translation>Gennemgangsfilen er beskadiget.</translation>
    </message>
    <message>
        <source>The review file is damaged (call %1).</source>
        <translation>Gennemgangsfilen er beskadiget (opkald %1).</translation>
    </message>
    <message>
        <source>The review file cannot be read: %1</source>
        <translation>Gennemgangsfilen kan ikke læses: %1</translation>
    </message>
    <message>
        <source>%1 is not a regular file.</source>
        <translation>%1 er ikke en almindelig fil.</translation>
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
        <translation>Klik, og vælg en &quot;*.pkg&quot;-fil. Hvis pakken er krypteret, bliver du bedt om at indtaste brugernavn og adgangskode.</translation>
    </message>
    <message>
        <source>Once the package is opened, you can navigate through the calls by clicking the available tabs and play audio content in the integrated audio player.</source>
        <translation>Når pakken er åbnet, kan du gennemgå opkaldene ved at klikke på fanerne og afspille lyd i den indbyggede afspiller.</translation>
    </message>
    <message>
        <source>Home (Ctrl+H)</source>
        <translation>Startside (Ctrl+H)</translation>
    </message>
    <message>
        <source>Open package (Ctrl+O)</source>
        <translation>Åbn pakke (Ctrl+O)</translation>
    </message>
    <message>
        <source>Authority override</source>
        <translation>Myndighedsadgang</translation>
    </message>
    <message>
        <source>Zoom in (Ctrl++)</source>
        <translation>Zoom ind (Ctrl++)</translation>
    </message>
    <message>
        <source>Zoom out (Ctrl+-)</source>
        <translation>Zoom ud (Ctrl+-)</translation>
    </message>
    <message>
        <source>About</source>
        <translation>Om</translation>
    </message>
    <message>
        <source>Main toolbar</source>
        <translation>Hovedværktøjslinje</translation>
    </message>
    <message>
        <source>Version %1</source>
        <translation>Version %1</translation>
    </message>
    <message>
        <source>About VORN Viewer</source>
        <translation>Om VORN Viewer</translation>
    </message>
    <message>
        <source>Authority password</source>
        <translation>Myndighedsadgangskode</translation>
    </message>
    <message>
        <source>Please enter the password for authority access:</source>
        <translation>Indtast adgangskoden til myndighedsadgang:</translation>
    </message>
    <message>
        <source>Invalid password</source>
        <translation>Ugyldig adgangskode</translation>
    </message>
    <message>
        <source>The password did not match!</source>
        <translation>Adgangskoden passede ikke!</translation>
    </message>
    <message>
        <source>Authority override activated</source>
        <translation>Myndighedsadgang aktiveret</translation>
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
        <translation>Myndighedsadgangskoden er ugyldig. Vil du fortsætte alligevel?</translation>
    </message>
    <message>
        <source>Yes</source>
        <translation>Ja</translation>
    </message>
    <message>
        <source>No</source>
        <translation>Nej</translation>
    </message>
    <message>
        <source>Open VORN Analysis Package</source>
        <translation>Åbn VORN-analysepakke</translation>
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
        <translation>Denne pakke er ikke kompatibel med denne version af VORN Viewer. Prøv at åbne den med en ældre version af VORN Viewer.</translation>
    </message>
    <message>
        <source>This package is not compatible with this version of VORN Viewer. Try opening this package with an newer version of VORN Viewer.</source>
        <translation>Denne pakke er ikke kompatibel med denne version af VORN Viewer. Prøv at åbne den med en nyere version af VORN Viewer.</translation>
    </message>
    <message>
        <source>Package could not be opened (Generic error)</source>
        <translation>Pakken kunne ikke åbnes (generel fejl)</translation>
    </message>
    <message>
        <source>Password invalid</source>
        <translation>Adgangskoden er ugyldig</translation>
    </message>
    <message>
        <source>Cannot authenticate user</source>
        <translation>Brugeren kan ikke godkendes</translation>
    </message>
    <message>
        <source>Username invalid</source>
        <translation>Brugernavnet er ugyldigt</translation>
    </message>
    <message>
        <source>Error decoding package</source>
        <translation>Fejl ved afkodning af pakken</translation>
    </message>
    <message>
        <source>VORN Viewer  |  %1</source>
        <translation>VORN Viewer  |  %1</translation>
    </message>
    <message>
        <source>This package contains</source>
        <translation>Denne pakke indeholder</translation>
    </message>
    <message>
        <source>expired calls</source>
        <translation>udløbne opkald</translation>
    </message>
    <message>
        <source>and</source>
        <translation>og</translation>
    </message>
    <message>
        <source>calls with expired media</source>
        <translation>opkald med udløbne optagelser</translation>
    </message>
    <message>
        <source>Time verification progress...</source>
        <translation>Tidsbekræftelse i gang...</translation>
    </message>
    <message>
        <source>Waiting for </source>
        <translation>Venter på </translation>
    </message>
    <message>
        <source>Time verification failed</source>
        <translation>Tidsbekræftelsen mislykkedes</translation>
    </message>
    <message>
        <source>Please enter a valid URL to verify time:</source>
        <translation>Indtast en gyldig URL til tidsbekræftelse:</translation>
    </message>
    <message>
        <source>Save Review</source>
        <translation>Gem gennemgang</translation>
    </message>
    <message>
        <source>Open Review</source>
        <translation>Åbn gennemgang</translation>
    </message>
    <message>
        <source>Export Report</source>
        <translation>Eksportér rapport</translation>
    </message>
    <message>
        <source>Save review?</source>
        <translation>Gem gennemgang?</translation>
    </message>
    <message>
        <source>The notes of this review have not been saved.</source>
        <translation>Noterne i denne gennemgang er ikke gemt.</translation>
    </message>
    <message>
        <source>Save</source>
        <translation>Gem</translation>
    </message>
    <message>
        <source>Discard</source>
        <translation>Kassér</translation>
    </message>
    <message>
        <source>Cancel</source>
        <translation>Annuller</translation>
    </message>
    <message>
        <source>Review files (*.review.json *.json)</source>
        <translation>Gennemgangsfiler (*.review.json *.json)</translation>
    </message>
    <message>
        <source>The review could not be saved: %1</source>
        <translation>Gennemgangen kunne ikke gemmes: %1</translation>
    </message>
    <message>
        <source>The review could not be opened: %1</source>
        <translation>Gennemgangen kunne ikke åbnes: %1</translation>
    </message>
    <message>
        <source>This review was made for another package. The notes of calls found in this package are shown; the others are kept and saved with the review.</source>
        <translation>Denne gennemgang blev lavet til en anden pakke. Noterne til opkald i denne pakke vises; de øvrige bevares og gemmes med gennemgangen.</translation>
    </message>
    <message>
        <source>PDF report (*.pdf)</source>
        <translation>PDF-rapport (*.pdf)</translation>
    </message>
    <message>
        <source>CSV table (*.csv)</source>
        <translation>CSV-tabel (*.csv)</translation>
    </message>
    <message>
        <source>The report could not be written: %1</source>
        <translation>Rapporten kunne ikke skrives: %1</translation>
    </message>
    <message>
        <source>Export Recordings</source>
        <translation>Eksportér optagelser</translation>
    </message>
</context>
</TS>
