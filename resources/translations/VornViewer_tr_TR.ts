<?xml version="1.0" encoding="utf-8"?>
<!DOCTYPE TS>
<TS version="2.1" language="tr_TR">
<context>
    <name>AudioPlayer</name>
    <message>
        <source>&lt;p&gt;Could not open wvc file.</source>
        <translation>&lt;p&gt;WVC dosyası açılamadı.</translation>
    </message>
    <message>
        <source>&lt;p&gt;Could not open wav file.</source>
        <translation>&lt;p&gt;WAV dosyası açılamadı.</translation>
    </message>
    <message>
        <source>&lt;p&gt;Device to play audio not found.</source>
        <translation>&lt;p&gt;Ses çalmak için aygıt bulunamadı.</translation>
    </message>
    <message>
        <source>Error</source>
        <translation>Hata</translation>
    </message>
    <message>
        <source>Save File</source>
        <translation>Dosyayı kaydet</translation>
    </message>
    <message>
        <source>&lt;p&gt;Not able to open file in selected directory</source>
        <translation>&lt;p&gt;Dosya seçilen klasörde açılamıyor</translation>
    </message>
    <message>
        <source>Downloading...</source>
        <translation>İndiriliyor...</translation>
    </message>
    <message>
        <source>Cancel</source>
        <translation>İptal</translation>
    </message>
    <message>
        <source>&lt;p&gt;Could not write to file</source>
        <translation>&lt;p&gt;Dosyaya yazılamadı</translation>
    </message>
    <message>
        <source>&lt;p&gt;File not found in package</source>
        <translation>&lt;p&gt;Dosya pakette bulunamadı</translation>
    </message>
    <message>
        <source>&lt;p&gt;The sound device stopped working. Playback has ended.</source>
        <translation>&lt;p&gt;Ses aygıtı çalışmayı durdurdu. Oynatma sona erdi.</translation>
    </message>
    <message>
        <source>&lt;p&gt;Could not read from the package: the package file has changed or is no longer available.</source>
        <translation>&lt;p&gt;Paketten okunamadı: paket dosyası değiştirildi veya artık kullanılamıyor.</translation>
    </message>
</context>
<context>
    <name>BatchExport</name>
    <message>
        <source>Recordings written: %1</source>
        <translation>Yazılan kayıtlar: %1</translation>
    </message>
    <message>
        <source>Skipped %1: %2</source>
        <translation>Atlandı %1: %2</translation>
    </message>
    <message>
        <source>The export was cancelled.</source>
        <translation>Dışa aktarma iptal edildi.</translation>
    </message>
    <message>
        <source>the call has expired</source>
        <translation>aramanın süresi doldu</translation>
    </message>
    <message>
        <source>the call is not in this package</source>
        <translation>arama bu pakette yok</translation>
    </message>
    <message>
        <source>the recording has expired</source>
        <translation>kaydın süresi doldu</translation>
    </message>
    <message>
        <source>the call has no recording</source>
        <translation>aramanın kaydı yok</translation>
    </message>
    <message>
        <source>The folder %1 does not exist.</source>
        <translation>%1 klasörü yok.</translation>
    </message>
    <message>
        <source>These files exist already: %1</source>
        <translation>Bu dosyalar zaten var: %1</translation>
    </message>
    <message>
        <source>Could not write %1: %2</source>
        <translation>%1 yazılamadı: %2</translation>
    </message>
    <message>
        <source>the recording could not be read</source>
        <translation>kayıt okunamadı</translation>
    </message>
</context>
<context>
    <name>InputDialog</name>
    <message>
        <source>Please enter user name and password</source>
        <translation>Lütfen kullanıcı adını ve parolayı girin</translation>
    </message>
    <message>
        <source>Username:</source>
        <translation>Kullanıcı adı:</translation>
    </message>
    <message>
        <source>Password:</source>
        <translation>Parola:</translation>
    </message>
    <message>
        <source>Authority password (optional):</source>
        <translation>Yetkili makam parolası (isteğe bağlı):</translation>
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
        <translation>Kayıtları dışa aktar</translation>
    </message>
    <message>
        <source>There are no reviewed calls to export.</source>
        <translation>Dışa aktarılacak incelenmiş arama yok.</translation>
    </message>
    <message>
        <source>Choose the folder for the recordings</source>
        <translation>Kayıtlar için klasörü seçin</translation>
    </message>
    <message>
        <source>These files exist in the folder already:
