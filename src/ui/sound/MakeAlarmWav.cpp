// Build-time tool: writes the alarm tone, a 0.25 s two-note chime (880 Hz then 1320 Hz,
// 22050 Hz, 16-bit mono PCM, faded in and out so it does not click), as a WAV file.
#include <cmath>
#include <cstdint>
#include <cstdio>
#include <numbers>
#include <string>
#include <vector>

namespace {

constexpr int kRate = 22050;
constexpr int kSamples = kRate / 4;

void Put(std::string& out, std::uint32_t value, int bytes) {
    for (int i = 0; i < bytes; ++i) out += static_cast<char>((value >> (8 * i)) & 0xFF);
}

}  // namespace

int main(int argc, char** argv) {
    if (argc != 2) {
        std::fprintf(stderr, "usage: %s OUTPUT.wav\n", argv[0]);
        return 2;
    }
    std::vector<std::int16_t> samples(kSamples);
    const int fade = kRate / 100;
    for (int i = 0; i < kSamples; ++i) {
        const double frequency = i < kSamples / 2 ? 880.0 : 1320.0;
        double gain = 0.5;
        if (i < fade) gain *= static_cast<double>(i) / fade;
        if (kSamples - i < fade) gain *= static_cast<double>(kSamples - i) / fade;
        samples[i] =
            static_cast<std::int16_t>(32767 * gain * std::sin(2 * std::numbers::pi * frequency * i / kRate));
    }
    const std::uint32_t dataBytes = kSamples * 2;
    std::string wav = "RIFF";
    Put(wav, 36 + dataBytes, 4);
    wav += "WAVEfmt ";
    Put(wav, 16, 4);         // format chunk size
    Put(wav, 1, 2);          // PCM
    Put(wav, 1, 2);          // mono
    Put(wav, kRate, 4);      // sample rate
    Put(wav, kRate * 2, 4);  // byte rate
    Put(wav, 2, 2);          // block align
    Put(wav, 16, 2);         // bits per sample
    wav += "data";
    Put(wav, dataBytes, 4);
    for (std::int16_t s : samples) Put(wav, static_cast<std::uint16_t>(s), 2);

    std::FILE* file = std::fopen(argv[1], "wb");
    if (!file) return 1;
    const bool written = std::fwrite(wav.data(), 1, wav.size(), file) == wav.size();
    return std::fclose(file) == 0 && written ? 0 : 1;
}
