<?xml version="1.0" encoding="utf-8"?>
<!DOCTYPE TS>
<TS version="2.1" language="lt_LT">
<context>
    <name>AudioPlayer</name>
    <message>
        <source>&lt;p&gt;Could not open wvc file.</source>
        <translation>&lt;p&gt;Nepavyko atidaryti WVC failo.</translation>
    </message>
    <message>
        <source>&lt;p&gt;Could not open wav file.</source>
        <translation>&lt;p&gt;Nepavyko atidaryti WAV failo.</translation>
    </message>
    <message>
        <source>&lt;p&gt;Device to play audio not found.</source>
        <translation>&lt;p&gt;Nerastas garso atkūrimo įrenginys.</translation>
    </message>
    <message>
        <source>Error</source>
        <translation>Klaida</translation>
    </message>
    <message>
        <source>Save File</source>
        <translation>Išsaugoti failą</translation>
    </message>
    <message>
        <source>&lt;p&gt;Not able to open file in selected directory</source>
        <translation>&lt;p&gt;Nepavyko atidaryti failo pasirinktame aplanke</translation>
    </message>
    <message>
        <source>Downloading...</source>
        <translation>Atsisiunčiama...</translation>
    </message>
    <message>
        <source>Cancel</source>
        <translation>Atšaukti</translation>
    </message>
    <message>
        <source>&lt;p&gt;Could not write to file</source>
        <translation>&lt;p&gt;Nepavyko įrašyti į failą</translation>
    </message>
    <message>
        <source>&lt;p&gt;File not found in package</source>
        <translation>&lt;p&gt;Failas pakete nerastas</translation>
    </message>
    <message>
        <source>&lt;p&gt;The sound device stopped working. Playback has ended.</source>
        <translation>&lt;p&gt;Garso įrenginys nustojo veikti. Atkūrimas baigtas.</translation>
    </message>
    <message>
        <source>&lt;p&gt;Could not read from the package: the package file has changed or is no longer available.</source>
        <translation>&lt;p&gt;Nepavyko perskaityti paketo: paketo failas pakeistas arba nebepasiekiamas.</translation>
    </message>
</context>
<context>
    <name>BatchExport</name>
    <message>
        <source>Recordings written: %1</source>
        <translation>Įrašyta įrašų: %1</translation>
    </message>
    <message>
        <source>Skipped %1: %2</source>
        <translation>Praleista %1: %2</translation>
    </message>
    <message>
        <source>The export was cancelled.</source>
        <translation>Eksportas atšauktas.</translation>
    </message>
    <message>
        <source>the call has expired</source>
        <translation>skambučio laikas baigėsi</translation>
    </message>
    <message>
        <source>the call is not in this package</source>
        <translation>skambučio nėra šiame pakete</translation>
    </message>
    <message>
        <source>the recording has expired</source>
        <translation>įrašo laikas baigėsi</translation>
    </message>
    <message>
        <source>the call has no recording</source>
        <translation>skambutis neturi įrašo</translation>
    </message>
    <message>
        <source>The folder %1 does not exist.</source>
        <translation>Aplankas %1 neegzistuoja.</translation>
    </message>
    <message>
        <source>These files exist already: %1</source>
        <translation>Šie failai jau yra: %1</translation>
    </message>
    <message>
        <source>Could not write %1: %2</source>
        <translation>Nepavyko įrašyti %1: %2</translation>
    </message>
    <message>
        <source>the recording could not be read</source>
        <translation>įrašo nepavyko perskaityti</translation>
    </message>
</context>
<context>
    <name>InputDialog</name>
    <message>
        <source>Please enter user name and password</source>
        <translation>Įveskite naudotojo vardą ir slaptažodį</translation>
    </message>
    <message>
        <source>Username:</source>
        <translation>Naudotojo vardas:</translation>
    </message>
    <message>
        <source>Password:</source>
        <translation>Slaptažodis:</translation>
    </message>
    <message>
        <source>Authority password (optional):</source>
        <translation>Institucijos slaptažodis (neprivaloma):</translation>
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
        <translation>Eksportuoti įrašus</translation>
    </message>
    <message>
        <source>There are no reviewed calls to export.</source>
        <translation>Nėra peržiūrėtų skambučių eksportuoti.</translation>
    </message>
    <message>
        <source>Choose the folder for the recordings</source>
        <translation>Pasirinkite aplanką įrašams</translation>
    </message>
    <message>
        <source>These files exist in the folder already:
