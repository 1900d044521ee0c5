<?xml version="1.0" encoding="utf-8"?>
<!DOCTYPE TS>
<TS version="2.1" language="ar_SA">
<context>
    <name>AudioPlayer</name>
    <message>
        <source>&lt;p&gt;Could not open wvc file.</source>
        <translation>&lt;p&gt;تعذر فتح ملف wvc.</translation>
    </message>
    <message>
        <source>&lt;p&gt;Could not open wav file.</source>
        <translation>&lt;p&gt;تعذر فتح ملف wav.</translation>
    </message>
    <message>
        <source>&lt;p&gt;Device to play audio not found.</source>
        <translation>&lt;p&gt;لم يُعثر على جهاز لتشغيل الصوت.</translation>
    </message>
    <message>
        <source>Error</source>
        <translation>خطأ</translation>
    </message>
    <message>
        <source>Save File</source>
        <translation>حفظ الملف</translation>
    </message>
    <message>
        <source>&lt;p&gt;Not able to open file in selected directory</source>
        <translation>&lt;p&gt;تعذر فتح الملف في المجلد المحدد</translation>
    </message>
    <message>
        <source>Downloading...</source>
        <translation>جارٍ التنزيل...</translation>
    </message>
    <message>
        <source>Cancel</source>
        <translation>إلغاء</translation>
    </message>
    <message>
        <source>&lt;p&gt;Could not write to file</source>
        <translation>&lt;p&gt;تعذرت الكتابة إلى الملف</translation>
    </message>
    <message>
        <source>&lt;p&gt;File not found in package</source>
        <translation>&lt;p&gt;لم يُعثر على الملف في الحزمة</translation>
    </message>
    <message>
        <source>&lt;p&gt;The sound device stopped working. Playback has ended.</source>
        <translation>&lt;p&gt;توقف جهاز الصوت عن العمل. انتهى التشغيل.</translation>
    </message>
    <message>
        <source>&lt;p&gt;Could not read from the package: the package file has changed or is no longer available.</source>
        <translation>&lt;p&gt;تعذّرت القراءة من الحزمة: تم تغيير ملف الحزمة أو لم يعد متاحًا.</translation>
    </message>
</context>
<context>
    <name>BatchExport</name>
    <message>
        <source>Recordings written: %1</source>
        <translation>التسجيلات المكتوبة: %1</translation>
    </message>
    <message>
        <source>Skipped %1: %2</source>
        <translation>تم تخطي %1: %2</translation>
    </message>
    <message>
        <source>The export was cancelled.</source>
        <translation>تم إلغاء التصدير.</translation>
    </message>
    <message>
        <source>the call has expired</source>
        <translation>انتهت مدة الاحتفاظ بالمكالمة</translation>
    </message>
    <message>
        <source>the call is not in this package</source>
        <translation>المكالمة ليست في هذه الحزمة</translation>
    </message>
    <message>
        <source>the recording has expired</source>
        <translation>انتهت مدة الاحتفاظ بالتسجيل</translation>
    </message>
    <message>
        <source>the call has no recording</source>
        <translation>لا يوجد تسجيل للمكالمة</translation>
    </message>
    <message>
        <source>The folder %1 does not exist.</source>
        <translation>المجلد %1 غير موجود.</translation>
    </message>
    <message>
        <source>These files exist already: %1</source>
        <translation>هذه الملفات موجودة بالفعل: %1</translation>
    </message>
    <message>
        <source>Could not write %1: %2</source>
        <translation>تعذرت كتابة %1: %2</translation>
    </message>
    <message>
        <source>the recording could not be read</source>
        <translation>تعذرت قراءة التسجيل</translation>
    </message>
</context>
<context>
    <name>InputDialog</name>
    <message>
        <source>Please enter user name and password</source>
        <translation>يرجى إدخال اسم المستخدم وكلمة المرور</translation>
    </message>
    <message>
        <source>Username:</source>
        <translation>اسم المستخدم:</translation>
    </message>
    <message>
        <source>Password:</source>
        <translation>كلمة المرور:</translation>
    </message>
    <message>
        <source>Authority password (optional):</source>
        <translation>كلمة مرور الجهة المختصة (اختياري):</translation>
    </message>
