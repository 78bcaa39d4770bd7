#include "toolkit/sounds.h"

#include <QApplication>
#include <QDir>
#include <QFile>
#include <QAudioDevice>
#include <QMediaDevices>
#include <QSoundEffect>
#include <QStandardPaths>
#include <QUrl>

#include <cmath>
#include <cstdint>
#include <numbers>

namespace pulmora {

namespace {

SoundSink& sink() {
    static SoundSink s;
    return s;
}

// A mono 16-bit WAV of a tone with a soft start and end, so it does not click.
QByteArray toneWav(double frequency, double seconds, double volume) {
    constexpr int kRate = 22050;
    const int samples = static_cast<int>(kRate * seconds);
    QByteArray data;
    data.reserve(44 + samples * 2);
    auto put32 = [&](std::uint32_t v) {
        for (int i = 0; i < 4; ++i) data.append(static_cast<char>((v >> (8 * i)) & 0xFF));
    };
    auto put16 = [&](std::uint16_t v) {
        data.append(static_cast<char>(v & 0xFF));
        data.append(static_cast<char>(v >> 8));
    };
    data.append("RIFF");
    put32(36 + samples * 2);
    data.append("WAVEfmt ");
    put32(16);
    put16(1);
    put16(1);
    put32(kRate);
    put32(kRate * 2);
    put16(2);
    put16(16);
    data.append("data");
    put32(samples * 2);
    const int fade = kRate / 100;
    for (int n = 0; n < samples; ++n) {
        double envelope = 1.0;
        if (n < fade) envelope = n / double(fade);
        if (samples - n < fade) envelope = (samples - n) / double(fade);
        const double v = volume * envelope * std::sin(2 * std::numbers::pi * frequency * n / kRate);
        put16(static_cast<std::uint16_t>(static_cast<std::int16_t>(v * 32767)));
    }
    return data;
}

// The effects are made once and kept; each play starts without waiting for the last one.
QSoundEffect* effect(SystemSound sound) {
    static QSoundEffect* effects[2] = {nullptr, nullptr};
    const int i = sound == SystemSound::Asterisk ? 0 : 1;
    if (!effects[i]) {
        const QString folder = QStandardPaths::writableLocation(QStandardPaths::TempLocation);
        const QString path =
            QDir(folder).filePath(i == 0 ? "pulmora-asterisk.wav" : "pulmora-hand.wav");
        QFile file(path);
        if (file.open(QIODevice::WriteOnly))
            file.write(i == 0 ? toneWav(1320, 0.15, 0.5) : toneWav(220, 0.3, 0.6));
        effects[i] = new QSoundEffect(qApp);
        effects[i]->setSource(QUrl::fromLocalFile(path));
    }
    return effects[i];
}

} // namespace

SoundSink setSoundSink(SoundSink s) {
    SoundSink previous = std::move(sink());
    sink() = std::move(s);
    return previous;
}

void playSystemSound(SystemSound sound) {
    if (sink()) {
        sink()(sound);
        return;
    }
    if (QMediaDevices::audioOutputs().isEmpty()) {
        QApplication::beep();
        return;
    }
    effect(sound)->play();
}

} // namespace pulmora
