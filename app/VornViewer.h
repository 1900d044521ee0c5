#pragma once
#include <QMainWindow>
#include <QString>

#include <array>

class AudioPlayer;
class Package;
class QAction;
class QCloseEvent;
class QKeyEvent;
class QMenu;
class QMessageBox;
class QToolBar;
class QWebEnginePage;
class QWebEngineProfile;
class QWebEngineView;
class TimeVerification;

// The main window: toolbar, web view with the page of the open package (or
// the start page) and the web channel through which that page reaches us.
class VornViewer : public QMainWindow
{
    Q_OBJECT
public:
    static constexpr int kLocaleSlots = 24;

    VornViewer(Package* ipaPackage, AudioPlayer* ipaAudioPlayer, int inHttpPort);
    ~VornViewer() override;

    void loadStartPage();
    void loadPackageHtml(const QString& isLocale);
    void openWithTimeOffset(int inTimeOffset);

    // The waiting box and the URL prompt of the time verification.
    void showTimeVerificationProgress(const QString& isUrl);
    void updateTimeVerificationProgress(const QString& isUrl);
    void hideTimeVerificationProgress();
    void askForTimeVerificationUrl();

    void updateLocaleMenu();
    void clearLocaleMenu();
    void setAuthorityOverrideActive();
    void resetAuthorityOverride();

signals:
    void zoomInTriggered();
    void zoomOutTriggered();

private slots:
    void home();
    void authorityOverride();
    void showInfo();
    void zoomIn();
    void zoomOut();

public slots:
    void open(const QString& isFileNameFromArgs = QString());
    void localeSwitchTriggered(QAction* ipaLocaleAction);

protected:
    void keyPressEvent(QKeyEvent* ipaEvent) override;
    void closeEvent(QCloseEvent* ipaEvent) override;

private:
    void createActions();
    void createToolBar();
    void createWebView();
    // Turns an openPackage result into its message and end state.
    void handleOpenResult(int inResult, bool ibAfterVerification);
    // The steps after every successful open: locale, locale menu, page.
    void showOpenedPackage();

    Package* mpPackage;
    AudioPlayer* mpAudioPlayer;
    TimeVerification* mpTimeVerification = nullptr;
    int mnHttpPort;
    QWebEngineView* mpWebView = nullptr;
    QWebEnginePage* mpWebPage = nullptr;
    QWebEngineProfile* mpWebProfile = nullptr;
    QToolBar* mpToolBar = nullptr;
    QAction* mpOpenAction = nullptr;
    QAction* mpHomeAction = nullptr;
    QAction* mpAuthorityAction = nullptr;
    QWidget* mpSpacer = nullptr;
    QMenu* mpLocaleMenu = nullptr;
    std::array<QAction*, kLocaleSlots> maLocaleActions {};
    QAction* mpZoomInAction = nullptr;
    QAction* mpZoomOutAction = nullptr;
    QAction* mpAboutAction = nullptr;
    QMessageBox* mpTimeVerificationBox = nullptr;
    // Whether the waiting box pushed the wait cursor that hiding pops: a
    // second hide must not pop someone else's cursor.
    bool mbTimeVerificationCursor = false;
    QString msPackagePath;
    QString msUsername;
    QString msPassword;
    QString msAuthorityPassword;
    QString msLocale;
};
