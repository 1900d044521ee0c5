#pragma once
#include <QMainWindow>
#include <QString>

#include <array>
#include <functional>

struct ReviewPackageInfo;
class ReportPrinter;
class ReviewChannel;
class ReviewDocument;

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

    ReviewDocument* reviewDocument() const { return mpReviewDocument; }
    // Loads a review file; false with a message box when it fails.
    void openReview(const QString& isPath = QString());
    // Writes the report of the review to isPath: CSV for ".csv", else PDF.
    void writeReport(const QString& isPath, const std::function<void(bool, const QString&)>& irDone);
    // "Save review?" when notes are unsaved: false when the user cancels.
    bool confirmReviewSaved();

signals:
    void zoomInTriggered();
    // The page of a package was loaded after a successful open.
    void packageShown();
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
    void createReviewActions();
    void setReviewActionsEnabled(bool ibEnabled);
    bool saveReview();
    void exportReport();
    // The recordings of the reviewed calls into a folder, redacted as the
    // reviewer chose on the page.
    void exportRecordings();
    ReviewPackageInfo reviewedPackage() const;
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
    QAction* mpSaveReviewAction = nullptr;
    QAction* mpOpenReviewAction = nullptr;
    QAction* mpReportAction = nullptr;
    QAction* mpExportRecordingsAction = nullptr;
    ReviewDocument* mpReviewDocument = nullptr;
    ReviewChannel* mpReviewChannel = nullptr;
    ReportPrinter* mpReportPrinter = nullptr;
    QMessageBox* mpTimeVerificationBox = nullptr;
    // Whether the waiting box pushed the wait cursor that hiding pops: a
    // second hide must not pop someone else's cursor.
    bool mbTimeVerificationCursor = false;
    QString msPackagePath;
    QString msUsername;
    QString msPassword;
    QString msAuthorityPassword;
    QString msLocale;
    QString msPageLocale;
    // The user name the package asked for: the review's reviewer.
    QString msReviewer;
};
