<?xml version="1.0" encoding="utf-8"?>
<!DOCTYPE TS>
<TS version="2.1" language="pl_PL">
<context>
    <name>AudioPlayer</name>
    <message>
        <source>&lt;p&gt;Could not open wvc file.</source>
        <translation>&lt;p&gt;Nie można otworzyć pliku WVC.</translation>
    </message>
    <message>
        <source>&lt;p&gt;Could not open wav file.</source>
        <translation>&lt;p&gt;Nie można otworzyć pliku WAV.</translation>
    </message>
    <message>
        <source>&lt;p&gt;Device to play audio not found.</source>
        <translation>&lt;p&gt;Nie znaleziono urządzenia do odtwarzania dźwięku.</translation>
    </message>
    <message>
        <source>Error</source>
        <translation>Błąd</translation>
    </message>
    <message>
        <source>Save File</source>
        <translation>Zapisz plik</translation>
    </message>
    <message>
        <source>&lt;p&gt;Not able to open file in selected directory</source>
        <translation>&lt;p&gt;Nie można otworzyć pliku w wybranym katalogu</translation>
    </message>
    <message>
        <source>Downloading...</source>
        <translation>Pobieranie...</translation>
    </message>
    <message>
        <source>Cancel</source>
        <translation>Anuluj</translation>
    </message>
    <message>
        <source>&lt;p&gt;Could not write to file</source>
        <translation>&lt;p&gt;Nie można zapisać do pliku</translation>
    </message>
    <message>
        <source>&lt;p&gt;File not found in package</source>
        <translation>&lt;p&gt;Nie znaleziono pliku w pakiecie</translation>
    </message>
    <message>
        <source>&lt;p&gt;The sound device stopped working. Playback has ended.</source>
        <translation>&lt;p&gt;Urządzenie dźwiękowe przestało działać. Odtwarzanie zostało zakończone.</translation>
    </message>
    <message>
        <source>&lt;p&gt;Could not read from the package: the package file has changed or is no longer available.</source>
        <translation>&lt;p&gt;Nie można odczytać pakietu: plik pakietu został zmieniony lub nie jest już dostępny.</translation>
    </message>
</context>
<context>
    <name>BatchExport</name>
    <message>
        <source>Recordings written: %1</source>
        <translation>Zapisane nagrania: %1</translation>
    </message>
    <message>
        <source>Skipped %1: %2</source>
        <translation>Pominięto %1: %2</translation>
    </message>
    <message>
        <source>The export was cancelled.</source>
        <translation>Eksport został anulowany.</translation>
    </message>
    <message>
        <source>the call has expired</source>
        <translation>połączenie wygasło</translation>
    </message>
    <message>
        <source>the call is not in this package</source>
        <translation>połączenia nie ma w tym pakiecie</translation>
    </message>
    <message>
        <source>the recording has expired</source>
        <translation>nagranie wygasło</translation>
    </message>
    <message>
        <source>the call has no recording</source>
        <translation>połączenie nie ma nagrania</translation>
    </message>
    <message>
        <source>The folder %1 does not exist.</source>
        <translation>Folder %1 nie istnieje.</translation>
    </message>
    <message>
        <source>These files exist already: %1</source>
        <translation>Te pliki już istnieją: %1</translation>
    </message>
    <message>
        <source>Could not write %1: %2</source>
        <translation>Nie można zapisać %1: %2</translation>
    </message>
    <message>
        <source>the recording could not be read</source>
        <translation>nie można odczytać nagrania</translation>
    </message>
</context>
<context>
    <name>InputDialog</name>
    <message>
        <source>Please enter user name and password</source>
        <translation>Wprowadź nazwę użytkownika i hasło</translation>
    </message>
    <message>
        <source>Username:</source>
        <translation>Nazwa użytkownika:</translation>
    </message>
    <message>
        <source>Password:</source>
        <translation>Hasło:</translation>
    </message>
    <message>
        <source>Authority password (optional):</source>
        <translation>Hasło organu (opcjonalnie):</translation>
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
        <translation>Eksportuj nagrania</translation>
    </message>
    <message>
        <source>There are no reviewed calls to export.</source>
        <translation>Brak przejrzanych połączeń do eksportu.</translation>
    </message>
    <message>
        <source>Choose the folder for the recordings</source>
        <translation>Wybierz folder na nagrania</translation>
    </message>
    <message>
        <source>These files exist in the folder already:
