<?xml version="1.0" encoding="utf-8"?>
<!DOCTYPE TS>
<TS version="2.1" language="ru_RU">
<context>
    <name>AudioPlayer</name>
    <message>
        <source>&lt;p&gt;Could not open wvc file.</source>
        <translation>&lt;p&gt;Не удалось открыть файл WVC.</translation>
    </message>
    <message>
        <source>&lt;p&gt;Could not open wav file.</source>
        <translation>&lt;p&gt;Не удалось открыть файл WAV.</translation>
    </message>
    <message>
        <source>&lt;p&gt;Device to play audio not found.</source>
        <translation>&lt;p&gt;Устройство воспроизведения звука не найдено.</translation>
    </message>
    <message>
        <source>Error</source>
        <translation>Ошибка</translation>
    </message>
    <message>
        <source>Save File</source>
        <translation>Сохранить файл</translation>
    </message>
    <message>
        <source>&lt;p&gt;Not able to open file in selected directory</source>
        <translation>&lt;p&gt;Не удалось открыть файл в выбранной папке</translation>
    </message>
    <message>
        <source>Downloading...</source>
        <translation>Загрузка...</translation>
    </message>
    <message>
        <source>Cancel</source>
        <translation>Отмена</translation>
    </message>
    <message>
        <source>&lt;p&gt;Could not write to file</source>
        <translation>&lt;p&gt;Не удалось записать в файл</translation>
    </message>
    <message>
        <source>&lt;p&gt;File not found in package</source>
        <translation>&lt;p&gt;Файл не найден в пакете</translation>
    </message>
    <message>
        <source>&lt;p&gt;The sound device stopped working. Playback has ended.</source>
        <translation>&lt;p&gt;Звуковое устройство перестало работать. Воспроизведение остановлено.</translation>
    </message>
    <message>
        <source>&lt;p&gt;Could not read from the package: the package file has changed or is no longer available.</source>
        <translation>&lt;p&gt;Не удалось прочитать пакет: файл пакета изменён или больше недоступен.</translation>
    </message>
</context>
<context>
    <name>BatchExport</name>
    <message>
        <source>Recordings written: %1</source>
        <translation>Записано записей: %1</translation>
    </message>
    <message>
        <source>Skipped %1: %2</source>
        <translation>Пропущено %1: %2</translation>
    </message>
    <message>
        <source>The export was cancelled.</source>
        <translation>Экспорт отменён.</translation>
    </message>
    <message>
        <source>the call has expired</source>
        <translation>срок хранения звонка истёк</translation>
    </message>
    <message>
        <source>the call is not in this package</source>
        <translation>звонка нет в этом пакете</translation>
    </message>
    <message>
        <source>the recording has expired</source>
        <translation>срок хранения записи истёк</translation>
    </message>
    <message>
        <source>the call has no recording</source>
        <translation>у звонка нет записи</translation>
    </message>
    <message>
        <source>The folder %1 does not exist.</source>
        <translation>Папка %1 не существует.</translation>
    </message>
    <message>
        <source>These files exist already: %1</source>
        <translation>Эти файлы уже существуют: %1</translation>
    </message>
    <message>
        <source>Could not write %1: %2</source>
        <translation>Не удалось записать %1: %2</translation>
    </message>
    <message>
        <source>the recording could not be read</source>
        <translation>не удалось прочитать запись</translation>
    </message>
</context>
<context>
    <name>InputDialog</name>
    <message>
        <source>Please enter user name and password</source>
        <translation>Введите имя пользователя и пароль</translation>
    </message>
    <message>
        <source>Username:</source>
        <translation>Имя пользователя:</translation>
    </message>
    <message>
        <source>Password:</source>
        <translation>Пароль:</translation>
    </message>
    <message>
        <source>Authority password (optional):</source>
        <translation>Пароль уполномоченного органа (необязательно):</translation>
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
        <translation>Экспорт записей</translation>
    </message>
    <message>
        <source>There are no reviewed calls to export.</source>
        <translation>Нет проверенных звонков для экспорта.</translation>
    </message>
    <message>
        <source>Choose the folder for the recordings</source>
        <translation>Выберите папку для записей</translation>
    </message>
    <message>
        <source>These files exist in the folder already:
%1

Replace them?</source>
        <translation>Эти файлы уже есть в папке:
%1

Заменить их?</translation>
    </message>
    <message>
        <source>Exporting recordings...</source>
        <translation>Экспорт записей...</translation>
    </message>
    <message>
        <source>Cancel</source>
        <translation>Отмена</translation>
    </message>
</context>
<context>
    <name>ReportPrinter</name>
    <message>
        <source>The report could not be laid out.</source>
        <translation>Не удалось сверстать отчёт.</translation>
    </message>
