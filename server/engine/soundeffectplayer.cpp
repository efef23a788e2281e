#include "soundeffectplayer.h"

#include <QSoundEffect>
#include <QUrl>

namespace pw::server {

SoundEffectPlayer::SoundEffectPlayer() = default;
SoundEffectPlayer::~SoundEffectPlayer() = default;

void SoundEffectPlayer::play(const QString &path)
{
    if (!m_effect)
        m_effect = std::make_unique<QSoundEffect>();
    m_effect->setSource(QUrl::fromLocalFile(path));
    m_effect->play();
}

} // namespace pw::server
