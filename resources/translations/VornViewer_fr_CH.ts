<?xml version="1.0" encoding="utf-8"?>
<!DOCTYPE TS>
<TS version="2.1" language="fr_CH">
<context>
    <name>AudioPlayer</name>
    <message>
        <source>&lt;p&gt;Could not open wvc file.</source>
        <translation>&lt;p&gt;Impossible d&apos;ouvrir le fichier WVC.</translation>
    </message>
    <message>
        <source>&lt;p&gt;Could not open wav file.</source>
        <translation>&lt;p&gt;Impossible d&apos;ouvrir le fichier WAV.</translation>
    </message>
    <message>
        <source>&lt;p&gt;Device to play audio not found.</source>
        <translation>&lt;p&gt;Aucun périphérique de lecture audio trouvé.</translation>
    </message>
    <message>
        <source>Error</source>
        <translation>Erreur</translation>
    </message>
    <message>
        <source>Save File</source>
        <translation>Enregistrer le fichier</translation>
    </message>
    <message>
        <source>&lt;p&gt;Not able to open file in selected directory</source>
        <translation>&lt;p&gt;Impossible d&apos;ouvrir le fichier dans le dossier choisi</translation>
    </message>
    <message>
        <source>Downloading...</source>
        <translation>Téléchargement...</translation>
    </message>
    <message>
        <source>Cancel</source>
        <translation>Annuler</translation>
    </message>
    <message>
        <source>&lt;p&gt;Could not write to file</source>
        <translation>&lt;p&gt;Impossible d&apos;écrire dans le fichier</translation>
    </message>
    <message>
        <source>&lt;p&gt;File not found in package</source>
        <translation>&lt;p&gt;Fichier introuvable dans le paquet</translation>
    </message>
    <message>
        <source>&lt;p&gt;The sound device stopped working. Playback has ended.</source>
        <translation>&lt;p&gt;Le périphérique audio a cessé de fonctionner. La lecture est terminée.</translation>
    </message>
    <message>
        <source>&lt;p&gt;Could not read from the package: the package file has changed or is no longer available.</source>
        <translation>&lt;p&gt;Impossible de lire le paquet : le fichier du paquet a été modifié ou n’est plus disponible.</translation>
    </message>
</context>
<context>
    <name>BatchExport</name>
    <message>
        <source>Recordings written: %1</source>
        <translation>Enregistrements écrits : %1</translation>
    </message>
    <message>
        <source>Skipped %1: %2</source>
        <translation>Ignoré %1 : %2</translation>
    </message>
    <message>
        <source>The export was cancelled.</source>
        <translation>L’exportation a été annulée.</translation>
    </message>
    <message>
        <source>the call has expired</source>
        <translation>l’appel a expiré</translation>
    </message>
    <message>
        <source>the call is not in this package</source>
        <translation>l’appel n’est pas dans ce paquet</translation>
    </message>
    <message>
        <source>the recording has expired</source>
        <translation>l’enregistrement a expiré</translation>
    </message>
    <message>
        <source>the call has no recording</source>
        <translation>l’appel n’a pas d’enregistrement</translation>
    </message>
    <message>
        <source>The folder %1 does not exist.</source>
        <translation>Le dossier %1 n’existe pas.</translation>
    </message>
    <message>
        <source>These files exist already: %1</source>
        <translation>Ces fichiers existent déjà : %1</translation>
    </message>
    <message>
        <source>Could not write %1: %2</source>
        <translation>Impossible d’écrire %1 : %2</translation>
    </message>
    <message>
        <source>the recording could not be read</source>
        <translation>l’enregistrement n’a pas pu être lu</translation>
    </message>
