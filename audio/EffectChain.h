#pragma once
// The effects a decoder thread runs over each block of PCM before it is
// handed to the player: converted to floats once, passed from effect to
// effect between two work areas, converted back. New stages are appended
// here so that every PCM path (playback and download) gets them alike.
#include <QtGlobal>

#include <memory>
#include <vector>

namespace WVC {
class AudioEffect;
}

class EffectChain
{
public:
    // Largest block in samples; decoder threads never hand on more at once.
    static constexpr int cnMaxSamples = 4096;

    EffectChain();
    ~EffectChain();
    EffectChain(const EffectChain&) = delete;
    EffectChain& operator=(const EffectChain&) = delete;

    // Takes over ipaEffect; effects run in the order they were added.
    void add(WVC::AudioEffect* ipaEffect);
    bool isEmpty() const { return maEffects.empty(); }
    WVC::AudioEffect* at(int inIndex) const { return maEffects[size_t(inIndex)].get(); }
    int count() const { return int(maEffects.size()); }

    // In place over inCount signed 16-bit samples (at most cnMaxSamples).
    void process(qint16* ipSamples, int inCount);
    // In place over inCount unsigned 8-bit samples (at most cnMaxSamples).
    void process(quint8* ipSamples, int inCount);

private:
    // Runs the effects starting in work area 0; returns the area holding
    // the result.
    const float* run(int inCount);

    std::vector<std::unique_ptr<WVC::AudioEffect>> maEffects;
    // Allocated once: the blocks pass without allocating.
    std::unique_ptr<float[]> maWork[2];
};
