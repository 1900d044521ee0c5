<?xml version="1.0" encoding="utf-8"?>
<!DOCTYPE TS>
<TS version="2.1" language="sk_SK">
<context>
    <name>AudioPlayer</name>
    <message>
        <source>&lt;p&gt;Could not open wvc file.</source>
        <translation>&lt;p&gt;Súbor WVC sa nepodarilo otvoriť.</translation>
    </message>
    <message>
        <source>&lt;p&gt;Could not open wav file.</source>
        <translation>&lt;p&gt;Súbor WAV sa nepodarilo otvoriť.</translation>
    </message>
    <message>
        <source>&lt;p&gt;Device to play audio not found.</source>
        <translation>&lt;p&gt;Zariadenie na prehrávanie zvuku sa nenašlo.</translation>
    </message>
    <message>
        <source>Error</source>
        <translation>Chyba</translation>
    </message>
    <message>
        <source>Save File</source>
        <translation>Uložiť súbor</translation>
    </message>
    <message>
        <source>&lt;p&gt;Not able to open file in selected directory</source>
        <translation>&lt;p&gt;Súbor sa vo vybranom priečinku nepodarilo otvoriť</translation>
    </message>
    <message>
        <source>Downloading...</source>
        <translation>Sťahuje sa...</translation>
    </message>
    <message>
        <source>Cancel</source>
        <translation>Zrušiť</translation>
    </message>
    <message>
        <source>&lt;p&gt;Could not write to file</source>
        <translation>&lt;p&gt;Do súboru sa nepodarilo zapisovať</translation>
    </message>
    <message>
        <source>&lt;p&gt;File not found in package</source>
        <translation>&lt;p&gt;Súbor sa v balíku nenašiel</translation>
    </message>
    <message>
        <source>&lt;p&gt;The sound device stopped working. Playback has ended.</source>
        <translation>&lt;p&gt;Zvukové zariadenie prestalo fungovať. Prehrávanie sa skončilo.</translation>
    </message>
    <message>
        <source>&lt;p&gt;Could not read from the package: the package file has changed or is no longer available.</source>
        <translation>&lt;p&gt;Z balíka sa nepodarilo čítať: súbor balíka sa zmenil alebo už nie je dostupný.</translation>
    </message>
</context>
<context>
    <name>BatchExport</name>
    <message>
        <source>Recordings written: %1</source>
        <translation>Zapísané nahrávky: %1</translation>
    </message>
    <message>
        <source>Skipped %1: %2</source>
        <translation>Preskočené %1: %2</translation>
    </message>
    <message>
        <source>The export was cancelled.</source>
        <translation>Export bol zrušený.</translation>
    </message>
    <message>
        <source>the call has expired</source>
        <translation>hovor vypršal</translation>
    </message>
    <message>
        <source>the call is not in this package</source>
        <translation>hovor nie je v tomto balíku</translation>
    </message>
    <message>
        <source>the recording has expired</source>
        <translation>nahrávka vypršala</translation>
    </message>
    <message>
        <source>the call has no recording</source>
        <translation>hovor nemá nahrávku</translation>
    </message>
    <message>
        <source>The folder %1 does not exist.</source>
        <translation>Priečinok %1 neexistuje.</translation>
    </message>
    <message>
        <source>These files exist already: %1</source>
        <translation>Tieto súbory už existujú: %1</translation>
    </message>
    <message>
        <source>Could not write %1: %2</source>
        <translation>Nepodarilo sa zapísať %1: %2</translation>
    </message>
    <message>
        <source>the recording could not be read</source>
        <translation>nahrávku sa nepodarilo prečítať</translation>
    </message>