</context>
<context>
    <name>InputDialog</name>
    <message>
        <source>Please enter user name and password</source>
        <translation>Veuillez saisir le nom d&apos;utilisateur et le mot de passe</translation>
    </message>
    <message>
        <source>Username:</source>
        <translation>Nom d&apos;utilisateur :</translation>
    </message>
    <message>
        <source>Password:</source>
        <translation>Mot de passe :</translation>
    </message>
    <message>
        <source>Authority password (optional):</source>
        <translation>Mot de passe d&apos;autorité (facultatif) :</translation>
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
        <translation>Exporter les enregistrements</translation>
    </message>
    <message>
        <source>There are no reviewed calls to export.</source>
        <translation>Il n’y a aucun appel examiné à exporter.</translation>
    </message>
    <message>
        <source>Choose the folder for the recordings</source>
        <translation>Choisir le dossier des enregistrements</translation>
    </message>
    <message>
        <source>These files exist in the folder already:
%1

Replace them?</source>
        <translation>Ces fichiers existent déjà dans le dossier :
%1

Les remplacer ?</translation>
    </message>
    <message>
        <source>Exporting recordings...</source>
        <translation>Exportation des enregistrements...</translation>
    </message>
    <message>
        <source>Cancel</source>
        <translation>Annuler</translation>
    </message>
</context>
<context>
    <name>ReportPrinter</name>
    <message>
        <source>The report could not be laid out.</source>
        <translation>Le rapport n’a pas pu être mis en page.</translation>
    </message>
