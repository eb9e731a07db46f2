// tqassets: writes the demo's assets into a folder: a sprite sheet and a digit texture (PNG),
// sprite description files, a click sound (WAV) and a looping tracker module (MOD). Everything is
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

void PutBE16(std::vector<uint8_t>& bytes, uint32_t value) {
    bytes.push_back(static_cast<uint8_t>(value >> 8));
    bytes.push_back(static_cast<uint8_t>(value));
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

// A short falling blip: 16-bit mono PCM at 22050 Hz.
bool WriteClick(const fs::path& path) {
    const int rate = 22050;
    const int samples = rate / 10;
    std::vector<uint8_t> bytes;
    PutText(bytes, "RIFF", 4);
    PutLE(bytes, 36 + samples * 2, 4);
    PutText(bytes, "WAVEfmt ", 8);
    PutLE(bytes, 16, 4);
    PutLE(bytes, 1, 2);
    PutLE(bytes, 1, 2);
    PutLE(bytes, rate, 4);
    PutLE(bytes, rate * 2, 4);
    PutLE(bytes, 2, 2);
    PutLE(bytes, 16, 2);
    PutText(bytes, "data", 4);
    PutLE(bytes, samples * 2, 4);
    double phase = 0.0;
    for (int i = 0; i < samples; ++i) {
        const double t = double(i) / samples;
        phase += 2.0 * M_PI * (1200.0 - 800.0 * t) / rate;
        PutLE(bytes, static_cast<uint16_t>(static_cast<int16_t>(12000.0 * (1.0 - t) * std::sin(phase))), 2);
    }
    return WriteBytes(path, bytes);
}

// Amiga periods of the notes used.
enum Period { C1 = 856, F1 = 640, G1 = 570, A1 = 508, C2 = 428, E2 = 339, G2 = 285, A2 = 254, C3 = 214 };

void PutNote(std::vector<uint8_t>& bytes, int sample, int period) {
    bytes.push_back(static_cast<uint8_t>((sample & 0xF0) | (period >> 8)));
    bytes.push_back(static_cast<uint8_t>(period & 0xFF));
    bytes.push_back(static_cast<uint8_t>((sample & 0x0F) << 4));
    bytes.push_back(0);
}

void PutSample(std::vector<uint8_t>& bytes, const std::string& name, int lengthBytes) {
    PutText(bytes, name, 22);
    PutBE16(bytes, lengthBytes / 2);
    bytes.push_back(0);  // finetune
    bytes.push_back(48); // volume
    PutBE16(bytes, 0);   // the whole sample loops
    PutBE16(bytes, lengthBytes / 2);
}

// A four-channel module of one pattern: a square-wave arpeggio over a triangle bass, looping.
bool WriteModule(const fs::path& path) {
    const int lead[16] = {C2, E2, G2, C3, A1, C2, E2, A2, F1, A1, C2, E2, G1, C2, E2, G2};
    const int bass[4] = {C1, A1, F1, G1};
    std::vector<uint8_t> bytes;
    PutText(bytes, "tq2d demo loop", 20);
    PutSample(bytes, "square", 64);
    PutSample(bytes, "triangle", 64);
    for (int i = 2; i < 31; ++i)
        PutSample(bytes, "", 0);
    for (size_t i = bytes.size() - 29 * 30; i < bytes.size(); i += 30)
        bytes[i + 29] = 1; // empty samples: repeat length 1 word
    bytes.push_back(1);    // song length
    bytes.push_back(127);  // restart
    for (int i = 0; i < 128; ++i)
        bytes.push_back(0);
    PutText(bytes, "M.K.", 4);
    for (int row = 0; row < 64; ++row) {
        if (row % 4 == 0)
            PutNote(bytes, 1, lead[(row / 4) % 16]);
        else
            PutNote(bytes, 0, 0);
        if (row % 16 == 0)
            PutNote(bytes, 2, bass[row / 16]);
        else
            PutNote(bytes, 0, 0);
        PutNote(bytes, 0, 0);
        PutNote(bytes, 0, 0);
    }
    for (int i = 0; i < 64; ++i)
        bytes.push_back(static_cast<uint8_t>(i < 32 ? 48 : -48));
    for (int i = 0; i < 64; ++i)
        bytes.push_back(static_cast<uint8_t>(static_cast<int8_t>(i < 32 ? -64 + i * 4 : 64 - (i - 32) * 4)));
    return WriteBytes(path, bytes);
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
           WriteClick(root / "sound/click.wav") && WriteModule(root / "music/loop.mod");
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