</context>
<context>
    <name>QGuiApplication</name>
    <message>
        <source>QT_LAYOUT_DIRECTION</source>
        <translation>RTL</translation>
    </message>
</context>
<context>
    <name>RecordingExportFlow</name>
    <message>
        <source>Export Recordings</source>
        <translation>تصدير التسجيلات</translation>
    </message>
    <message>
        <source>There are no reviewed calls to export.</source>
        <translation>لا توجد مكالمات تمت مراجعتها للتصدير.</translation>
    </message>
    <message>
        <source>Choose the folder for the recordings</source>
        <translation>اختر المجلد للتسجيلات</translation>
    </message>
    <message>
        <source>These files exist in the folder already:
%1

Replace them?</source>
        <translation>هذه الملفات موجودة في المجلد بالفعل:
%1

هل تريد استبدالها؟</translation>
    </message>
    <message>
        <source>Exporting recordings...</source>
        <translation>جارٍ تصدير التسجيلات...</translation>
    </message>
    <message>
        <source>Cancel</source>
        <translation>إلغاء</translation>
    </message>
</context>
<context>
    <name>ReportPrinter</name>
    <message>
        <source>The report could not be laid out.</source>
        <translation>تعذّر تنسيق التقرير.</translation>
    </message>
</context>
<context>
    <name>ReviewDocument</name>
    <message>
        <source>The review file is damaged (byte %1).</source>
        <translation>ملف المراجعة تالف (البايت %1).</translation>
    </message>
    <message>
        <source>The file is not a review file.</source>
        <translation>هذا الملف ليس ملف مراجعة.</translation>
    </message>
    <message>
        <source>The review file has version %1; this viewer reads version %2.</source>
        <translation>إصدار ملف المراجعة %1، وهذا العارض يقرأ الإصدار %2.</translation>
    </message>
    <message>
        <source>The review file is damaged.</source>
        <translation>ملف المراجعة تالف.</translation>
    </message>
    <message>
        <source>The review file is damaged (call %1).</source>
        <translation>ملف المراجعة تالف (المكالمة %1).</translation>
    </message>
    <message>
        <source>The review file cannot be read: %1</source>
        <translation>تعذّرت قراءة ملف المراجعة: %1</translation>
    </message>
    <message>
        <source>%1 is not a regular file.</source>
        <translation>%1 ليس ملفًا عاديًا.</translation>
    </message>
    <message>
        <source>%1 cannot be written: %2</source>
        <translation>تعذّرت كتابة %1: %2</translation>
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
        <translation>انقر واختر ملفًا &quot;*.pkg&quot;. إذا كانت الحزمة مشفرة، فسيُطلب منك إدخال اسم مستخدم وكلمة مرور.</translation>
    </message>
    <message>
        <source>Once the package is opened, you can navigate through the calls by clicking the available tabs and play audio content in the integrated audio player.</source>
        <translation>بعد فتح الحزمة، يمكنك التنقل بين المكالمات بالنقر على علامات التبويب المتاحة وتشغيل التسجيلات الصوتية في مشغل الصوت المدمج.</translation>
    </message>
    <message>
        <source>Home (Ctrl+H)</source>
        <translation>الصفحة الرئيسية (Ctrl+H)</translation>
    </message>
    <message>
        <source>Open package (Ctrl+O)</source>
        <translation>فتح حزمة (Ctrl+O)</translation>
    </message>
    <message>
        <source>Authority override</source>
        <translation>وصول الجهة المختصة</translation>
    </message>
    <message>
        <source>Zoom in (Ctrl++)</source>
        <translation>تكبير (Ctrl++)</translation>
    </message>
    <message>
        <source>Zoom out (Ctrl+-)</source>
        <translation>تصغير (Ctrl+-)</translation>
    </message>
    <message>
        <source>About</source>
        <translation>حول</translation>
    </message>
    <message>
        <source>Main toolbar</source>
        <translation>شريط الأدوات الرئيسي</translation>
    </message>
    <message>
        <source>Version %1</source>
        <translation>الإصدار %1</translation>
    </message>
    <message>
        <source>About VORN Viewer</source>
        <translation>حول VORN Viewer</translation>
    </message>
    <message>
        <source>Authority password</source>
        <translation>كلمة مرور الجهة المختصة</translation>
    </message>
    <message>
        <source>Please enter the password for authority access:</source>
        <translation>يرجى إدخال كلمة مرور وصول الجهة المختصة:</translation>
    </message>
    <message>
        <source>Invalid password</source>
        <translation>كلمة مرور غير صالحة</translation>
    </message>
    <message>
        <source>The password did not match!</source>
        <translation>كلمة المرور غير مطابقة!</translation>
    </message>
    <message>
        <source>Authority override activated</source>
        <translation>تم تفعيل وصول الجهة المختصة</translation>
    </message>
    <message>
        <source>Arabic (ar_SA)</source>
        <translation>العربية (ar_SA)</translation>
    </message>
    <message>
        <source>Danish (da_DK)</source>
        <translation>الدانماركية (da_DK)</translation>
    </message>
    <message>
        <source>German (de_DE)</source>
        <translation>الألمانية (de_DE)</translation>
    </message>
    <message>
        <source>German (de_CH)</source>
        <translation>الألمانية (de_CH)</translation>
    </message>
    <message>
        <source>German (de_AT)</source>
        <translation>الألمانية (de_AT)</translation>
    </message>
    <message>
        <source>English (en_AU)</source>
        <translation>الإنجليزية (en_AU)</translation>
    </message>
    <message>
        <source>English (en_GB)</source>
        <translation>الإنجليزية (en_GB)</translation>
    </message>
    <message>
        <source>English (en_IE)</source>
        <translation>الإنجليزية (en_IE)</translation>
    </message>
    <message>
        <source>English (en_US)</source>
        <translation>الإنجليزية (en_US)</translation>
    </message>
    <message>
        <source>French (fr_CH)</source>
        <translation>الفرنسية (fr_CH)</translation>
    </message>
    <message>
        <source>French (fr_FR)</source>
        <translation>الفرنسية (fr_FR)</translation>
    </message>
    <message>
        <source>Hungarian (hu_HU)</source>
        <translation>المجرية (hu_HU)</translation>
    </message>
    <message>
        <source>Lithuanian (lt_LT)</source>
        <translation>الليتوانية (lt_LT)</translation>
    </message>
    <message>
        <source>Norwegian (nb_NO)</source>
        <translation>النرويجية (nb_NO)</translation>
    </message>
    <message>
        <source>Polish (pl_PL)</source>
        <translation>البولندية (pl_PL)</translation>
    </message>
    <message>
        <source>Russian (ru_RU)</source>
        <translation>الروسية (ru_RU)</translation>
    </message>
    <message>
        <source>Slovak (sk_SK)</source>
        <translation>السلوفاكية (sk_SK)</translation>
    </message>
    <message>
        <source>Slovenian (sl_SI)</source>
        <translation>السلوفينية (sl_SI)</translation>
    </message>
    <message>
        <source>Turkish (tr_TR)</source>
        <translation>التركية (tr_TR)</translation>
    </message>
    <message>
        <source>Authority password invalid. Continue anyway?</source>
        <translation>كلمة مرور الجهة المختصة غير صالحة. هل تريد المتابعة على أي حال؟</translation>
    </message>
    <message>
        <source>Yes</source>
        <translation>نعم</translation>
    </message>
    <message>
        <source>No</source>
        <translation>لا</translation>
    </message>
    <message>
        <source>Open VORN Analysis Package</source>
        <translation>فتح حزمة تحليل VORN</translation>
    </message>
    <message>
        <source>VORN Analysis Packages (*.pkg)</source>
        <translation>حزم تحليل VORN (*.pkg)</translation>
    </message>
    <message>
        <source>This is not a valid VORN package file!</source>
        <translation>هذا ليس ملف حزمة VORN صالحًا!</translation>
    </message>
    <message>
        <source>This package is not compatible with this version of VORN Viewer. Try opening this package with an earlier version of VORN Viewer.</source>
        <translation>هذه الحزمة غير متوافقة مع هذا الإصدار من VORN Viewer. حاول فتحها بإصدار أقدم من VORN Viewer.</translation>
    </message>
    <message>
        <source>This package is not compatible with this version of VORN Viewer. Try opening this package with an newer version of VORN Viewer.</source>
        <translation>هذه الحزمة غير متوافقة مع هذا الإصدار من VORN Viewer. حاول فتحها بإصدار أحدث من VORN Viewer.</translation>
    </message>
    <message>
        <source>Package could not be opened (Generic error)</source>
        <translation>تعذر فتح الحزمة (خطأ عام)</translation>
    </message>
    <message>
        <source>Password invalid</source>
        <translation>كلمة المرور غير صالحة</translation>
    </message>
    <message>
        <source>Cannot authenticate user</source>
        <translation>تعذرت مصادقة المستخدم</translation>
    </message>
    <message>
        <source>Username invalid</source>
        <translation>اسم المستخدم غير صالح</translation>
    </message>
    <message>
        <source>Error decoding package</source>
        <translation>خطأ في فك ترميز الحزمة</translation>
    </message>
    <message>
        <source>VORN Viewer  |  %1</source>
        <translation>VORN Viewer  |  %1</translation>
    </message>
    <message>
        <source>This package contains</source>
        <translation>تحتوي هذه الحزمة على</translation>
    </message>
    <message>
        <source>expired calls</source>
        <translation>مكالمات منتهية الصلاحية</translation>
    </message>
    <message>
        <source>and</source>
        <translation>و</translation>
    </message>
    <message>
        <source>calls with expired media</source>
        <translation>مكالمات انتهت صلاحية تسجيلاتها</translation>
    </message>
    <message>
        <source>Time verification progress...</source>
        <translation>جارٍ التحقق من الوقت...</translation>
    </message>
    <message>
        <source>Waiting for </source>
        <translation>في انتظار </translation>
    </message>
    <message>
        <source>Time verification failed</source>
        <translation>فشل التحقق من الوقت</translation>
    </message>
    <message>
        <source>Please enter a valid URL to verify time:</source>
        <translation>يرجى إدخال عنوان URL صالح للتحقق من الوقت:</translation>
    </message>
    <message>
        <source>Save Review</source>
        <translation>حفظ المراجعة</translation>
    </message>
    <message>
        <source>Open Review</source>
        <translation>فتح المراجعة</translation>
    </message>
    <message>
        <source>Export Report</source>
        <translation>تصدير التقرير</translation>
    </message>
    <message>
        <source>Save review?</source>
        <translation>حفظ المراجعة؟</translation>
    </message>
    <message>
        <source>The notes of this review have not been saved.</source>
        <translation>لم تُحفظ ملاحظات هذه المراجعة.</translation>
    </message>
    <message>
        <source>Save</source>
        <translation>حفظ</translation>
    </message>
    <message>
        <source>Discard</source>
        <translation>تجاهل</translation>
    </message>
    <message>
        <source>Cancel</source>
        <translation>إلغاء</translation>
    </message>
    <message>
        <source>Review files (*.review.json *.json)</source>
        <translation>ملفات المراجعة (*.review.json *.json)</translation>
    </message>
    <message>
        <source>The review could not be saved: %1</source>
        <translation>تعذّر حفظ المراجعة: %1</translation>
    </message>
    <message>
        <source>The review could not be opened: %1</source>
        <translation>تعذّر فتح المراجعة: %1</translation>
    </message>
    <message>
        <source>This review was made for another package. The notes of calls found in this package are shown; the others are kept and saved with the review.</source>
        <translation>أُعدّت هذه المراجعة لحزمة أخرى. تُعرض ملاحظات المكالمات الموجودة في هذه الحزمة، وتُحفظ البقية وتُكتب مع المراجعة.</translation>
    </message>
    <message>
        <source>PDF report (*.pdf)</source>
        <translation>تقرير PDF (*.pdf)</translation>
    </message>
    <message>
        <source>CSV table (*.csv)</source>
        <translation>جدول CSV (*.csv)</translation>
    </message>
    <message>
        <source>The report could not be written: %1</source>
        <translation>تعذّرت كتابة التقرير: %1</translation>
    </message>
    <message>
        <source>Export Recordings</source>
        <translation>تصدير التسجيلات</translation>
    </message>
</context>
</TS>
