#include "AlarmSound.h"

#include <QSoundEffect>
#include <QUrl>

namespace qelt {

AlarmSound::AlarmSound(QObject* parent) : QObject(parent) {}

AlarmSound::~AlarmSound() = default;

void AlarmSound::Play() {
    ++m_plays;
    if (m_output) {
        m_output();
        return;
    }
    if (!m_effect) {
        m_effect = new QSoundEffect(this);
        m_effect->setSource(QUrl(QStringLiteral("qrc:/sounds/alarm.wav")));
    }
    // While the file is still loading, play() is remembered and happens once it is loaded.
    m_effect->stop();
    m_effect->play();
}

}  // namespace qelt
