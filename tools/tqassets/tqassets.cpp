// tqassets: writes the demo's assets into a folder: a sprite sheet and a digit texture (PNG),
// sprite description files, a click sound and a music loop (WAV). Everything is
// computed, so the same files come out on every run.
//
// usage: tqassets FOLDER
#include <cmath>
#include <cstdint>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

#define STB_IMAGE_WRITE_STATIC
#define STB_IMAGE_WRITE_IMPLEMENTATION
#include <stb/stb_image_write.h>

namespace fs = std::filesystem;

namespace {

// An RGBA image.
class Image {
public:
    Image(int width, int height)
        : m_width(width), m_height(height), m_pixels(size_t(width) * height * 4, 0) {}

    void Set(int x, int y, uint8_t r, uint8_t g, uint8_t b, uint8_t a) {
        uint8_t* p = &m_pixels[(size_t(y) * m_width + x) * 4];
        p[0] = r;
        p[1] = g;
        p[2] = b;
        p[3] = a;
    }

    bool Save(const fs::path& path) const {
        return stbi_write_png(path.string().c_str(), m_width, m_height, 4, m_pixels.data(), m_width * 4) != 0;
    }

private:
    int m_width;
    int m_height;
    std::vector<uint8_t> m_pixels;
};

uint8_t Byte(double value) {
    return static_cast<uint8_t>(std::lround(std::fmin(255.0, std::fmax(0.0, value))));
}

// A 32 x 32 cell of the sheet: shade(dx, dy) gives the alpha 0..1 at the cell-relative centre offset.
template <class Shade> void DrawCell(Image& image, int cellX, uint8_t r, uint8_t g, uint8_t b, Shade shade) {
    for (int y = 0; y < 32; ++y)
        for (int x = 0; x < 32; ++x) {
            const double dx = x + 0.5 - 16.0;
            const double dy = y + 0.5 - 16.0;
            const double a = shade(dx, dy);
            const double light = 0.6 + 0.4 * (1.0 - (dx + dy + 32.0) / 64.0);
            image.Set(cellX + x, y, Byte(r * light), Byte(g * light), Byte(b * light), Byte(a * 255.0));
        }
}

bool WriteSheet(const fs::path& path) {
    Image sheet(128, 32);
    DrawCell(sheet, 0, 255, 200, 80,
             [](double dx, double dy) { return std::fmin(1.0, std::fmax(0.0, 15.0 - std::hypot(dx, dy))); });
    DrawCell(sheet, 32, 90, 160, 255,
             [](double dx, double dy) { return std::fabs(dx) < 14.0 && std::fabs(dy) < 14.0 ? 1.0 : 0.0; });
    DrawCell(sheet, 64, 255, 90, 160, [](double dx, double dy) {
        const double angle = std::atan2(dy, dx);
        const double radius = 9.0 + 6.0 * std::cos(5.0 * angle);
        return std::fmin(1.0, std::fmax(0.0, radius - std::hypot(dx, dy)));
    });
    DrawCell(sheet, 96, 120, 255, 140, [](double dx, double dy) {
        const double d = std::hypot(dx, dy);
        return std::fmax(0.0, 1.0 - std::fabs(d - 11.0) / 3.0);
    });
    return sheet.Save(path);
}

// Digits 0-9 of a 3 x 5 pixel font, one row of bits per line, drawn at twice the size into
// 8 x 12 cells.
const char* const kDigitRows[10][5] = {
    {"111", "101", "101", "101", "111"}, {"010", "110", "010", "010", "111"},
    {"111", "001", "111", "100", "111"}, {"111", "001", "111", "001", "111"},
    {"101", "101", "111", "001", "001"}, {"111", "100", "111", "001", "111"},
    {"111", "100", "111", "101", "111"}, {"111", "001", "010", "010", "010"},
    {"111", "101", "111", "101", "111"}, {"111", "101", "111", "001", "111"},
};

bool WriteDigits(const fs::path& path) {
    Image digits(80, 12);
    for (int digit = 0; digit < 10; ++digit)
        for (int row = 0; row < 5; ++row)
            for (int column = 0; column < 3; ++column) {
                if (kDigitRows[digit][row][column] != '1')
                    continue;
                for (int sy = 0; sy < 2; ++sy)
                    for (int sx = 0; sx < 2; ++sx)
                        digits.Set(digit * 8 + 1 + column * 2 + sx, 1 + row * 2 + sy, 255, 255, 255, 255);
            }
    return digits.Save(path);
}

bool WriteText(const fs::path& path, const std::string& text) {
    std::ofstream out(path, std::ios::binary);
    out << text;
    return bool(out);
}

void PutLE(std::vector<uint8_t>& bytes, uint32_t value, int size) {
    for (int i = 0; i < size; ++i)
        bytes.push_back(static_cast<uint8_t>(value >> (8 * i)));
}

void PutText(std::vector<uint8_t>& bytes, const std::string& text, size_t size) {
    for (size_t i = 0; i < size; ++i)
        bytes.push_back(i < text.size() ? static_cast<uint8_t>(text[i]) : 0);
}

bool WriteBytes(const fs::path& path, const std::vector<uint8_t>& bytes) {
    std::ofstream out(path, std::ios::binary);
    out.write(reinterpret_cast<const char*>(bytes.data()), static_cast<std::streamsize>(bytes.size()));
    return bool(out);
}

const int kAudioRate = 22050;

// 16-bit mono PCM samples as a WAV file.
bool WriteWav(const fs::path& path, const std::vector<int16_t>& samples) {
    const uint32_t dataBytes = static_cast<uint32_t>(samples.size() * 2);
    std::vector<uint8_t> bytes;
    PutText(bytes, "RIFF", 4);
    PutLE(bytes, 36 + dataBytes, 4);
    PutText(bytes, "WAVEfmt ", 8);
    PutLE(bytes, 16, 4);
    PutLE(bytes, 1, 2);
    PutLE(bytes, 1, 2);
    PutLE(bytes, kAudioRate, 4);
    PutLE(bytes, kAudioRate * 2, 4);
    PutLE(bytes, 2, 2);
    PutLE(bytes, 16, 2);
    PutText(bytes, "data", 4);
    PutLE(bytes, dataBytes, 4);
    for (int16_t sample : samples)
        PutLE(bytes, static_cast<uint16_t>(sample), 2);
    return WriteBytes(path, bytes);
}

// A short falling blip.
bool WriteClick(const fs::path& path) {
    const int count = kAudioRate / 10;
    std::vector<int16_t> samples;
    double phase = 0.0;
    for (int i = 0; i < count; ++i) {
        const double t = double(i) / count;
        phase += 2.0 * M_PI * (1200.0 - 800.0 * t) / kAudioRate;
        samples.push_back(static_cast<int16_t>(12000.0 * (1.0 - t) * std::sin(phase)));
    }
    return WriteWav(path, samples);
}

// Four seconds of music that loop seamlessly: a soft square-wave arpeggio, one note every quarter
// second, over a triangle bass that changes every second.
bool WriteMusicLoop(const fs::path& path) {
    const double lead[16] = {261.6, 329.6, 392.0, 523.3, 220.0, 261.6, 329.6, 440.0,
                             174.6, 220.0, 261.6, 329.6, 196.0, 261.6, 329.6, 392.0};
    const double bass[4] = {65.4, 55.0, 87.3, 98.0};
    const int noteLength = kAudioRate / 4;
    std::vector<int16_t> samples;
    for (int i = 0; i < 16 * noteLength; ++i) {
        const double t = double(i) / kAudioRate;
        const double inNote = double(i % noteLength) / noteLength;
        const double square = std::sin(2.0 * M_PI * lead[i / noteLength] * t) >= 0.0 ? 1.0 : -1.0;
        const double bassPhase = std::fmod(bass[i / (4 * noteLength)] * t, 1.0);
        const double triangle = 4.0 * std::fabs(bassPhase - 0.5) - 1.0;
        samples.push_back(static_cast<int16_t>(3000.0 * square * (1.0 - inNote) + 6000.0 * triangle));
    }
    return WriteWav(path, samples);
}

// The sprite description of one 32 x 32 cell of the sheet.
std::string CellDescription(int x, const std::string& extra) {
    return "TEX=sheet.png\nX=" + std::to_string(x) + "\nY=0\nW=32\nH=32\n" + extra;
}

bool WriteAll(const fs::path& root) {
    fs::create_directories(root / "sprites");
    fs::create_directories(root / "ui");
    fs::create_directories(root / "sound");
    fs::create_directories(root / "music");
    return WriteSheet(root / "sprites/sheet.png") && WriteDigits(root / "ui/digits.png") &&
           WriteText(root / "sprites/ball.txt", CellDescription(0, "")) &&
           WriteText(root / "sprites/box.txt", CellDescription(32, "ALPHA=220\n")) &&
           WriteText(root / "sprites/star.txt", CellDescription(64, "")) &&
           WriteText(root / "sprites/ring.txt", CellDescription(96, "ALPHA=0xC0\n")) &&
           WriteText(root / "ui/digit.txt", "TEX=digits.png\nW=8\nH=12\nHOT_SPOT_X=0\nHOT_SPOT_Y=0\n") &&
           WriteClick(root / "sound/click.wav") && WriteMusicLoop(root / "music/loop.wav");
}

} // namespace

int main(int argc, char** argv) {
    if (argc != 2) {
        std::fprintf(stderr, "usage: tqassets FOLDER\n");
        return 2;
    }
    try {
        if (WriteAll(argv[1]))
            return 0;
    } catch (const std::exception& error) {
        std::fprintf(stderr, "tqassets: %s\n", error.what());
        return 1;
    }
    std::fprintf(stderr, "tqassets: cannot write the assets into %s\n", argv[1]);
    return 1;
}