</context>
<context>
    <name>ReviewDocument</name>
    <message>
        <source>The review file is damaged (byte %1).</source>
        <translation>Le fichier de revue est endommagé (octet %1).</translation>
    </message>
    <message>
        <source>The file is not a review file.</source>
        <translation>Ce fichier n’est pas un fichier de revue.</translation>
    </message>
    <message>
        <source>The review file has version %1; this viewer reads version %2.</source>
        <translation>Le fichier de revue est en version %1 ; ce visualiseur lit la version %2.</translation>
    </message>
    <message>
        <source>The review file is damaged.</source>
        <translation>Le fichier de revue est endommagé.</translation>
    </message>
    <message>
        <source>The review file is damaged (call %1).</source>
        <translation>Le fichier de revue est endommagé (appel %1).</translation>
    </message>
    <message>
        <source>The review file cannot be read: %1</source>
        <translation>Le fichier de revue ne peut pas être lu : %1</translation>
    </message>
    <message>
        <source>%1 is not a regular file.</source>
        <translation>%1 n’est pas un fichier ordinaire.</translation>
    </message>
    <message>
        <source>%1 cannot be written: %2</source>
        <translation>Impossible d’écrire %1 : %2</translation>
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
        <translation>Cliquez et choisissez un fichier « *.pkg ». Si le paquet est chiffré, un nom d&apos;utilisateur et un mot de passe vous seront demandés.</translation>
    </message>
    <message>
        <source>Once the package is opened, you can navigate through the calls by clicking the available tabs and play audio content in the integrated audio player.</source>
        <translation>Une fois le paquet ouvert, vous pouvez parcourir les appels à l&apos;aide des onglets et écouter les enregistrements dans le lecteur audio intégré.</translation>
    </message>
    <message>
        <source>Home (Ctrl+H)</source>
        <translation>Accueil (Ctrl+H)</translation>
    </message>
    <message>
        <source>Open package (Ctrl+O)</source>
        <translation>Ouvrir un paquet (Ctrl+O)</translation>
    </message>
    <message>
        <source>Authority override</source>
        <translation>Accès des autorités</translation>
    </message>
    <message>
        <source>Zoom in (Ctrl++)</source>
        <translation>Zoom avant (Ctrl++)</translation>
    </message>
    <message>
        <source>Zoom out (Ctrl+-)</source>
        <translation>Zoom arrière (Ctrl+-)</translation>
    </message>
    <message>
        <source>About</source>
        <translation>À propos</translation>
    </message>
    <message>
        <source>Main toolbar</source>
        <translation>Barre d&apos;outils principale</translation>
    </message>
    <message>
        <source>Version %1</source>
        <translation>Version %1</translation>
    </message>
    <message>
        <source>About VORN Viewer</source>
        <translation>À propos de VORN Viewer</translation>
    </message>
    <message>
        <source>Authority password</source>
        <translation>Mot de passe d&apos;autorité</translation>
    </message>
    <message>
        <source>Please enter the password for authority access:</source>
        <translation>Veuillez saisir le mot de passe de l&apos;accès des autorités :</translation>
    </message>
    <message>
        <source>Invalid password</source>
        <translation>Mot de passe non valide</translation>
    </message>
    <message>
        <source>The password did not match!</source>
        <translation>Le mot de passe ne correspond pas !</translation>
    </message>
    <message>
        <source>Authority override activated</source>
        <translation>Accès des autorités activé</translation>
    </message>
    <message>
        <source>Arabic (ar_SA)</source>
        <translation>Arabe (ar_SA)</translation>
    </message>
    <message>
        <source>Danish (da_DK)</source>
        <translation>Danois (da_DK)</translation>
    </message>
    <message>
        <source>German (de_DE)</source>
        <translation>Allemand (de_DE)</translation>
    </message>
    <message>
        <source>German (de_CH)</source>
        <translation>Allemand (de_CH)</translation>
    </message>
    <message>
        <source>German (de_AT)</source>
        <translation>Allemand (de_AT)</translation>
    </message>
    <message>
        <source>English (en_AU)</source>
        <translation>Anglais (en_AU)</translation>
    </message>
    <message>
        <source>English (en_GB)</source>
        <translation>Anglais (en_GB)</translation>
    </message>
    <message>
        <source>English (en_IE)</source>
        <translation>Anglais (en_IE)</translation>
    </message>
    <message>
        <source>English (en_US)</source>
        <translation>Anglais (en_US)</translation>
    </message>
    <message>
        <source>French (fr_CH)</source>
        <translation>Français (fr_CH)</translation>
    </message>
    <message>
        <source>French (fr_FR)</source>
        <translation>Français (fr_FR)</translation>
    </message>
    <message>
        <source>Hungarian (hu_HU)</source>
        <translation>Hongrois (hu_HU)</translation>
    </message>
    <message>
        <source>Lithuanian (lt_LT)</source>
        <translation>Lituanien (lt_LT)</translation>
    </message>
    <message>
        <source>Norwegian (nb_NO)</source>
        <translation>Norvégien (nb_NO)</translation>
    </message>
    <message>
        <source>Polish (pl_PL)</source>
        <translation>Polonais (pl_PL)</translation>
    </message>
    <message>
        <source>Russian (ru_RU)</source>
        <translation>Russe (ru_RU)</translation>
    </message>
    <message>
        <source>Slovak (sk_SK)</source>
        <translation>Slovaque (sk_SK)</translation>
    </message>
    <message>
        <source>Slovenian (sl_SI)</source>
        <translation>Slovène (sl_SI)</translation>
    </message>
    <message>
        <source>Turkish (tr_TR)</source>
        <translation>Turc (tr_TR)</translation>
    </message>
    <message>
        <source>Authority password invalid. Continue anyway?</source>
        <translation>Mot de passe d&apos;autorité non valide. Continuer quand même ?</translation>
    </message>
    <message>
        <source>Yes</source>
        <translation>Oui</translation>
    </message>
    <message>
        <source>No</source>
        <translation>Non</translation>
    </message>
    <message>
        <source>Open VORN Analysis Package</source>
        <translation>Ouvrir un paquet d&apos;analyse VORN</translation>
    </message>
    <message>
        <source>VORN Analysis Packages (*.pkg)</source>
        <translation>Paquets d&apos;analyse VORN (*.pkg)</translation>
    </message>
    <message>
        <source>This is not a valid VORN package file!</source>
        <translation>Ce fichier n&apos;est pas un paquet VORN valide !</translation>
    </message>
    <message>
        <source>This package is not compatible with this version of VORN Viewer. Try opening this package with an earlier version of VORN Viewer.</source>
        <translation>Ce paquet n&apos;est pas compatible avec cette version de VORN Viewer. Essayez de l&apos;ouvrir avec une version antérieure de VORN Viewer.</translation>
    </message>
    <message>
        <source>This package is not compatible with this version of VORN Viewer. Try opening this package with an newer version of VORN Viewer.</source>
        <translation>Ce paquet n&apos;est pas compatible avec cette version de VORN Viewer. Essayez de l&apos;ouvrir avec une version plus récente de VORN Viewer.</translation>
    </message>
    <message>
        <source>Package could not be opened (Generic error)</source>
        <translation>Impossible d&apos;ouvrir le paquet (erreur générale)</translation>
    </message>
    <message>
        <source>Password invalid</source>
        <translation>Mot de passe non valide</translation>
    </message>
    <message>
        <source>Cannot authenticate user</source>
        <translation>Impossible d&apos;authentifier l&apos;utilisateur</translation>
    </message>
    <message>
        <source>Username invalid</source>
        <translation>Nom d&apos;utilisateur non valide</translation>
    </message>
    <message>
        <source>Error decoding package</source>
        <translation>Erreur lors du décodage du paquet</translation>
    </message>
    <message>
        <source>VORN Viewer  |  %1</source>
        <translation>VORN Viewer  |  %1</translation>
    </message>
    <message>
        <source>This package contains</source>
        <translation>Ce paquet contient</translation>
    </message>
    <message>
        <source>expired calls</source>
        <translation>appels expirés</translation>
    </message>
    <message>
        <source>and</source>
        <translation>et</translation>
    </message>
    <message>
        <source>calls with expired media</source>
        <translation>appels dont l&apos;enregistrement a expiré</translation>
    </message>
    <message>
        <source>Time verification progress...</source>
        <translation>Vérification de l&apos;heure en cours...</translation>
    </message>
    <message>
        <source>Waiting for </source>
        <translation>En attente de </translation>
    </message>
    <message>
        <source>Time verification failed</source>
        <translation>Échec de la vérification de l&apos;heure</translation>
    </message>
    <message>
        <source>Please enter a valid URL to verify time:</source>
        <translation>Veuillez saisir une URL valide pour vérifier l&apos;heure :</translation>
    </message>
    <message>
        <source>Save Review</source>
        <translation>Enregistrer la revue</translation>
    </message>
    <message>
        <source>Open Review</source>
        <translation>Ouvrir une revue</translation>
    </message>
    <message>
        <source>Export Report</source>
        <translation>Exporter le rapport</translation>
    </message>
    <message>
        <source>Save review?</source>
        <translation>Enregistrer la revue ?</translation>
    </message>
    <message>
        <source>The notes of this review have not been saved.</source>
        <translation>Les notes de cette revue n’ont pas été enregistrées.</translation>
    </message>
    <message>
        <source>Save</source>
        <translation>Enregistrer</translation>
    </message>
    <message>
        <source>Discard</source>
        <translation>Abandonner</translation>
    </message>
    <message>
        <source>Cancel</source>
        <translation>Annuler</translation>
    </message>
    <message>
        <source>Review files (*.review.json *.json)</source>
        <translation>Fichiers de revue (*.review.json *.json)</translation>
    </message>
    <message>
        <source>The review could not be saved: %1</source>
        <translation>La revue n’a pas pu être enregistrée : %1</translation>
    </message>
    <message>
        <source>The review could not be opened: %1</source>
        <translation>La revue n’a pas pu être ouverte : %1</translation>
    </message>
    <message>
        <source>This review was made for another package. The notes of calls found in this package are shown; the others are kept and saved with the review.</source>
        <translation>Cette revue a été faite pour un autre paquet. Les notes des appels de ce paquet sont affichées ; les autres sont conservées et enregistrées avec la revue.</translation>
    </message>
    <message>
        <source>PDF report (*.pdf)</source>
        <translation>Rapport PDF (*.pdf)</translation>
    </message>
    <message>
        <source>CSV table (*.csv)</source>
        <translation>Tableau CSV (*.csv)</translation>
    </message>
    <message>
        <source>The report could not be written: %1</source>
        <translation>Le rapport n’a pas pu être écrit : %1</translation>
    </message>
    <message>
        <source>Export Recordings</source>
        <translation>Exporter les enregistrements</translation>
    </message>
</context>
</TS>
