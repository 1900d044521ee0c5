<?xml version="1.0" encoding="utf-8"?>
<!DOCTYPE TS>
<TS version="2.1" language="en_US">
<context>
    <name>AudioPlayer</name>
    <message>
        <source>&lt;p&gt;Could not open wvc file.</source>
        <translation>&lt;p&gt;Could not open wvc file.</translation>
    </message>
    <message>
        <source>&lt;p&gt;Could not open wav file.</source>
        <translation>&lt;p&gt;Could not open wav file.</translation>
    </message>
    <message>
        <source>&lt;p&gt;Device to play audio not found.</source>
        <translation>&lt;p&gt;Device to play audio not found.</translation>
    </message>
    <message>
        <source>Error</source>
        <translation>Error</translation>
    </message>
    <message>
        <source>Save File</source>
        <translation>Save File</translation>
    </message>
    <message>
        <source>&lt;p&gt;Not able to open file in selected directory</source>
        <translation>&lt;p&gt;Not able to open file in selected directory</translation>
    </message>
    <message>
        <source>Downloading...</source>
        <translation>Downloading...</translation>
    </message>
    <message>
        <source>Cancel</source>
        <translation>Cancel</translation>
    </message>
    <message>
        <source>&lt;p&gt;Could not write to file</source>
        <translation>&lt;p&gt;Could not write to file</translation>
    </message>
    <message>
        <source>&lt;p&gt;File not found in package</source>
        <translation>&lt;p&gt;File not found in package</translation>
    </message>
    <message>
        <source>&lt;p&gt;The sound device stopped working. Playback has ended.</source>
        <translation>&lt;p&gt;The sound device stopped working. Playback has ended.</translation>
    </message>
    <message>
        <source>&lt;p&gt;Could not read from the package: the package file has changed or is no longer available.</source>
        <translation>&lt;p&gt;Could not read from the package: the package file has changed or is no longer available.</translation>
    </message>
</context>
<context>
    <name>BatchExport</name>
    <message>
        <source>Recordings written: %1</source>
        <translation>Recordings written: %1</translation>
    </message>
    <message>
        <source>Skipped %1: %2</source>
        <translation>Skipped %1: %2</translation>
    </message>
    <message>
        <source>The export was cancelled.</source>
        <translation>The export was cancelled.</translation>
    </message>
    <message>
        <source>the call has expired</source>
        <translation>the call has expired</translation>
    </message>
    <message>
        <source>the call is not in this package</source>
        <translation>the call is not in this package</translation>
    </message>
    <message>
        <source>the recording has expired</source>
        <translation>the recording has expired</translation>
    </message>
    <message>
        <source>the call has no recording</source>
        <translation>the call has no recording</translation>
    </message>
    <message>
        <source>The folder %1 does not exist.</source>
        <translation>The folder %1 does not exist.</translation>
    </message>
    <message>
        <source>These files exist already: %1</source>
        <translation>These files exist already: %1</translation>
    </message>
    <message>
        <source>Could not write %1: %2</source>
        <translation>Could not write %1: %2</translation>
    </message>
    <message>
        <source>the recording could not be read</source>
        <translation>the recording could not be read</translation>
    </message>
</context>
<context>
    <name>InputDialog</name>
    <message>
        <source>Please enter user name and password</source>
        <translation>Please enter user name and password</translation>
    </message>
    <message>
        <source>Username:</source>
        <translation>Username:</translation>
    </message>
    <message>
        <source>Password:</source>
        <translation>Password:</translation>
    </message>
    <message>
        <source>Authority password (optional):</source>
        <translation>Authority password (optional):</translation>
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
        <translation>Export Recordings</translation>
    </message>
    <message>
        <source>There are no reviewed calls to export.</source>
        <translation>There are no reviewed calls to export.</translation>
    </message>
    <message>
        <source>Choose the folder for the recordings</source>
        <translation>Choose the folder for the recordings</translation>
    </message>
    <message>
        <source>These files exist in the folder already:
%1

Replace them?</source>
        <translation>These files exist in the folder already:
%1

Replace them?</translation>
    </message>
    <message>
        <source>Exporting recordings...</source>
        <translation>Exporting recordings...</translation>
    </message>
    <message>
        <source>Cancel</source>
        <translation>Cancel</translation>
    </message>
</context>
<context>
    <name>ReportPrinter</name>
    <message>
        <source>The report could not be laid out.</source>
        <translation>The report could not be laid out.</translation>
    </message>