</context>
<context>
    <name>InputDialog</name>
    <message>
        <source>Please enter user name and password</source>
        <translation>Zadajte meno používateľa a heslo</translation>
    </message>
    <message>
        <source>Username:</source>
        <translation>Meno používateľa:</translation>
    </message>
    <message>
        <source>Password:</source>
        <translation>Heslo:</translation>
    </message>
    <message>
        <source>Authority password (optional):</source>
        <translation>Heslo úradu (nepovinné):</translation>
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
        <translation>Exportovať nahrávky</translation>
    </message>
    <message>
        <source>There are no reviewed calls to export.</source>
        <translation>Nie sú žiadne posúdené hovory na export.</translation>
    </message>
    <message>
        <source>Choose the folder for the recordings</source>
        <translation>Vyberte priečinok pre nahrávky</translation>
    </message>
    <message>
        <source>These files exist in the folder already:
%1

Replace them?</source>
        <translation>Tieto súbory už v priečinku existujú:
%1

Nahradiť ich?</translation>
    </message>
    <message>
        <source>Exporting recordings...</source>
        <translation>Exportujú sa nahrávky...</translation>
    </message>
    <message>
        <source>Cancel</source>
        <translation>Zrušiť</translation>
    </message>
</context>
<context>
    <name>ReportPrinter</name>
    <message>
        <source>The report could not be laid out.</source>
        <translation>Správu sa nepodarilo zalomiť.</translation>
    </message>
