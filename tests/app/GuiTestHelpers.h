#pragma once
// Helpers for tests that drive the real window: they answer modal dialogs
// as a person would and run scripts in the web view.
#include <QAbstractButton>
#include <QPushButton>
#include <QApplication>
#include <QMessageBox>
#include <QPointer>
#include <QTimer>
#include <QWebEnginePage>
#include <QWebEngineView>
#include <QtTest>

#include <functional>
#include <memory>
#include <utility>

// How long a test waits for the page, the web channel or the player to
// answer: a round trip that the sanitizer build on a busy machine stretches
// far beyond Qt Test's usual 5 s. A wait that is met returns at once.
constexpr int cnRoundTripMs = 20000;

// Answers the modal widgets that show up next, one answer per showing, in
// order (a dialog shown again counts again). Each answer runs once its
// widget is the active modal widget.
class ModalAnswers : public QObject
{
public:
    using Answer = std::function<void(QWidget*)>;

    // iaIgnore picks modal widgets that are not to be answered (boxes that
    // the program hides itself, say).
    explicit ModalAnswers(QList<Answer> iaAnswers, std::function<bool(QWidget*)> iaIgnore = {})
        : maAnswers(std::move(iaAnswers))
        , maIgnore(std::move(iaIgnore))
    {
        qApp->installEventFilter(this);
        connect(&maTimer, &QTimer::timeout, this, [this] {
            while (!maShown.isEmpty() && !maShown.first())
                maShown.removeFirst();
            if (maShown.isEmpty() || maAnswers.isEmpty() || QApplication::activeModalWidget() != maShown.first())
                return;
            QWidget* pModal = maShown.takeFirst();
            maAnswers.takeFirst()(pModal);
        });
        maTimer.start(30);
    }
    ~ModalAnswers() override { qApp->removeEventFilter(this); }
    bool allUsed() const { return maAnswers.isEmpty(); }

protected:
    bool eventFilter(QObject* ipaObject, QEvent* ipaEvent) override
    {
        if (ipaEvent->type() == QEvent::Show && ipaObject->isWidgetType()) {
            auto* pWidget = static_cast<QWidget*>(ipaObject);
            if (pWidget->isWindow() && pWidget->isModal() && !(maIgnore && maIgnore(pWidget)))
                maShown.append(pWidget);
        }
        return false;
    }

private:
    QList<Answer> maAnswers;
    std::function<bool(QWidget*)> maIgnore;
    QList<QPointer<QWidget>> maShown;
    QTimer maTimer;
};

// An answer that records a message box's text and presses the named button
// (the default button when no name is given).
inline ModalAnswers::Answer pressButton(QString* ipsText, const QString& isButton = QString())
{
    return [ipsText, isButton](QWidget* ipaModal) {
        auto* pBox = qobject_cast<QMessageBox*>(ipaModal);
        if (!pBox) {
            *ipsText = QStringLiteral("<not a message box: %1>").arg(ipaModal->metaObject()->className());
            ipaModal->close();
            return;
        }
        *ipsText = pBox->text();
        QAbstractButton* pButton = pBox->defaultButton();
        for (QAbstractButton* pCandidate : pBox->buttons())
            if (!isButton.isEmpty() && pCandidate->text() == isButton)
                pButton = pCandidate;
        if (!pButton && !pBox->buttons().isEmpty())
            pButton = pBox->buttons().first();
        pButton->click();
    };
}

inline QVariant runScript(QWebEngineView* ipaView, const QString& isScript)
{
    // Shared with the callback: it may still come after the wait gave up,
    // when this frame is gone.
    auto pAnswer = std::make_shared<std::pair<bool, QVariant>>(false, QVariant());
    ipaView->page()->runJavaScript(isScript, [pAnswer](const QVariant& irValue) { *pAnswer = { true, irValue }; });
    (void)QTest::qWaitFor([&] { return pAnswer->first; }, 10000);
    return pAnswer->second;
}
