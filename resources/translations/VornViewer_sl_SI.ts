<?xml version="1.0" encoding="utf-8"?>
<!DOCTYPE TS>
<TS version="2.1" language="sl_SI">
<context>
    <name>AudioPlayer</name>
    <message>
        <source>&lt;p&gt;Could not open wvc file.</source>
        <translation>&lt;p&gt;Datoteke WVC ni bilo mogoče odpreti.</translation>
    </message>
    <message>
        <source>&lt;p&gt;Could not open wav file.</source>
        <translation>&lt;p&gt;Datoteke WAV ni bilo mogoče odpreti.</translation>
    </message>
    <message>
        <source>&lt;p&gt;Device to play audio not found.</source>
        <translation>&lt;p&gt;Naprave za predvajanje zvoka ni bilo mogoče najti.</translation>
    </message>
    <message>
        <source>Error</source>
        <translation>Napaka</translation>
    </message>
    <message>
        <source>Save File</source>
        <translation>Shrani datoteko</translation>
    </message>
    <message>
        <source>&lt;p&gt;Not able to open file in selected directory</source>
        <translation>&lt;p&gt;Datoteke v izbrani mapi ni mogoče odpreti</translation>
    </message>
    <message>
        <source>Downloading...</source>
        <translation>Prenašanje ...</translation>
    </message>
    <message>
        <source>Cancel</source>
        <translation>Prekliči</translation>
    </message>
    <message>
        <source>&lt;p&gt;Could not write to file</source>
        <translation>&lt;p&gt;V datoteko ni bilo mogoče pisati</translation>
    </message>
    <message>
        <source>&lt;p&gt;File not found in package</source>
        <translation>&lt;p&gt;Datoteke ni v paketu</translation>
    </message>
    <message>
        <source>&lt;p&gt;The sound device stopped working. Playback has ended.</source>
        <translation>&lt;p&gt;Zvočna naprava je prenehala delovati. Predvajanje je končano.</translation>
    </message>
    <message>
        <source>&lt;p&gt;Could not read from the package: the package file has changed or is no longer available.</source>
        <translation>&lt;p&gt;Branje iz paketa ni uspelo: datoteka paketa je bila spremenjena ali ni več na voljo.</translation>
    </message>
</context>
<context>
    <name>BatchExport</name>
    <message>
        <source>Recordings written: %1</source>
        <translation>Zapisani posnetki: %1</translation>
    </message>
    <message>
        <source>Skipped %1: %2</source>
        <translation>Preskočeno %1: %2</translation>
    </message>
    <message>
        <source>The export was cancelled.</source>
        <translation>Izvoz je bil preklican.</translation>
    </message>
    <message>
        <source>the call has expired</source>
        <translation>klic je potekel</translation>
    </message>
    <message>
        <source>the call is not in this package</source>
        <translation>klica ni v tem paketu</translation>
    </message>
    <message>
        <source>the recording has expired</source>
        <translation>posnetek je potekel</translation>
    </message>
    <message>
        <source>the call has no recording</source>
        <translation>klic nima posnetka</translation>
    </message>
    <message>
        <source>The folder %1 does not exist.</source>
        <translation>Mapa %1 ne obstaja.</translation>
    </message>
    <message>
        <source>These files exist already: %1</source>
        <translation>Te datoteke že obstajajo: %1</translation>
    </message>
    <message>
        <source>Could not write %1: %2</source>
        <translation>Ni bilo mogoče zapisati %1: %2</translation>
    </message>
    <message>
        <source>the recording could not be read</source>
        <translation>posnetka ni bilo mogoče prebrati</translation>
    </message>
