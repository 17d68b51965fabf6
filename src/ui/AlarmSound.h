#pragma once
/// The short tone of a fired alarm (a WAV built into the program as the resource
/// ":/sounds/alarm.wav"), played through Qt Multimedia. The audio output is opened on the
/// first Play only, so a user who never turns the sound on never touches the audio system.
/// Without an audio device (a server, CI) Play returns at once and nothing is heard.
#include <QObject>
#include <functional>

class QSoundEffect;

namespace qelt {

class AlarmSound : public QObject {
    Q_OBJECT
  public:
    explicit AlarmSound(QObject* parent = nullptr);
    ~AlarmSound() override;

    /// Starts the tone (a tone still playing starts over); never waits for it.
    void Play();
    /// How often Play was called (tests).
    int Plays() const { return m_plays; }
    /// Plays the tone through `output` instead of the audio system (tests: the audio
    /// system's own threads, started by a first tone, outlive the test and its ending).
    void SetOutput(std::function<void()> output) { m_output = std::move(output); }

  private:
    std::function<void()> m_output;
    QSoundEffect* m_effect = nullptr;
    int m_plays = 0;
};

}  // namespace qelt
