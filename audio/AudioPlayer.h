#pragma once
#include <QWidget>

class Package;

// Playback controller that the page drives through the web channel.
class AudioPlayer : public QWidget
{
    Q_OBJECT
    Q_PROPERTY(qint64 nDuration MEMBER mnDuration NOTIFY durationChanged)
    Q_PROPERTY(qint64 nPosition MEMBER mnPosition NOTIFY whilePlayingJs)
    Q_PROPERTY(bool bMuted MEMBER bMuted NOTIFY mutedChanged)
    Q_PROPERTY(bool bPaused MEMBER bPaused NOTIFY pausedChanged)
public:
    explicit AudioPlayer(Package* ipaPackage);
    ~AudioPlayer() override;

signals:
    void callIdChanged(QString irsCallId);
    void durationChanged();
    void mutedChanged();
    void pausedChanged();
    void onLoadJs(QString irsCallId);
    void whileLoadingJs();
    void whilePlayingJs();
    void idleJs();

public slots:
    void unload();

private:
    void resetState();

    Package* mpPackage;
    qint64 mnDuration = 0;
    qint64 mnPosition = 0;
    bool bMuted = false;
    bool bPaused = true;
};