</context>
<context>
    <name>InputDialog</name>
    <message>
        <source>Please enter user name and password</source>
        <translation>Vnesite uporabniško ime in geslo</translation>
    </message>
    <message>
        <source>Username:</source>
        <translation>Uporabniško ime:</translation>
    </message>
    <message>
        <source>Password:</source>
        <translation>Geslo:</translation>
    </message>
    <message>
        <source>Authority password (optional):</source>
        <translation>Geslo organa (neobvezno):</translation>
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
        <translation>Izvozi posnetke</translation>
    </message>
    <message>
        <source>There are no reviewed calls to export.</source>
        <translation>Ni pregledanih klicev za izvoz.</translation>
    </message>
    <message>
        <source>Choose the folder for the recordings</source>
        <translation>Izberite mapo za posnetke</translation>
    </message>
    <message>
        <source>These files exist in the folder already:
%1

Replace them?</source>
        <translation>Te datoteke že obstajajo v mapi:
%1

Jih zamenjam?</translation>
    </message>
    <message>
        <source>Exporting recordings...</source>
        <translation>Izvažanje posnetkov...</translation>
    </message>
    <message>
        <source>Cancel</source>
        <translation>Prekliči</translation>
    </message>
</context>
<context>
    <name>ReportPrinter</name>
    <message>
        <source>The report could not be laid out.</source>
        <translation>Poročila ni bilo mogoče postaviti.</translation>
    </message>