</context>
<context>
    <name>ReviewDocument</name>
    <message>
        <source>The review file is damaged (byte %1).</source>
        <translation>The review file is damaged (byte %1).</translation>
    </message>
    <message>
        <source>The file is not a review file.</source>
        <translation>The file is not a review file.</translation>
    </message>
    <message>
        <source>The review file has version %1; this viewer reads version %2.</source>
        <translation>The review file has version %1; this viewer reads version %2.</translation>
    </message>
    <message>
        <source>The review file is damaged.</source>
        <translation>The review file is damaged.</translation>
    </message>
    <message>
        <source>The review file is damaged (call %1).</source>
        <translation>The review file is damaged (call %1).</translation>
    </message>
    <message>
        <source>The review file cannot be read: %1</source>
        <translation>The review file cannot be read: %1</translation>
    </message>
    <message>
        <source>%1 is not a regular file.</source>
        <translation>%1 is not a regular file.</translation>
    </message>
    <message>
        <source>%1 cannot be written: %2</source>
        <translation>%1 cannot be written: %2</translation>
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
        <translation>Click and select a &quot;*.pkg&quot; file. If the package is encrypted, you will be prompted to enter a username and a password.</translation>
    </message>
    <message>
        <source>Once the package is opened, you can navigate through the calls by clicking the available tabs and play audio content in the integrated audio player.</source>
        <translation>Once the package is opened, you can navigate through the calls by clicking the available tabs and play audio content in the integrated audio player.</translation>
    </message>
    <message>
        <source>Home (Ctrl+H)</source>
        <translation>Home (Ctrl+H)</translation>
    </message>
    <message>
        <source>Open package (Ctrl+O)</source>
        <translation>Open package (Ctrl+O)</translation>
    </message>
    <message>
        <source>Authority override</source>
        <translation>Authority override</translation>
    </message>
    <message>
        <source>Zoom in (Ctrl++)</source>
        <translation>Zoom in (Ctrl++)</translation>
    </message>
    <message>
        <source>Zoom out (Ctrl+-)</source>
        <translation>Zoom out (Ctrl+-)</translation>
    </message>
    <message>
        <source>About</source>
        <translation>About</translation>
    </message>
    <message>
        <source>Main toolbar</source>
        <translation>Main toolbar</translation>
    </message>
    <message>
        <source>Version %1</source>
        <translation>Version %1</translation>
    </message>
    <message>
        <source>About VORN Viewer</source>
        <translation>About VORN Viewer</translation>
    </message>
    <message>
        <source>Authority password</source>
        <translation>Authority password</translation>
    </message>
    <message>
        <source>Please enter the password for authority access:</source>
        <translation>Please enter the password for authority access:</translation>
    </message>
    <message>
        <source>Invalid password</source>
        <translation>Invalid password</translation>
    </message>
    <message>
        <source>The password did not match!</source>
        <translation>The password did not match!</translation>
    </message>
    <message>
        <source>Authority override activated</source>
        <translation>Authority override activated</translation>
    </message>
    <message>
        <source>Arabic (ar_SA)</source>
        <translation>Arabic (ar_SA)</translation>
    </message>
    <message>
        <source>Danish (da_DK)</source>
        <translation>Danish (da_DK)</translation>
    </message>
    <message>
        <source>German (de_DE)</source>
        <translation>German (de_DE)</translation>
    </message>
    <message>
        <source>German (de_CH)</source>
        <translation>German (de_CH)</translation>
    </message>
    <message>
        <source>German (de_AT)</source>
        <translation>German (de_AT)</translation>
    </message>
    <message>
        <source>English (en_AU)</source>
        <translation>English (en_AU)</translation>
    </message>
    <message>
        <source>English (en_GB)</source>
        <translation>English (en_GB)</translation>
    </message>
    <message>
        <source>English (en_IE)</source>
        <translation>English (en_IE)</translation>
    </message>
    <message>
        <source>English (en_US)</source>
        <translation>English (en_US)</translation>
    </message>
    <message>
        <source>French (fr_CH)</source>
        <translation>French (fr_CH)</translation>
    </message>
    <message>
        <source>French (fr_FR)</source>
        <translation>French (fr_FR)</translation>
    </message>
    <message>
        <source>Hungarian (hu_HU)</source>
        <translation>Hungarian (hu_HU)</translation>
    </message>
    <message>
        <source>Lithuanian (lt_LT)</source>
        <translation>Lithuanian (lt_LT)</translation>
    </message>
    <message>
        <source>Norwegian (nb_NO)</source>
        <translation>Norwegian (nb_NO)</translation>
    </message>
    <message>
        <source>Polish (pl_PL)</source>
        <translation>Polish (pl_PL)</translation>
    </message>
    <message>
        <source>Russian (ru_RU)</source>
        <translation>Russian (ru_RU)</translation>
    </message>
    <message>
        <source>Slovak (sk_SK)</source>
        <translation>Slovak (sk_SK)</translation>
    </message>
    <message>
        <source>Slovenian (sl_SI)</source>
        <translation>Slovenian (sl_SI)</translation>
    </message>
    <message>
        <source>Turkish (tr_TR)</source>
        <translation>Turkish (tr_TR)</translation>
    </message>
    <message>
        <source>Authority password invalid. Continue anyway?</source>
        <translation>Authority password invalid. Continue anyway?</translation>
    </message>
    <message>
        <source>Yes</source>
        <translation>Yes</translation>
    </message>
    <message>
        <source>No</source>
        <translation>No</translation>
    </message>
    <message>
        <source>Open VORN Analysis Package</source>
        <translation>Open VORN Analyzis Package</translation>
    </message>
    <message>
        <source>VORN Analysis Packages (*.pkg)</source>
        <translation>VORN Analyzis Packages (*.pkg)</translation>
    </message>
    <message>
        <source>This is not a valid VORN package file!</source>
        <translation>This is not a valid VORN package file!</translation>
    </message>
    <message>
        <source>This package is not compatible with this version of VORN Viewer. Try opening this package with an earlier version of VORN Viewer.</source>
        <translation>This package is not compatible with this version of VORN Viewer. Try opening this package with an earlier version of VORN Viewer.</translation>
    </message>
    <message>
        <source>This package is not compatible with this version of VORN Viewer. Try opening this package with an newer version of VORN Viewer.</source>
        <translation>This package is not compatible with this version of VORN Viewer. Try opening this package with an newer version of VORN Viewer.</translation>
    </message>
    <message>
        <source>Package could not be opened (Generic error)</source>
        <translation>Package could not be opened (Generic error)</translation>
    </message>
    <message>
        <source>Password invalid</source>
        <translation>Password invalid</translation>
    </message>
    <message>
        <source>Cannot authenticate user</source>
        <translation>Cannot authenticate user</translation>
    </message>
    <message>
        <source>Username invalid</source>
        <translation>Username invalid</translation>
    </message>
    <message>
        <source>Error decoding package</source>
        <translation>Error decoding package</translation>
    </message>
    <message>
        <source>VORN Viewer  |  %1</source>
        <translation>VORN Viewer  |  %1</translation>
    </message>
    <message>
        <source>This package contains</source>
        <translation>This package contains</translation>
    </message>
    <message>
        <source>expired calls</source>
        <translation>expired calls</translation>
    </message>
    <message>
        <source>and</source>
        <translation>and</translation>
    </message>
    <message>
        <source>calls with expired media</source>
        <translation>calls with expired media</translation>
    </message>
    <message>
        <source>Time verification progress...</source>
        <translation>Time verification progress...</translation>
    </message>
    <message>
        <source>Waiting for </source>
        <translation>Waiting for </translation>
    </message>
    <message>
        <source>Time verification failed</source>
        <translation>Time verification failed</translation>
    </message>
    <message>
        <source>Please enter a valid URL to verify time:</source>
        <translation>Please enter a valid URL to verify time:</translation>
    </message>
    <message>
        <source>Save Review</source>
        <translation>Save Review</translation>
    </message>
    <message>
        <source>Open Review</source>
        <translation>Open Review</translation>
    </message>
    <message>
        <source>Export Report</source>
        <translation>Export Report</translation>
    </message>
    <message>
        <source>Save review?</source>
        <translation>Save review?</translation>
    </message>
    <message>
        <source>The notes of this review have not been saved.</source>
        <translation>The notes of this review have not been saved.</translation>
    </message>
    <message>
        <source>Save</source>
        <translation>Save</translation>
    </message>
    <message>
        <source>Discard</source>
        <translation>Discard</translation>
    </message>
    <message>
        <source>Cancel</source>
        <translation>Cancel</translation>
    </message>
    <message>
        <source>Review files (*.review.json *.json)</source>
        <translation>Review files (*.review.json *.json)</translation>
    </message>
    <message>
        <source>The review could not be saved: %1</source>
        <translation>The review could not be saved: %1</translation>
    </message>
    <message>
        <source>The review could not be opened: %1</source>
        <translation>The review could not be opened: %1</translation>
    </message>
    <message>
        <source>This review was made for another package. The notes of calls found in this package are shown; the others are kept and saved with the review.</source>
        <translation>This review was made for another package. The notes of calls found in this package are shown; the others are kept and saved with the review.</translation>
    </message>
    <message>
        <source>PDF report (*.pdf)</source>
        <translation>PDF report (*.pdf)</translation>
    </message>
    <message>
        <source>CSV table (*.csv)</source>
        <translation>CSV table (*.csv)</translation>
    </message>
    <message>
        <source>The report could not be written: %1</source>
        <translation>The report could not be written: %1</translation>
    </message>
    <message>
        <source>Export Recordings</source>
        <translation>Export Recordings</translation>
    </message>
</context>
</TS>
