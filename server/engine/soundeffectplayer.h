#pragma once

#include "runhooks.h"

#include <memory>

class QSoundEffect;

namespace pw::server {

// Plays a wave file after a run with news. Without an audio device nothing is heard and
// nothing fails.
class SoundEffectPlayer final : public SoundPlayer
{
public:
    SoundEffectPlayer();
    ~SoundEffectPlayer() override;
    void play(const QString &path) override;

private:
    std::unique_ptr<QSoundEffect> m_effect;
};

} // namespace pw::server