</context>
<context>
    <name>ReviewDocument</name>
    <message>
        <source>The review file is damaged (byte %1).</source>
        <translation>Datoteka pregleda je poškodovana (bajt %1).</translation>
    </message>
    <message>
        <source>The file is not a review file.</source>
        <translation>Datoteka ni datoteka pregleda.</translation>
    </message>
    <message>
        <source>The review file has version %1; this viewer reads version %2.</source>
        <translation>Datoteka pregleda ima različico %1; ta pregledovalnik bere različico %2.</translation>
    </message>
    <message>
        <source>The review file is damaged.</source>
        <translation>Datoteka pregleda je poškodovana.</translation>
    </message>
    <message>
        <source>The review file is damaged (call %1).</source>
        <translation>Datoteka pregleda je poškodovana (klic %1).</translation>
    </message>
    <message>
        <source>The review file cannot be read: %1</source>
        <translation>Datoteke pregleda ni mogoče prebrati: %1</translation>
    </message>
    <message>
        <source>%1 is not a regular file.</source>
        <translation>%1 ni navadna datoteka.</translation>
    </message>
    <message>
        <source>%1 cannot be written: %2</source>
        <translation>%1 ni mogoče zapisati: %2</translation>
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
        <translation>Kliknite in izberite datoteko »*.pkg«. Če je paket šifriran, boste morali vnesti uporabniško ime in geslo.</translation>
    </message>
    <message>
        <source>Once the package is opened, you can navigate through the calls by clicking the available tabs and play audio content in the integrated audio player.</source>
        <translation>Ko je paket odprt, se lahko s klikom na zavihke premikate med klici in predvajate posnetke v vgrajenem predvajalniku.</translation>
    </message>
    <message>
        <source>Home (Ctrl+H)</source>
        <translation>Domov (Ctrl+H)</translation>
    </message>
    <message>
        <source>Open package (Ctrl+O)</source>
        <translation>Odpri paket (Ctrl+O)</translation>
    </message>
    <message>
        <source>Authority override</source>
        <translation>Dostop za organe</translation>
    </message>
    <message>
        <source>Zoom in (Ctrl++)</source>
        <translation>Povečaj (Ctrl++)</translation>
    </message>
    <message>
        <source>Zoom out (Ctrl+-)</source>
        <translation>Pomanjšaj (Ctrl+-)</translation>
    </message>
    <message>
        <source>About</source>
        <translation>O programu</translation>
    </message>
    <message>
        <source>Main toolbar</source>
        <translation>Glavna orodna vrstica</translation>
    </message>
    <message>
        <source>Version %1</source>
        <translation>Različica %1</translation>
    </message>
    <message>
        <source>About VORN Viewer</source>
        <translation>O programu VORN Viewer</translation>
    </message>
    <message>
        <source>Authority password</source>
        <translation>Geslo organa</translation>
    </message>
    <message>
        <source>Please enter the password for authority access:</source>
        <translation>Vnesite geslo za dostop organov:</translation>
    </message>
    <message>
        <source>Invalid password</source>
        <translation>Neveljavno geslo</translation>
    </message>
    <message>
        <source>The password did not match!</source>
        <translation>Geslo se ne ujema!</translation>
    </message>
    <message>
        <source>Authority override activated</source>
        <translation>Dostop za organe vklopljen</translation>
    </message>
    <message>
        <source>Arabic (ar_SA)</source>
        <translation>Arabščina (ar_SA)</translation>
    </message>
    <message>
        <source>Danish (da_DK)</source>
        <translation>Danščina (da_DK)</translation>
    </message>
    <message>
        <source>German (de_DE)</source>
        <translation>Nemščina (de_DE)</translation>
    </message>
    <message>
        <source>German (de_CH)</source>
        <translation>Nemščina (de_CH)</translation>
    </message>
    <message>
        <source>German (de_AT)</source>
        <translation>Nemščina (de_AT)</translation>
    </message>
    <message>
        <source>English (en_AU)</source>
        <translation>Angleščina (en_AU)</translation>
    </message>
    <message>
        <source>English (en_GB)</source>
        <translation>Angleščina (en_GB)</translation>
    </message>
    <message>
        <source>English (en_IE)</source>
        <translation>Angleščina (en_IE)</translation>
    </message>
    <message>
        <source>English (en_US)</source>
        <translation>Angleščina (en_US)</translation>
    </message>
    <message>
        <source>French (fr_CH)</source>
        <translation>Francoščina (fr_CH)</translation>
    </message>
    <message>
        <source>French (fr_FR)</source>
        <translation>Francoščina (fr_FR)</translation>
    </message>
    <message>
        <source>Hungarian (hu_HU)</source>
        <translation>Madžarščina (hu_HU)</translation>
    </message>
    <message>
        <source>Lithuanian (lt_LT)</source>
        <translation>Litovščina (lt_LT)</translation>
    </message>
    <message>
        <source>Norwegian (nb_NO)</source>
        <translation>Norveščina (nb_NO)</translation>
    </message>
    <message>
        <source>Polish (pl_PL)</source>
        <translation>Poljščina (pl_PL)</translation>
    </message>
    <message>
        <source>Russian (ru_RU)</source>
        <translation>Ruščina (ru_RU)</translation>
    </message>
    <message>
        <source>Slovak (sk_SK)</source>
        <translation>Slovaščina (sk_SK)</translation>
    </message>
    <message>
        <source>Slovenian (sl_SI)</source>
        <translation>Slovenščina (sl_SI)</translation>
    </message>
    <message>
        <source>Turkish (tr_TR)</source>
        <translation>Turščina (tr_TR)</translation>
    </message>
    <message>
        <source>Authority password invalid. Continue anyway?</source>
        <translation>Geslo organa ni veljavno. Želite vseeno nadaljevati?</translation>
    </message>
    <message>
        <source>Yes</source>
        <translation>Da</translation>
    </message>
    <message>
        <source>No</source>
        <translation>Ne</translation>
    </message>
    <message>
        <source>Open VORN Analysis Package</source>
        <translation>Odpri paket analize VORN</translation>
    </message>
    <message>
        <source>VORN Analysis Packages (*.pkg)</source>
        <translation>Paketi analize VORN (*.pkg)</translation>
    </message>
    <message>
        <source>This is not a valid VORN package file!</source>
        <translation>To ni veljavna datoteka paketa VORN!</translation>
    </message>
    <message>
        <source>This package is not compatible with this version of VORN Viewer. Try opening this package with an earlier version of VORN Viewer.</source>
        <translation>Ta paket ni združljiv s to različico VORN Viewer. Poskusite ga odpreti s starejšo različico VORN Viewer.</translation>
    </message>
    <message>
        <source>This package is not compatible with this version of VORN Viewer. Try opening this package with an newer version of VORN Viewer.</source>
        <translation>Ta paket ni združljiv s to različico VORN Viewer. Poskusite ga odpreti z novejšo različico VORN Viewer.</translation>
    </message>
    <message>
        <source>Package could not be opened (Generic error)</source>
        <translation>Paketa ni bilo mogoče odpreti (splošna napaka)</translation>
    </message>
    <message>
        <source>Password invalid</source>
        <translation>Neveljavno geslo</translation>
    </message>
    <message>
        <source>Cannot authenticate user</source>
        <translation>Uporabnika ni mogoče preveriti</translation>
    </message>
    <message>
        <source>Username invalid</source>
        <translation>Neveljavno uporabniško ime</translation>
    </message>
    <message>
        <source>Error decoding package</source>
        <translation>Napaka pri dekodiranju paketa</translation>
    </message>
    <message>
        <source>VORN Viewer  |  %1</source>
        <translation>VORN Viewer  |  %1</translation>
    </message>
    <message>
        <source>This package contains</source>
        <translation>Ta paket vsebuje</translation>
    </message>
    <message>
        <source>expired calls</source>
        <translation>potečenih klicev</translation>
    </message>
    <message>
        <source>and</source>
        <translation>in</translation>
    </message>
    <message>
        <source>calls with expired media</source>
        <translation>klicev s potečenimi posnetki</translation>
    </message>
    <message>
        <source>Time verification progress...</source>
        <translation>Preverjanje časa poteka ...</translation>
    </message>
    <message>
        <source>Waiting for </source>
        <translation>Čakanje na </translation>
    </message>
    <message>
        <source>Time verification failed</source>
        <translation>Preverjanje časa ni uspelo</translation>
    </message>
    <message>
        <source>Please enter a valid URL to verify time:</source>
        <translation>Vnesite veljaven URL za preverjanje časa:</translation>
    </message>
    <message>
        <source>Save Review</source>
        <translation>Shrani pregled</translation>
    </message>
    <message>
        <source>Open Review</source>
        <translation>Odpri pregled</translation>
    </message>
    <message>
        <source>Export Report</source>
        <translation>Izvozi poročilo</translation>
    </message>
    <message>
        <source>Save review?</source>
        <translation>Shranim pregled?</translation>
    </message>
    <message>
        <source>The notes of this review have not been saved.</source>
        <translation>Opombe tega pregleda niso shranjene.</translation>
    </message>
    <message>
        <source>Save</source>
        <translation>Shrani</translation>
    </message>
    <message>
        <source>Discard</source>
        <translation>Zavrzi</translation>
    </message>
    <message>
        <source>Cancel</source>
        <translation>Prekliči</translation>
    </message>
    <message>
        <source>Review files (*.review.json *.json)</source>
        <translation>Datoteke pregleda (*.review.json *.json)</translation>
    </message>
    <message>
        <source>The review could not be saved: %1</source>
        <translation>Pregleda ni bilo mogoče shraniti: %1</translation>
    </message>
    <message>
        <source>The review could not be opened: %1</source>
        <translation>Pregleda ni bilo mogoče odpreti: %1</translation>
    </message>
    <message>
        <source>This review was made for another package. The notes of calls found in this package are shown; the others are kept and saved with the review.</source>
        <translation>Ta pregled je bil narejen za drug paket. Prikazane so opombe klicev iz tega paketa; ostale se ohranijo in shranijo s pregledom.</translation>
    </message>
    <message>
        <source>PDF report (*.pdf)</source>
        <translation>Poročilo PDF (*.pdf)</translation>
    </message>
    <message>
        <source>CSV table (*.csv)</source>
        <translation>Tabela CSV (*.csv)</translation>
    </message>
    <message>
        <source>The report could not be written: %1</source>
        <translation>Poročila ni bilo mogoče zapisati: %1</translation>
    </message>
    <message>
        <source>Export Recordings</source>
        <translation>Izvozi posnetke</translation>
    </message>
</context>
</TS>
