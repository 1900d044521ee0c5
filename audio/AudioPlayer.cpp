#include "AudioPlayer.h"

#include <QDebug>

AudioPlayer::AudioPlayer(Package* ipaPackage)
    : QWidget(nullptr)
    , mpPackage(ipaPackage)
{
    resetState();
}

AudioPlayer::~AudioPlayer() = default;

void AudioPlayer::unload()
{
    // Playback joins with the decoder threads; until then there is nothing
    // loaded that could be stopped.
    resetState();
}

void AudioPlayer::resetState()
{
    bMuted = false;
    qDebug() << "emit mutedChanged() --> " << bMuted;
    emit mutedChanged();
    bPaused = true;
}