%1

Replace them?</source>
        <translation>Te pliki już istnieją w folderze:
%1

Zastąpić je?</translation>
    </message>
    <message>
        <source>Exporting recordings...</source>
        <translation>Eksportowanie nagrań...</translation>
    </message>
    <message>
        <source>Cancel</source>
        <translation>Anuluj</translation>
    </message>
</context>
<context>
    <name>ReportPrinter</name>
    <message>
        <source>The report could not be laid out.</source>
        <translation>Nie udało się złożyć raportu.</translation>
    </message>
</context>
<context>
    <name>ReviewDocument</name>
    <message>
        <source>The review file is damaged (byte %1).</source>
        <translation>Plik przeglądu jest uszkodzony (bajt %1).</translation>
    </message>
    <message>
        <source>The file is not a review file.</source>
        <translation>Plik nie jest plikiem przeglądu.</translation>
    </message>
    <message>
        <source>The review file has version %1; this viewer reads version %2.</source>
        <translation>Plik przeglądu ma wersję %1; ta przeglądarka czyta wersję %2.</translation>
    </message>
    <message>
        <source>The review file is damaged.</source>
        <translation>Plik przeglądu jest uszkodzony.</translation>
    </message>
    <message>
        <source>The review file is damaged (call %1).</source>
        <translation>Plik przeglądu jest uszkodzony (połączenie %1).</translation>
    </message>
    <message>
        <source>The review file cannot be read: %1</source>
        <translation>Nie można odczytać pliku przeglądu: %1</translation>
    </message>
    <message>
        <source>%1 is not a regular file.</source>
        <translation>%1 nie jest zwykłym plikiem.</translation>
    </message>
    <message>
        <source>%1 cannot be written: %2</source>
        <translation>Nie można zapisać %1: %2</translation>
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
        <translation>Kliknij i wybierz plik „*.pkg”. Jeśli pakiet jest zaszyfrowany, zostaniesz poproszony o podanie nazwy użytkownika i hasła.</translation>
    </message>
    <message>
        <source>Once the package is opened, you can navigate through the calls by clicking the available tabs and play audio content in the integrated audio player.</source>
        <translation>Po otwarciu pakietu możesz przeglądać połączenia, klikając dostępne karty, i odtwarzać nagrania we wbudowanym odtwarzaczu.</translation>
    </message>
    <message>
        <source>Home (Ctrl+H)</source>
        <translation>Strona startowa (Ctrl+H)</translation>
    </message>
    <message>
        <source>Open package (Ctrl+O)</source>
        <translation>Otwórz pakiet (Ctrl+O)</translation>
    </message>
    <message>
        <source>Authority override</source>
        <translation>Dostęp dla organów</translation>
    </message>
    <message>
        <source>Zoom in (Ctrl++)</source>
        <translation>Powiększ (Ctrl++)</translation>
    </message>
    <message>
        <source>Zoom out (Ctrl+-)</source>
        <translation>Pomniejsz (Ctrl+-)</translation>
    </message>
    <message>
        <source>About</source>
        <translation>O programie</translation>
    </message>
    <message>
        <source>Main toolbar</source>
        <translation>Główny pasek narzędzi</translation>
    </message>
    <message>
        <source>Version %1</source>
        <translation>Wersja %1</translation>
    </message>
    <message>
        <source>About VORN Viewer</source>
        <translation>O programie VORN Viewer</translation>
    </message>
    <message>
        <source>Authority password</source>
        <translation>Hasło organu</translation>
    </message>
    <message>
        <source>Please enter the password for authority access:</source>
        <translation>Wprowadź hasło dostępu dla organów:</translation>
    </message>
    <message>
        <source>Invalid password</source>
        <translation>Nieprawidłowe hasło</translation>
    </message>
    <message>
        <source>The password did not match!</source>
        <translation>Hasło się nie zgadza!</translation>
    </message>
    <message>
        <source>Authority override activated</source>
        <translation>Dostęp dla organów włączony</translation>
    </message>
    <message>
        <source>Arabic (ar_SA)</source>
        <translation>Arabski (ar_SA)</translation>
    </message>
    <message>
        <source>Danish (da_DK)</source>
        <translation>Duński (da_DK)</translation>
    </message>
    <message>
        <source>German (de_DE)</source>
        <translation>Niemiecki (de_DE)</translation>
    </message>
    <message>
        <source>German (de_CH)</source>
        <translation>Niemiecki (de_CH)</translation>
    </message>
    <message>
        <source>German (de_AT)</source>
        <translation>Niemiecki (de_AT)</translation>
    </message>
    <message>
        <source>English (en_AU)</source>
        <translation>Angielski (en_AU)</translation>
    </message>
    <message>
        <source>English (en_GB)</source>
        <translation>Angielski (en_GB)</translation>
    </message>
    <message>
        <source>English (en_IE)</source>
        <translation>Angielski (en_IE)</translation>
    </message>
    <message>
        <source>English (en_US)</source>
        <translation>Angielski (en_US)</translation>
    </message>
    <message>
        <source>French (fr_CH)</source>
        <translation>Francuski (fr_CH)</translation>
    </message>
    <message>
        <source>French (fr_FR)</source>
        <translation>Francuski (fr_FR)</translation>
    </message>
    <message>
        <source>Hungarian (hu_HU)</source>
        <translation>Węgierski (hu_HU)</translation>
    </message>
    <message>
        <source>Lithuanian (lt_LT)</source>
        <translation>Litewski (lt_LT)</translation>
    </message>
    <message>
        <source>Norwegian (nb_NO)</source>
        <translation>Norweski (nb_NO)</translation>
    </message>
    <message>
        <source>Polish (pl_PL)</source>
        <translation>Polski (pl_PL)</translation>
    </message>
    <message>
        <source>Russian (ru_RU)</source>
        <translation>Rosyjski (ru_RU)</translation>
    </message>
    <message>
        <source>Slovak (sk_SK)</source>
        <translation>Słowacki (sk_SK)</translation>
    </message>
    <message>
        <source>Slovenian (sl_SI)</source>
        <translation>Słoweński (sl_SI)</translation>
    </message>
    <message>
        <source>Turkish (tr_TR)</source>
        <translation>Turecki (tr_TR)</translation>
    </message>
    <message>
        <source>Authority password invalid. Continue anyway?</source>
        <translation>Nieprawidłowe hasło organu. Czy mimo to kontynuować?</translation>
    </message>
    <message>
        <source>Yes</source>
        <translation>Tak</translation>
    </message>
    <message>
        <source>No</source>
        <translation>Nie</translation>
    </message>
    <message>
        <source>Open VORN Analysis Package</source>
        <translation>Otwórz pakiet analizy VORN</translation>
    </message>
    <message>
        <source>VORN Analysis Packages (*.pkg)</source>
        <translation>Pakiety analizy VORN (*.pkg)</translation>
    </message>
    <message>
        <source>This is not a valid VORN package file!</source>
        <translation>To nie jest prawidłowy plik pakietu VORN!</translation>
    </message>
    <message>
        <source>This package is not compatible with this version of VORN Viewer. Try opening this package with an earlier version of VORN Viewer.</source>
        <translation>Ten pakiet nie jest zgodny z tą wersją VORN Viewer. Spróbuj otworzyć go wcześniejszą wersją VORN Viewer.</translation>
    </message>
    <message>
        <source>This package is not compatible with this version of VORN Viewer. Try opening this package with an newer version of VORN Viewer.</source>
        <translation>Ten pakiet nie jest zgodny z tą wersją VORN Viewer. Spróbuj otworzyć go nowszą wersją VORN Viewer.</translation>
    </message>
    <message>
        <source>Package could not be opened (Generic error)</source>
        <translation>Nie można otworzyć pakietu (błąd ogólny)</translation>
    </message>
    <message>
        <source>Password invalid</source>
        <translation>Nieprawidłowe hasło</translation>
    </message>
    <message>
        <source>Cannot authenticate user</source>
        <translation>Nie można uwierzytelnić użytkownika</translation>
    </message>
    <message>
        <source>Username invalid</source>
        <translation>Nieprawidłowa nazwa użytkownika</translation>
    </message>
    <message>
        <source>Error decoding package</source>
        <translation>Błąd dekodowania pakietu</translation>
    </message>
    <message>
        <source>VORN Viewer  |  %1</source>
        <translation>VORN Viewer  |  %1</translation>
    </message>
    <message>
        <source>This package contains</source>
        <translation>Ten pakiet zawiera</translation>
    </message>
    <message>
        <source>expired calls</source>
        <translation>wygasłych połączeń</translation>
    </message>
    <message>
        <source>and</source>
        <translation>i</translation>
    </message>
    <message>
        <source>calls with expired media</source>
        <translation>połączeń z wygasłymi nagraniami</translation>
    </message>
    <message>
        <source>Time verification progress...</source>
        <translation>Trwa weryfikacja czasu...</translation>
    </message>
    <message>
        <source>Waiting for </source>
        <translation>Oczekiwanie na </translation>
    </message>
    <message>
        <source>Time verification failed</source>
        <translation>Weryfikacja czasu nie powiodła się</translation>
    </message>
    <message>
        <source>Please enter a valid URL to verify time:</source>
        <translation>Wprowadź prawidłowy adres URL do weryfikacji czasu:</translation>
    </message>
    <message>
        <source>Save Review</source>
        <translation>Zapisz przegląd</translation>
    </message>
    <message>
        <source>Open Review</source>
        <translation>Otwórz przegląd</translation>
    </message>
    <message>
        <source>Export Report</source>
        <translation>Eksportuj raport</translation>
    </message>
    <message>
        <source>Save review?</source>
        <translation>Zapisać przegląd?</translation>
    </message>
    <message>
        <source>The notes of this review have not been saved.</source>
        <translation>Notatki tego przeglądu nie zostały zapisane.</translation>
    </message>
    <message>
        <source>Save</source>
        <translation>Zapisz</translation>
    </message>
    <message>
        <source>Discard</source>
        <translation>Odrzuć</translation>
    </message>
    <message>
        <source>Cancel</source>
        <translation>Anuluj</translation>
    </message>
    <message>
        <source>Review files (*.review.json *.json)</source>
        <translation>Pliki przeglądu (*.review.json *.json)</translation>
    </message>
    <message>
        <source>The review could not be saved: %1</source>
        <translation>Nie udało się zapisać przeglądu: %1</translation>
    </message>
    <message>
        <source>The review could not be opened: %1</source>
        <translation>Nie udało się otworzyć przeglądu: %1</translation>
    </message>
    <message>
        <source>This review was made for another package. The notes of calls found in this package are shown; the others are kept and saved with the review.</source>
        <translation>Ten przegląd sporządzono dla innego pakietu. Widoczne są notatki połączeń z tego pakietu; pozostałe są zachowane i zapisywane razem z przeglądem.</translation>
    </message>
    <message>
        <source>PDF report (*.pdf)</source>
        <translation>Raport PDF (*.pdf)</translation>
    </message>
    <message>
        <source>CSV table (*.csv)</source>
        <translation>Tabela CSV (*.csv)</translation>
    </message>
    <message>
        <source>The report could not be written: %1</source>
        <translation>Nie udało się zapisać raportu: %1</translation>
    </message>
    <message>
        <source>Export Recordings</source>
        <translation>Eksportuj nagrania</translation>
    </message>
</context>
</TS>