%1

Replace them?</source>
        <translation>Šie failai aplanke jau yra:
%1

Pakeisti juos?</translation>
    </message>
    <message>
        <source>Exporting recordings...</source>
        <translation>Eksportuojami įrašai...</translation>
    </message>
    <message>
        <source>Cancel</source>
        <translation>Atšaukti</translation>
    </message>
</context>
<context>
    <name>ReportPrinter</name>
    <message>
        <source>The report could not be laid out.</source>
        <translation>Ataskaitos nepavyko išdėstyti.</translation>
    </message>
</context>
<context>
    <name>ReviewDocument</name>
    <message>
        <source>The review file is damaged (byte %1).</source>
        <translation>Peržiūros failas sugadintas (baitas %1).</translation>
    </message>
    <message>
        <source>The file is not a review file.</source>
        <translation>Failas nėra peržiūros failas.</translation>
    </message>
    <message>
        <source>The review file has version %1; this viewer reads version %2.</source>
        <translation>Peržiūros failo versija %1; ši programa skaito versiją %2.</translation>
    </message>
    <message>
        <source>The review file is damaged.</source>
        <translation>Peržiūros failas sugadintas.</translation>
    </message>
    <message>
        <source>The review file is damaged (call %1).</source>
        <translation>Peržiūros failas sugadintas (skambutis %1).</translation>
    </message>
    <message>
        <source>The review file cannot be read: %1</source>
        <translation>Peržiūros failo nepavyksta perskaityti: %1</translation>
    </message>
    <message>
        <source>%1 is not a regular file.</source>
        <translation>%1 nėra įprastas failas.</translation>
    </message>
    <message>
        <source>%1 cannot be written: %2</source>
        <translation>Nepavyksta įrašyti %1: %2</translation>
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
        <translation>Spustelėkite ir pasirinkite „*.pkg“ failą. Jei paketas užšifruotas, būsite paprašyti įvesti naudotojo vardą ir slaptažodį.</translation>
    </message>
    <message>
        <source>Once the package is opened, you can navigate through the calls by clicking the available tabs and play audio content in the integrated audio player.</source>
        <translation>Atidarę paketą, galite naršyti skambučius spustelėdami korteles ir klausytis įrašų integruotame grotuve.</translation>
    </message>
    <message>
        <source>Home (Ctrl+H)</source>
        <translation>Pradžia (Ctrl+H)</translation>
    </message>
    <message>
        <source>Open package (Ctrl+O)</source>
        <translation>Atidaryti paketą (Ctrl+O)</translation>
    </message>
    <message>
        <source>Authority override</source>
        <translation>Institucijos prieiga</translation>
    </message>
    <message>
        <source>Zoom in (Ctrl++)</source>
        <translation>Padidinti (Ctrl++)</translation>
    </message>
    <message>
        <source>Zoom out (Ctrl+-)</source>
        <translation>Sumažinti (Ctrl+-)</translation>
    </message>
    <message>
        <source>About</source>
        <translation>Apie</translation>
    </message>
    <message>
        <source>Main toolbar</source>
        <translation>Pagrindinė įrankių juosta</translation>
    </message>
    <message>
        <source>Version %1</source>
        <translation>Versija %1</translation>
    </message>
    <message>
        <source>About VORN Viewer</source>
        <translation>Apie VORN Viewer</translation>
    </message>
    <message>
        <source>Authority password</source>
        <translation>Institucijos slaptažodis</translation>
    </message>
    <message>
        <source>Please enter the password for authority access:</source>
        <translation>Įveskite institucijos prieigos slaptažodį:</translation>
    </message>
    <message>
        <source>Invalid password</source>
        <translation>Neteisingas slaptažodis</translation>
    </message>
    <message>
        <source>The password did not match!</source>
        <translation>Slaptažodis nesutampa!</translation>
    </message>
    <message>
        <source>Authority override activated</source>
        <translation>Institucijos prieiga įjungta</translation>
    </message>
    <message>
        <source>Arabic (ar_SA)</source>
        <translation>Arabų (ar_SA)</translation>
    </message>
    <message>
        <source>Danish (da_DK)</source>
        <translation>Danų (da_DK)</translation>
    </message>
    <message>
        <source>German (de_DE)</source>
        <translation>Vokiečių (de_DE)</translation>
    </message>
    <message>
        <source>German (de_CH)</source>
        <translation>Vokiečių (de_CH)</translation>
    </message>
    <message>
        <source>German (de_AT)</source>
        <translation>Vokiečių (de_AT)</translation>
    </message>
    <message>
        <source>English (en_AU)</source>
        <translation>Anglų (en_AU)</translation>
    </message>
    <message>
        <source>English (en_GB)</source>
        <translation>Anglų (en_GB)</translation>
    </message>
    <message>
        <source>English (en_IE)</source>
        <translation>Anglų (en_IE)</translation>
    </message>
    <message>
        <source>English (en_US)</source>
        <translation>Anglų (en_US)</translation>
    </message>
    <message>
        <source>French (fr_CH)</source>
        <translation>Prancūzų (fr_CH)</translation>
    </message>
    <message>
        <source>French (fr_FR)</source>
        <translation>Prancūzų (fr_FR)</translation>
    </message>
    <message>
        <source>Hungarian (hu_HU)</source>
        <translation>Vengrų (hu_HU)</translation>
    </message>
    <message>
        <source>Lithuanian (lt_LT)</source>
        <translation>Lietuvių (lt_LT)</translation>
    </message>
    <message>
        <source>Norwegian (nb_NO)</source>
        <translation>Norvegų (nb_NO)</translation>
    </message>
    <message>
        <source>Polish (pl_PL)</source>
        <translation>Lenkų (pl_PL)</translation>
    </message>
    <message>
        <source>Russian (ru_RU)</source>
        <translation>Rusų (ru_RU)</translation>
    </message>
    <message>
        <source>Slovak (sk_SK)</source>
        <translation>Slovakų (sk_SK)</translation>
    </message>
    <message>
        <source>Slovenian (sl_SI)</source>
        <translation>Slovėnų (sl_SI)</translation>
    </message>
    <message>
        <source>Turkish (tr_TR)</source>
        <translation>Turkų (tr_TR)</translation>
    </message>
    <message>
        <source>Authority password invalid. Continue anyway?</source>
        <translation>Neteisingas institucijos slaptažodis. Vis tiek tęsti?</translation>
    </message>
    <message>
        <source>Yes</source>
        <translation>Taip</translation>
    </message>
    <message>
        <source>No</source>
        <translation>Ne</translation>
    </message>
    <message>
        <source>Open VORN Analysis Package</source>
        <translation>Atidaryti VORN analizės paketą</translation>
    </message>
    <message>
        <source>VORN Analysis Packages (*.pkg)</source>
        <translation>VORN analizės paketai (*.pkg)</translation>
    </message>
    <message>
        <source>This is not a valid VORN package file!</source>
        <translation>Tai nėra tinkamas VORN paketo failas!</translation>
    </message>
    <message>
        <source>This package is not compatible with this version of VORN Viewer. Try opening this package with an earlier version of VORN Viewer.</source>
        <translation>Šis paketas nesuderinamas su šia VORN Viewer versija. Pabandykite jį atidaryti senesne VORN Viewer versija.</translation>
    </message>
    <message>
        <source>This package is not compatible with this version of VORN Viewer. Try opening this package with an newer version of VORN Viewer.</source>
        <translation>Šis paketas nesuderinamas su šia VORN Viewer versija. Pabandykite jį atidaryti naujesne VORN Viewer versija.</translation>
    </message>
    <message>
        <source>Package could not be opened (Generic error)</source>
        <translation>Paketo atidaryti nepavyko (bendroji klaida)</translation>
    </message>
    <message>
        <source>Password invalid</source>
        <translation>Neteisingas slaptažodis</translation>
    </message>
    <message>
        <source>Cannot authenticate user</source>
        <translation>Nepavyko patvirtinti naudotojo tapatybės</translation>
    </message>
    <message>
        <source>Username invalid</source>
        <translation>Neteisingas naudotojo vardas</translation>
    </message>
    <message>
        <source>Error decoding package</source>
        <translation>Klaida dekoduojant paketą</translation>
    </message>
    <message>
        <source>VORN Viewer  |  %1</source>
        <translation>VORN Viewer  |  %1</translation>
    </message>
    <message>
        <source>This package contains</source>
        <translation>Šiame pakete yra</translation>
    </message>
    <message>
        <source>expired calls</source>
        <translation>pasibaigusio galiojimo skambučių</translation>
    </message>
    <message>
        <source>and</source>
        <translation>ir</translation>
    </message>
    <message>
        <source>calls with expired media</source>
        <translation>skambučių su pasibaigusio galiojimo įrašais</translation>
    </message>
    <message>
        <source>Time verification progress...</source>
        <translation>Vykdomas laiko tikrinimas...</translation>
    </message>
    <message>
        <source>Waiting for </source>
        <translation>Laukiama </translation>
    </message>
    <message>
        <source>Time verification failed</source>
        <translation>Laiko tikrinimas nepavyko</translation>
    </message>
    <message>
        <source>Please enter a valid URL to verify time:</source>
        <translation>Įveskite tinkamą URL laikui patikrinti:</translation>
    </message>
    <message>
        <source>Save Review</source>
        <translation>Įrašyti peržiūrą</translation>
    </message>
    <message>
        <source>Open Review</source>
        <translation>Atverti peržiūrą</translation>
    </message>
    <message>
        <source>Export Report</source>
        <translation>Eksportuoti ataskaitą</translation>
    </message>
    <message>
        <source>Save review?</source>
        <translation>Įrašyti peržiūrą?</translation>
    </message>
    <message>
        <source>The notes of this review have not been saved.</source>
        <translation>Šios peržiūros pastabos neįrašytos.</translation>
    </message>
    <message>
        <source>Save</source>
        <translation>Įrašyti</translation>
    </message>
    <message>
        <source>Discard</source>
        <translation>Atmesti</translation>
    </message>
    <message>
        <source>Cancel</source>
        <translation>Atšaukti</translation>
    </message>
    <message>
        <source>Review files (*.review.json *.json)</source>
        <translation>Peržiūros failai (*.review.json *.json)</translation>
    </message>
    <message>
        <source>The review could not be saved: %1</source>
        <translation>Peržiūros nepavyko įrašyti: %1</translation>
    </message>
    <message>
        <source>The review could not be opened: %1</source>
        <translation>Peržiūros nepavyko atverti: %1</translation>
    </message>
    <message>
        <source>This review was made for another package. The notes of calls found in this package are shown; the others are kept and saved with the review.</source>
        <translation>Ši peržiūra buvo sukurta kitam paketui. Rodomos šio paketo skambučių pastabos; kitos išsaugomos ir įrašomos kartu su peržiūra.</translation>
    </message>
    <message>
        <source>PDF report (*.pdf)</source>
        <translation>PDF ataskaita (*.pdf)</translation>
    </message>
    <message>
        <source>CSV table (*.csv)</source>
        <translation>CSV lentelė (*.csv)</translation>
    </message>
    <message>
        <source>The report could not be written: %1</source>
        <translation>Ataskaitos nepavyko įrašyti: %1</translation>
    </message>
    <message>
        <source>Export Recordings</source>
        <translation>Eksportuoti įrašus</translation>
    </message>
</context>
</TS>