</context>
<context>
    <name>ReviewDocument</name>
    <message>
        <source>The review file is damaged (byte %1).</source>
        <translation>Súbor kontroly je poškodený (bajt %1).</translation>
    </message>
    <message>
        <source>The file is not a review file.</source>
        <translation>Súbor nie je súbor kontroly.</translation>
    </message>
    <message>
        <source>The review file has version %1; this viewer reads version %2.</source>
        <translation>Súbor kontroly má verziu %1; tento prehliadač číta verziu %2.</translation>
    </message>
    <message>
        <source>The review file is damaged.</source>
        <translation>Súbor kontroly je poškodený.</translation>
    </message>
    <message>
        <source>The review file is damaged (call %1).</source>
        <translation>Súbor kontroly je poškodený (hovor %1).</translation>
    </message>
    <message>
        <source>The review file cannot be read: %1</source>
        <translation>Súbor kontroly sa nedá prečítať: %1</translation>
    </message>
    <message>
        <source>%1 is not a regular file.</source>
        <translation>%1 nie je bežný súbor.</translation>
    </message>
    <message>
        <source>%1 cannot be written: %2</source>
        <translation>%1 sa nedá zapísať: %2</translation>
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
        <translation>Kliknite a vyberte súbor „*.pkg“. Ak je balík šifrovaný, zobrazí sa výzva na zadanie mena používateľa a hesla.</translation>
    </message>
    <message>
        <source>Once the package is opened, you can navigate through the calls by clicking the available tabs and play audio content in the integrated audio player.</source>
        <translation>Po otvorení balíka môžete prechádzať hovormi kliknutím na karty a prehrávať nahrávky v integrovanom prehrávači.</translation>
    </message>
    <message>
        <source>Home (Ctrl+H)</source>
        <translation>Domov (Ctrl+H)</translation>
    </message>
    <message>
        <source>Open package (Ctrl+O)</source>
        <translation>Otvoriť balík (Ctrl+O)</translation>
    </message>
    <message>
        <source>Authority override</source>
        <translation>Prístup pre úrady</translation>
    </message>
    <message>
        <source>Zoom in (Ctrl++)</source>
        <translation>Priblížiť (Ctrl++)</translation>
    </message>
    <message>
        <source>Zoom out (Ctrl+-)</source>
        <translation>Oddialiť (Ctrl+-)</translation>
    </message>
    <message>
        <source>About</source>
        <translation>O programe</translation>
    </message>
    <message>
        <source>Main toolbar</source>
        <translation>Hlavný panel nástrojov</translation>
    </message>
    <message>
        <source>Version %1</source>
        <translation>Verzia %1</translation>
    </message>
    <message>
        <source>About VORN Viewer</source>
        <translation>O programe VORN Viewer</translation>
    </message>
    <message>
        <source>Authority password</source>
        <translation>Heslo úradu</translation>
    </message>
    <message>
        <source>Please enter the password for authority access:</source>
        <translation>Zadajte heslo pre prístup úradov:</translation>
    </message>
    <message>
        <source>Invalid password</source>
        <translation>Neplatné heslo</translation>
    </message>
    <message>
        <source>The password did not match!</source>
        <translation>Heslo sa nezhoduje!</translation>
    </message>
    <message>
        <source>Authority override activated</source>
        <translation>Prístup pre úrady aktivovaný</translation>
    </message>
    <message>
        <source>Arabic (ar_SA)</source>
        <translation>Arabčina (ar_SA)</translation>
    </message>
    <message>
        <source>Danish (da_DK)</source>
        <translation>Dánčina (da_DK)</translation>
    </message>
    <message>
        <source>German (de_DE)</source>
        <translation>Nemčina (de_DE)</translation>
    </message>
    <message>
        <source>German (de_CH)</source>
        <translation>Nemčina (de_CH)</translation>
    </message>
    <message>
        <source>German (de_AT)</source>
        <translation>Nemčina (de_AT)</translation>
    </message>
    <message>
        <source>English (en_AU)</source>
        <translation>Angličtina (en_AU)</translation>
    </message>
    <message>
        <source>English (en_GB)</source>
        <translation>Angličtina (en_GB)</translation>
    </message>
    <message>
        <source>English (en_IE)</source>
        <translation>Angličtina (en_IE)</translation>
    </message>
    <message>
        <source>English (en_US)</source>
        <translation>Angličtina (en_US)</translation>
    </message>
    <message>
        <source>French (fr_CH)</source>
        <translation>Francúzština (fr_CH)</translation>
    </message>
    <message>
        <source>French (fr_FR)</source>
        <translation>Francúzština (fr_FR)</translation>
    </message>
    <message>
        <source>Hungarian (hu_HU)</source>
        <translation>Maďarčina (hu_HU)</translation>
    </message>
    <message>
        <source>Lithuanian (lt_LT)</source>
        <translation>Litovčina (lt_LT)</translation>
    </message>
    <message>
        <source>Norwegian (nb_NO)</source>
        <translation>Nórčina (nb_NO)</translation>
    </message>
    <message>
        <source>Polish (pl_PL)</source>
        <translation>Poľština (pl_PL)</translation>
    </message>
    <message>
        <source>Russian (ru_RU)</source>
        <translation>Ruština (ru_RU)</translation>
    </message>
    <message>
        <source>Slovak (sk_SK)</source>
        <translation>Slovenčina (sk_SK)</translation>
    </message>
    <message>
        <source>Slovenian (sl_SI)</source>
        <translation>Slovinčina (sl_SI)</translation>
    </message>
    <message>
        <source>Turkish (tr_TR)</source>
        <translation>Turečtina (tr_TR)</translation>
    </message>
    <message>
        <source>Authority password invalid. Continue anyway?</source>
        <translation>Heslo úradu je neplatné. Napriek tomu pokračovať?</translation>
    </message>
    <message>
        <source>Yes</source>
        <translation>Áno</translation>
    </message>
    <message>
        <source>No</source>
        <translation>Nie</translation>
    </message>
    <message>
        <source>Open VORN Analysis Package</source>
        <translation>Otvoriť analytický balík VORN</translation>
    </message>
    <message>
        <source>VORN Analysis Packages (*.pkg)</source>
        <translation>Analytické balíky VORN (*.pkg)</translation>
    </message>
    <message>
        <source>This is not a valid VORN package file!</source>
        <translation>Toto nie je platný súbor balíka VORN!</translation>
    </message>
    <message>
        <source>This package is not compatible with this version of VORN Viewer. Try opening this package with an earlier version of VORN Viewer.</source>
        <translation>Tento balík nie je kompatibilný s touto verziou VORN Viewer. Skúste ho otvoriť staršou verziou VORN Viewer.</translation>
    </message>
    <message>
        <source>This package is not compatible with this version of VORN Viewer. Try opening this package with an newer version of VORN Viewer.</source>
        <translation>Tento balík nie je kompatibilný s touto verziou VORN Viewer. Skúste ho otvoriť novšou verziou VORN Viewer.</translation>
    </message>
    <message>
        <source>Package could not be opened (Generic error)</source>
        <translation>Balík sa nepodarilo otvoriť (všeobecná chyba)</translation>
    </message>
    <message>
        <source>Password invalid</source>
        <translation>Neplatné heslo</translation>
    </message>
    <message>
        <source>Cannot authenticate user</source>
        <translation>Používateľa nie je možné overiť</translation>
    </message>
    <message>
        <source>Username invalid</source>
        <translation>Neplatné meno používateľa</translation>
    </message>
    <message>
        <source>Error decoding package</source>
        <translation>Chyba pri dekódovaní balíka</translation>
    </message>
    <message>
        <source>VORN Viewer  |  %1</source>
        <translation>VORN Viewer  |  %1</translation>
    </message>
    <message>
        <source>This package contains</source>
        <translation>Tento balík obsahuje</translation>
    </message>
    <message>
        <source>expired calls</source>
        <translation>hovorov s uplynutou lehotou</translation>
    </message>
    <message>
        <source>and</source>
        <translation>a</translation>
    </message>
    <message>
        <source>calls with expired media</source>
        <translation>hovorov s uplynutou lehotou nahrávok</translation>
    </message>
    <message>
        <source>Time verification progress...</source>
        <translation>Prebieha overovanie času...</translation>
    </message>
    <message>
        <source>Waiting for </source>
        <translation>Čaká sa na </translation>
    </message>
    <message>
        <source>Time verification failed</source>
        <translation>Overenie času zlyhalo</translation>
    </message>
    <message>
        <source>Please enter a valid URL to verify time:</source>
        <translation>Zadajte platnú URL na overenie času:</translation>
    </message>
    <message>
        <source>Save Review</source>
        <translation>Uložiť kontrolu</translation>
    </message>
    <message>
        <source>Open Review</source>
        <translation>Otvoriť kontrolu</translation>
    </message>
    <message>
        <source>Export Report</source>
        <translation>Exportovať správu</translation>
    </message>
    <message>
        <source>Save review?</source>
        <translation>Uložiť kontrolu?</translation>
    </message>
    <message>
        <source>The notes of this review have not been saved.</source>
        <translation>Poznámky tejto kontroly nie sú uložené.</translation>
    </message>
    <message>
        <source>Save</source>
        <translation>Uložiť</translation>
    </message>
    <message>
        <source>Discard</source>
        <translation>Zahodiť</translation>
    </message>
    <message>
        <source>Cancel</source>
        <translation>Zrušiť</translation>
    </message>
    <message>
        <source>Review files (*.review.json *.json)</source>
        <translation>Súbory kontroly (*.review.json *.json)</translation>
    </message>
    <message>
        <source>The review could not be saved: %1</source>
        <translation>Kontrolu sa nepodarilo uložiť: %1</translation>
    </message>
    <message>
        <source>The review could not be opened: %1</source>
        <translation>Kontrolu sa nepodarilo otvoriť: %1</translation>
    </message>
    <message>
        <source>This review was made for another package. The notes of calls found in this package are shown; the others are kept and saved with the review.</source>
        <translation>Táto kontrola bola vytvorená pre iný balík. Zobrazujú sa poznámky k hovorom z tohto balíka; ostatné sa zachovajú a uložia s kontrolou.</translation>
    </message>
    <message>
        <source>PDF report (*.pdf)</source>
        <translation>Správa PDF (*.pdf)</translation>
    </message>
    <message>
        <source>CSV table (*.csv)</source>
        <translation>Tabuľka CSV (*.csv)</translation>
    </message>
    <message>
        <source>The report could not be written: %1</source>
        <translation>Správu sa nepodarilo zapísať: %1</translation>
    </message>
    <message>
        <source>Export Recordings</source>
        <translation>Exportovať nahrávky</translation>
    </message>
</context>
</TS>