%1

Replace them?</source>
        <translation>Bu dosyalar klasörde zaten var:
%1

Değiştirilsin mi?</translation>
    </message>
    <message>
        <source>Exporting recordings...</source>
        <translation>Kayıtlar dışa aktarılıyor...</translation>
    </message>
    <message>
        <source>Cancel</source>
        <translation>İptal</translation>
    </message>
</context>
<context>
    <name>ReportPrinter</name>
    <message>
        <source>The report could not be laid out.</source>
        <translation>Rapor sayfalara yerleştirilemedi.</translation>
    </message>
</context>
<context>
    <name>ReviewDocument</name>
    <message>
        <source>The review file is damaged (byte %1).</source>
        <translation>İnceleme dosyası bozuk (bayt %1).</translation>
    </message>
    <message>
        <source>The file is not a review file.</source>
        <translation>Dosya bir inceleme dosyası değil.</translation>
    </message>
    <message>
        <source>The review file has version %1; this viewer reads version %2.</source>
        <translation>İnceleme dosyasının sürümü %1; bu görüntüleyici %2 sürümünü okur.</translation>
    </message>
    <message>
        <source>The review file is damaged.</source>
        <translation>İnceleme dosyası bozuk.</translation>
    </message>
    <message>
        <source>The review file is damaged (call %1).</source>
        <translation>İnceleme dosyası bozuk (arama %1).</translation>
    </message>
    <message>
        <source>The review file cannot be read: %1</source>
        <translation>İnceleme dosyası okunamıyor: %1</translation>
    </message>
    <message>
        <source>%1 is not a regular file.</source>
        <translation>%1 normal bir dosya değil.</translation>
    </message>
    <message>
        <source>%1 cannot be written: %2</source>
        <translation>%1 yazılamıyor: %2</translation>
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
        <translation>Tıklayın ve bir &quot;*.pkg&quot; dosyası seçin. Paket şifreliyse kullanıcı adı ve parola girmeniz istenir.</translation>
    </message>
    <message>
        <source>Once the package is opened, you can navigate through the calls by clicking the available tabs and play audio content in the integrated audio player.</source>
        <translation>Paket açıldıktan sonra sekmelere tıklayarak aramalar arasında gezinebilir ve kayıtları yerleşik oynatıcıda dinleyebilirsiniz.</translation>
    </message>
    <message>
        <source>Home (Ctrl+H)</source>
        <translation>Ana sayfa (Ctrl+H)</translation>
    </message>
    <message>
        <source>Open package (Ctrl+O)</source>
        <translation>Paket aç (Ctrl+O)</translation>
    </message>
    <message>
        <source>Authority override</source>
        <translation>Yetkili makam erişimi</translation>
    </message>
    <message>
        <source>Zoom in (Ctrl++)</source>
        <translation>Yakınlaştır (Ctrl++)</translation>
    </message>
    <message>
        <source>Zoom out (Ctrl+-)</source>
        <translation>Uzaklaştır (Ctrl+-)</translation>
    </message>
    <message>
        <source>About</source>
        <translation>Hakkında</translation>
    </message>
    <message>
        <source>Main toolbar</source>
        <translation>Ana araç çubuğu</translation>
    </message>
    <message>
        <source>Version %1</source>
        <translation>Sürüm %1</translation>
    </message>
    <message>
        <source>About VORN Viewer</source>
        <translation>VORN Viewer hakkında</translation>
    </message>
    <message>
        <source>Authority password</source>
        <translation>Yetkili makam parolası</translation>
    </message>
    <message>
        <source>Please enter the password for authority access:</source>
        <translation>Lütfen yetkili makam erişimi parolasını girin:</translation>
    </message>
    <message>
        <source>Invalid password</source>
        <translation>Geçersiz parola</translation>
    </message>
    <message>
        <source>The password did not match!</source>
        <translation>Parola eşleşmedi!</translation>
    </message>
    <message>
        <source>Authority override activated</source>
        <translation>Yetkili makam erişimi etkin</translation>
    </message>
    <message>
        <source>Arabic (ar_SA)</source>
        <translation>Arapça (ar_SA)</translation>
    </message>
    <message>
        <source>Danish (da_DK)</source>
        <translation>Danca (da_DK)</translation>
    </message>
    <message>
        <source>German (de_DE)</source>
        <translation>Almanca (de_DE)</translation>
    </message>
    <message>
        <source>German (de_CH)</source>
        <translation>Almanca (de_CH)</translation>
    </message>
    <message>
        <source>German (de_AT)</source>
        <translation>Almanca (de_AT)</translation>
    </message>
    <message>
        <source>English (en_AU)</source>
        <translation>İngilizce (en_AU)</translation>
    </message>
    <message>
        <source>English (en_GB)</source>
        <translation>İngilizce (en_GB)</translation>
    </message>
    <message>
        <source>English (en_IE)</source>
        <translation>İngilizce (en_IE)</translation>
    </message>
    <message>
        <source>English (en_US)</source>
        <translation>İngilizce (en_US)</translation>
    </message>
    <message>
        <source>French (fr_CH)</source>
        <translation>Fransızca (fr_CH)</translation>
    </message>
    <message>
        <source>French (fr_FR)</source>
        <translation>Fransızca (fr_FR)</translation>
    </message>
    <message>
        <source>Hungarian (hu_HU)</source>
        <translation>Macarca (hu_HU)</translation>
    </message>
    <message>
        <source>Lithuanian (lt_LT)</source>
        <translation>Litvanca (lt_LT)</translation>
    </message>
    <message>
        <source>Norwegian (nb_NO)</source>
        <translation>Norveççe (nb_NO)</translation>
    </message>
    <message>
        <source>Polish (pl_PL)</source>
        <translation>Lehçe (pl_PL)</translation>
    </message>
    <message>
        <source>Russian (ru_RU)</source>
        <translation>Rusça (ru_RU)</translation>
    </message>
    <message>
        <source>Slovak (sk_SK)</source>
        <translation>Slovakça (sk_SK)</translation>
    </message>
    <message>
        <source>Slovenian (sl_SI)</source>
        <translation>Slovence (sl_SI)</translation>
    </message>
    <message>
        <source>Turkish (tr_TR)</source>
        <translation>Türkçe (tr_TR)</translation>
    </message>
    <message>
        <source>Authority password invalid. Continue anyway?</source>
        <translation>Yetkili makam parolası geçersiz. Yine de devam edilsin mi?</translation>
    </message>
    <message>
        <source>Yes</source>
        <translation>Evet</translation>
    </message>
    <message>
        <source>No</source>
        <translation>Hayır</translation>
    </message>
    <message>
        <source>Open VORN Analysis Package</source>
        <translation>VORN Analiz Paketini Aç</translation>
    </message>
    <message>
        <source>VORN Analysis Packages (*.pkg)</source>
        <translation>VORN Analiz Paketleri (*.pkg)</translation>
    </message>
    <message>
        <source>This is not a valid VORN package file!</source>
        <translation>Bu geçerli bir VORN paket dosyası değil!</translation>
    </message>
    <message>
        <source>This package is not compatible with this version of VORN Viewer. Try opening this package with an earlier version of VORN Viewer.</source>
        <translation>Bu paket VORN Viewer&apos;ın bu sürümüyle uyumlu değil. Paketi VORN Viewer&apos;ın daha eski bir sürümüyle açmayı deneyin.</translation>
    </message>
    <message>
        <source>This package is not compatible with this version of VORN Viewer. Try opening this package with an newer version of VORN Viewer.</source>
        <translation>Bu paket VORN Viewer&apos;ın bu sürümüyle uyumlu değil. Paketi VORN Viewer&apos;ın daha yeni bir sürümüyle açmayı deneyin.</translation>
    </message>
    <message>
        <source>Package could not be opened (Generic error)</source>
        <translation>Paket açılamadı (genel hata)</translation>
    </message>
    <message>
        <source>Password invalid</source>
        <translation>Parola geçersiz</translation>
    </message>
    <message>
        <source>Cannot authenticate user</source>
        <translation>Kullanıcının kimliği doğrulanamadı</translation>
    </message>
    <message>
        <source>Username invalid</source>
        <translation>Kullanıcı adı geçersiz</translation>
    </message>
    <message>
        <source>Error decoding package</source>
        <translation>Paketin kodu çözülürken hata oluştu</translation>
    </message>
    <message>
        <source>VORN Viewer  |  %1</source>
        <translation>VORN Viewer  |  %1</translation>
    </message>
    <message>
        <source>This package contains</source>
        <translation>Bu pakette şunlar var:</translation>
    </message>
    <message>
        <source>expired calls</source>
        <translation>süresi dolmuş arama</translation>
    </message>
    <message>
        <source>and</source>
        <translation>ve</translation>
    </message>
    <message>
        <source>calls with expired media</source>
        <translation>kaydı süresi dolmuş arama</translation>
    </message>
    <message>
        <source>Time verification progress...</source>
        <translation>Zaman doğrulanıyor...</translation>
    </message>
    <message>
        <source>Waiting for </source>
        <translation>Bekleniyor: </translation>
    </message>
    <message>
        <source>Time verification failed</source>
        <translation>Zaman doğrulaması başarısız oldu</translation>
    </message>
    <message>
        <source>Please enter a valid URL to verify time:</source>
        <translation>Lütfen zamanı doğrulamak için geçerli bir URL girin:</translation>
    </message>
    <message>
        <source>Save Review</source>
        <translation>İncelemeyi kaydet</translation>
    </message>
    <message>
        <source>Open Review</source>
        <translation>İncelemeyi aç</translation>
    </message>
    <message>
        <source>Export Report</source>
        <translation>Raporu dışa aktar</translation>
    </message>
    <message>
        <source>Save review?</source>
        <translation>İnceleme kaydedilsin mi?</translation>
    </message>
    <message>
        <source>The notes of this review have not been saved.</source>
        <translation>Bu incelemenin notları kaydedilmedi.</translation>
    </message>
    <message>
        <source>Save</source>
        <translation>Kaydet</translation>
    </message>
    <message>
        <source>Discard</source>
        <translation>Vazgeç</translation>
    </message>
    <message>
        <source>Cancel</source>
        <translation>İptal</translation>
    </message>
    <message>
        <source>Review files (*.review.json *.json)</source>
        <translation>İnceleme dosyaları (*.review.json *.json)</translation>
    </message>
    <message>
        <source>The review could not be saved: %1</source>
        <translation>İnceleme kaydedilemedi: %1</translation>
    </message>
    <message>
        <source>The review could not be opened: %1</source>
        <translation>İnceleme açılamadı: %1</translation>
    </message>
    <message>
        <source>This review was made for another package. The notes of calls found in this package are shown; the others are kept and saved with the review.</source>
        <translation>Bu inceleme başka bir paket için yapıldı. Bu paketteki aramaların notları gösteriliyor; diğerleri korunur ve incelemeyle birlikte kaydedilir.</translation>
    </message>
    <message>
        <source>PDF report (*.pdf)</source>
        <translation>PDF raporu (*.pdf)</translation>
    </message>
    <message>
        <source>CSV table (*.csv)</source>
        <translation>CSV tablosu (*.csv)</translation>
    </message>
    <message>
        <source>The report could not be written: %1</source>
        <translation>Rapor yazılamadı: %1</translation>
    </message>
    <message>
        <source>Export Recordings</source>
        <translation>Kayıtları dışa aktar</translation>
    </message>
</context>
</TS>