</context>
<context>
    <name>ReviewDocument</name>
    <message>
        <source>The review file is damaged (byte %1).</source>
        <translation>Файл проверки повреждён (байт %1).</translation>
    </message>
    <message>
        <source>The file is not a review file.</source>
        <translation>Файл не является файлом проверки.</translation>
    </message>
    <message>
        <source>The review file has version %1; this viewer reads version %2.</source>
        <translation>Файл проверки имеет версию %1; эта программа читает версию %2.</translation>
    </message>
    <message>
        <source>The review file is damaged.</source>
        <translation>Файл проверки повреждён.</translation>
    </message>
    <message>
        <source>The review file is damaged (call %1).</source>
        <translation>Файл проверки повреждён (звонок %1).</translation>
    </message>
    <message>
        <source>The review file cannot be read: %1</source>
        <translation>Не удаётся прочитать файл проверки: %1</translation>
    </message>
    <message>
        <source>%1 is not a regular file.</source>
        <translation>%1 не является обычным файлом.</translation>
    </message>
    <message>
        <source>%1 cannot be written: %2</source>
        <translation>Не удаётся записать %1: %2</translation>
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
        <translation>Щёлкните и выберите файл «*.pkg». Если пакет зашифрован, будет запрошено имя пользователя и пароль.</translation>
    </message>
    <message>
        <source>Once the package is opened, you can navigate through the calls by clicking the available tabs and play audio content in the integrated audio player.</source>
        <translation>После открытия пакета можно переходить между звонками с помощью вкладок и прослушивать записи во встроенном проигрывателе.</translation>
    </message>
    <message>
        <source>Home (Ctrl+H)</source>
        <translation>Главная (Ctrl+H)</translation>
    </message>
    <message>
        <source>Open package (Ctrl+O)</source>
        <translation>Открыть пакет (Ctrl+O)</translation>
    </message>
    <message>
        <source>Authority override</source>
        <translation>Доступ для уполномоченных органов</translation>
    </message>
    <message>
        <source>Zoom in (Ctrl++)</source>
        <translation>Увеличить (Ctrl++)</translation>
    </message>
    <message>
        <source>Zoom out (Ctrl+-)</source>
        <translation>Уменьшить (Ctrl+-)</translation>
    </message>
    <message>
        <source>About</source>
        <translation>О программе</translation>
    </message>
    <message>
        <source>Main toolbar</source>
        <translation>Главная панель инструментов</translation>
    </message>
    <message>
        <source>Version %1</source>
        <translation>Версия %1</translation>
    </message>
    <message>
        <source>About VORN Viewer</source>
        <translation>О программе VORN Viewer</translation>
    </message>
    <message>
        <source>Authority password</source>
        <translation>Пароль уполномоченного органа</translation>
    </message>
    <message>
        <source>Please enter the password for authority access:</source>
        <translation>Введите пароль доступа для уполномоченных органов:</translation>
    </message>
    <message>
        <source>Invalid password</source>
        <translation>Неверный пароль</translation>
    </message>
    <message>
        <source>The password did not match!</source>
        <translation>Пароль не совпадает!</translation>
    </message>
    <message>
        <source>Authority override activated</source>
        <translation>Доступ для уполномоченных органов включён</translation>
    </message>
    <message>
        <source>Arabic (ar_SA)</source>
        <translation>Арабский (ar_SA)</translation>
    </message>
    <message>
        <source>Danish (da_DK)</source>
        <translation>Датский (da_DK)</translation>
    </message>
    <message>
        <source>German (de_DE)</source>
        <translation>Немецкий (de_DE)</translation>
    </message>
    <message>
        <source>German (de_CH)</source>
        <translation>Немецкий (de_CH)</translation>
    </message>
    <message>
        <source>German (de_AT)</source>
        <translation>Немецкий (de_AT)</translation>
    </message>
    <message>
        <source>English (en_AU)</source>
        <translation>Английский (en_AU)</translation>
    </message>
    <message>
        <source>English (en_GB)</source>
        <translation>Английский (en_GB)</translation>
    </message>
    <message>
        <source>English (en_IE)</source>
        <translation>Английский (en_IE)</translation>
    </message>
    <message>
        <source>English (en_US)</source>
        <translation>Английский (en_US)</translation>
    </message>
    <message>
        <source>French (fr_CH)</source>
        <translation>Французский (fr_CH)</translation>
    </message>
    <message>
        <source>French (fr_FR)</source>
        <translation>Французский (fr_FR)</translation>
    </message>
    <message>
        <source>Hungarian (hu_HU)</source>
        <translation>Венгерский (hu_HU)</translation>
    </message>
    <message>
        <source>Lithuanian (lt_LT)</source>
        <translation>Литовский (lt_LT)</translation>
    </message>
    <message>
        <source>Norwegian (nb_NO)</source>
        <translation>Норвежский (nb_NO)</translation>
    </message>
    <message>
        <source>Polish (pl_PL)</source>
        <translation>Польский (pl_PL)</translation>
    </message>
    <message>
        <source>Russian (ru_RU)</source>
        <translation>Русский (ru_RU)</translation>
    </message>
    <message>
        <source>Slovak (sk_SK)</source>
        <translation>Словацкий (sk_SK)</translation>
    </message>
    <message>
        <source>Slovenian (sl_SI)</source>
        <translation>Словенский (sl_SI)</translation>
    </message>
    <message>
        <source>Turkish (tr_TR)</source>
        <translation>Турецкий (tr_TR)</translation>
    </message>
    <message>
        <source>Authority password invalid. Continue anyway?</source>
        <translation>Неверный пароль уполномоченного органа. Всё равно продолжить?</translation>
    </message>
    <message>
        <source>Yes</source>
        <translation>Да</translation>
    </message>
    <message>
        <source>No</source>
        <translation>Нет</translation>
    </message>
    <message>
        <source>Open VORN Analysis Package</source>
        <translation>Открыть пакет анализа VORN</translation>
    </message>
    <message>
        <source>VORN Analysis Packages (*.pkg)</source>
        <translation>Пакеты анализа VORN (*.pkg)</translation>
    </message>
    <message>
        <source>This is not a valid VORN package file!</source>
        <translation>Это не допустимый файл пакета VORN!</translation>
    </message>
    <message>
        <source>This package is not compatible with this version of VORN Viewer. Try opening this package with an earlier version of VORN Viewer.</source>
        <translation>Этот пакет несовместим с данной версией VORN Viewer. Попробуйте открыть его более ранней версией VORN Viewer.</translation>
    </message>
    <message>
        <source>This package is not compatible with this version of VORN Viewer. Try opening this package with an newer version of VORN Viewer.</source>
        <translation>Этот пакет несовместим с данной версией VORN Viewer. Попробуйте открыть его более новой версией VORN Viewer.</translation>
    </message>
    <message>
        <source>Package could not be opened (Generic error)</source>
        <translation>Не удалось открыть пакет (общая ошибка)</translation>
    </message>
    <message>
        <source>Password invalid</source>
        <translation>Неверный пароль</translation>
    </message>
    <message>
        <source>Cannot authenticate user</source>
        <translation>Не удалось проверить подлинность пользователя</translation>
    </message>
    <message>
        <source>Username invalid</source>
        <translation>Неверное имя пользователя</translation>
    </message>
    <message>
        <source>Error decoding package</source>
        <translation>Ошибка декодирования пакета</translation>
    </message>
    <message>
        <source>VORN Viewer  |  %1</source>
        <translation>VORN Viewer  |  %1</translation>
    </message>
    <message>
        <source>This package contains</source>
        <translation>Этот пакет содержит</translation>
    </message>
    <message>
        <source>expired calls</source>
        <translation>звонков с истёкшим сроком хранения</translation>
    </message>
    <message>
        <source>and</source>
        <translation>и</translation>
    </message>
    <message>
        <source>calls with expired media</source>
        <translation>звонков с истёкшим сроком хранения записей</translation>
    </message>
    <message>
        <source>Time verification progress...</source>
        <translation>Выполняется проверка времени...</translation>
    </message>
    <message>
        <source>Waiting for </source>
        <translation>Ожидание </translation>
    </message>
    <message>
        <source>Time verification failed</source>
        <translation>Проверка времени не удалась</translation>
    </message>
    <message>
        <source>Please enter a valid URL to verify time:</source>
        <translation>Введите действительный URL для проверки времени:</translation>
    </message>
    <message>
        <source>Save Review</source>
        <translation>Сохранить проверку</translation>
    </message>
    <message>
        <source>Open Review</source>
        <translation>Открыть проверку</translation>
    </message>
    <message>
        <source>Export Report</source>
        <translation>Экспорт отчёта</translation>
    </message>
    <message>
        <source>Save review?</source>
        <translation>Сохранить проверку?</translation>
    </message>
    <message>
        <source>The notes of this review have not been saved.</source>
        <translation>Заметки этой проверки не сохранены.</translation>
    </message>
    <message>
        <source>Save</source>
        <translation>Сохранить</translation>
    </message>
    <message>
        <source>Discard</source>
        <translation>Не сохранять</translation>
    </message>
    <message>
        <source>Cancel</source>
        <translation>Отмена</translation>
    </message>
    <message>
        <source>Review files (*.review.json *.json)</source>
        <translation>Файлы проверки (*.review.json *.json)</translation>
    </message>
    <message>
        <source>The review could not be saved: %1</source>
        <translation>Не удалось сохранить проверку: %1</translation>
    </message>
    <message>
        <source>The review could not be opened: %1</source>
        <translation>Не удалось открыть проверку: %1</translation>
    </message>
    <message>
        <source>This review was made for another package. The notes of calls found in this package are shown; the others are kept and saved with the review.</source>
        <translation>Эта проверка сделана для другого пакета. Показаны заметки к звонкам из этого пакета; остальные сохраняются в памяти и записываются вместе с проверкой.</translation>
    </message>
    <message>
        <source>PDF report (*.pdf)</source>
        <translation>Отчёт PDF (*.pdf)</translation>
    </message>
    <message>
        <source>CSV table (*.csv)</source>
        <translation>Таблица CSV (*.csv)</translation>
    </message>
    <message>
        <source>The report could not be written: %1</source>
        <translation>Не удалось записать отчёт: %1</translation>
    </message>
    <message>
        <source>Export Recordings</source>
        <translation>Экспорт записей</translation>
    </message>
</context>
</TS>
