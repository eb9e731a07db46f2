// tqassets: writes the demo's generated assets into a folder: textures (PNG), the bitmap font's
// image, sounds and music (WAV) and particle record files. Everything is computed, so the same
// files come out on every run. The description files, scripts and window files that use them are
// text files of the demo (demo/assets).
// With --thumbnail it writes a PNG made a whole factor smaller from an image file instead.
//
// usage: tqassets FOLDER
//        tqassets --thumbnail IMAGE PNG [FACTOR]   (FACTOR 2 when not given)
#include <cmath>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <functional>
#include <string>
#include <vector>

#include "image.h"
#include "particlerecord.h"
#include "textpainter.h"
#include "thumbnail.h"
#include "wavfile.h"

namespace fs = std::filesystem;

namespace {

using Shade = std::function<double(double dx, double dy)>;

double Clamp01(double value) {
    return std::fmin(1.0, std::fmax(0.0, value));
}

// A size x size cell at (cellX, cellY): shade(dx, dy) gives the alpha 0..1 at the offset from the
// cell's centre; `lit` darkens the colour towards the bottom right.
void DrawCell(Image& image, int cellX, int cellY, int size, uint32_t rgb, bool lit, const Shade& shade) {
    const double half = size / 2.0;
    for (int y = 0; y < size; ++y)
        for (int x = 0; x < size; ++x) {
            const double dx = x + 0.5 - half;
            const double dy = y + 0.5 - half;
            const double light = lit ? 0.6 + 0.4 * (1.0 - (dx + dy + size) / (2.0 * size)) : 1.0;
            image.Set(cellX + x, cellY + y, Byte((rgb >> 16) * light), Byte(((rgb >> 8) & 0xFF) * light),
                      Byte((rgb & 0xFF) * light), Byte(Clamp01(shade(dx, dy)) * 255.0));
        }
}

double Disc(double dx, double dy, double radius) {
    return radius - std::hypot(dx, dy);
}

double Star(double dx, double dy, double radius, double depth) {
    const double angle = std::atan2(dy, dx);
    return radius + depth * std::cos(5.0 * angle) - std::hypot(dx, dy);
}

double Ring(double dx, double dy, double radius, double width) {
    return 1.0 - std::fabs(std::hypot(dx, dy) - radius) / width;
}

// Ball, box, star and ring: the sprites scene's sheet.
Image Sheet() {
    Image sheet(128, 32);
    DrawCell(sheet, 0, 0, 32, 0xFFC850, true, [](double dx, double dy) { return Disc(dx, dy, 15.0); });
    DrawCell(sheet, 32, 0, 32, 0x5AA0FF, true,
             [](double dx, double dy) { return std::fabs(dx) < 14.0 && std::fabs(dy) < 14.0 ? 1.0 : 0.0; });
    DrawCell(sheet, 64, 0, 32, 0xFF5AA0, true, [](double dx, double dy) { return Star(dx, dy, 9.0, 6.0); });
    DrawCell(sheet, 96, 0, 32, 0x78FF8C, true, [](double dx, double dy) { return Ring(dx, dy, 11.0, 3.0); });
    return sheet;
}

// Digits 0-9 of a 3 x 5 pixel font drawn at twice the size into 8 x 12 cells.
const char* const kDigitRows[10][5] = {
    {"111", "101", "101", "101", "111"}, {"010", "110", "010", "010", "111"},
    {"111", "001", "111", "100", "111"}, {"111", "001", "111", "001", "111"},
    {"101", "101", "111", "001", "001"}, {"111", "100", "111", "001", "111"},
    {"111", "100", "111", "101", "111"}, {"111", "001", "010", "010", "010"},
    {"111", "101", "111", "101", "111"}, {"111", "101", "111", "001", "111"},
};

Image Digits() {
    Image digits(80, 12);
    for (int digit = 0; digit < 10; ++digit)
        for (int row = 0; row < 5; ++row)
            for (int column = 0; column < 3; ++column)
                if (kDigitRows[digit][row][column] == '1')
                    digits.FillRect(digit * 8 + 1 + column * 2, 1 + row * 2, 2, 2, 255, 255, 255, 255);
    return digits;
}

// Eight frames of a gem whose facet light turns round once, and four frames of a pulsing moon.
Image Gem() {
    Image gem(256, 32);
    for (int frame = 0; frame < 8; ++frame) {
        const double turn = frame * M_PI / 4.0;
        DrawCell(gem, frame * 32, 0, 32, 0x60D0FF, false,
                 [](double dx, double dy) { return std::fabs(dx) + std::fabs(dy) < 14.0 ? 1.0 : 0.0; });
        for (int y = 0; y < 32; ++y)
            for (int x = 0; x < 32; ++x) {
                const double dx = x + 0.5 - 16.0, dy = y + 0.5 - 16.0;
                const double along = dx * std::cos(turn) + dy * std::sin(turn);
                if (std::fabs(dx) + std::fabs(dy) < 12.0 && along > 2.0)
                    gem.Blend(frame * 32 + x, y, 255, 255, 255, Clamp01((along - 2.0) / 8.0) * 0.8);
            }
    }
    return gem;
}

Image Moon() {
    Image moon(64, 16);
    for (int frame = 0; frame < 4; ++frame) {
        const double radius = 4.0 + frame;
        DrawCell(moon, frame * 16, 0, 16, 0xFFF0A0, true,
                 [radius](double dx, double dy) { return Disc(dx, dy, radius); });
    }
    return moon;
}

// White particle shapes that the particle colours tint: soft dot, star, spark and ring.
Image Particles() {
    Image sheet(128, 32);
    DrawCell(sheet, 0, 0, 32, 0xFFFFFF, false,
             [](double dx, double dy) { return std::pow(Clamp01(1.0 - std::hypot(dx, dy) / 15.0), 1.5); });
    DrawCell(sheet, 32, 0, 32, 0xFFFFFF, false, [](double dx, double dy) { return Star(dx, dy, 8.0, 6.0); });
    DrawCell(sheet, 64, 0, 32, 0xFFFFFF, false, [](double dx, double dy) {
        return Clamp01(1.5 - std::fmin(std::fabs(dx), std::fabs(dy))) *
               Clamp01(1.0 - std::hypot(dx, dy) / 15.0);
    });
    DrawCell(sheet, 96, 0, 32, 0xFFFFFF, false, [](double dx, double dy) { return Ring(dx, dy, 10.0, 2.5); });
    return sheet;
}

// The picture the distortion mesh bends: a checkerboard under coloured rings.
Image Picture() {
    Image picture(256, 256);
    for (int y = 0; y < 256; ++y)
        for (int x = 0; x < 256; ++x) {
            const bool dark = ((x / 32) + (y / 32)) % 2 == 0;
            const double d = std::hypot(x - 127.5, y - 127.5);
            const double wave = 0.5 + 0.5 * std::cos(d / 6.0);
            const double base = dark ? 60.0 : 200.0;
            picture.Set(x, y, Byte(base * 0.5 + 120.0 * wave), Byte(base * 0.7 + 60.0 * (1.0 - wave)),
                        Byte(base * 0.6 + 100.0 * (x / 255.0)), 255);
        }
    for (int i = 0; i < 256; ++i) {
        picture.Set(i, 0, 255, 255, 255, 255);
        picture.Set(i, 255, 255, 255, 255, 255);
        picture.Set(0, i, 255, 255, 255, 255);
        picture.Set(255, i, 255, 255, 255, 255);
    }
    return picture;
}

const char* const kLabelFont = "Liberation Sans:bold";

// A panel with a title bar: the GUI scene's window backgrounds.
Image Panel(int width, int height, const std::string& title, uint32_t bar, uint8_t alpha) {
    Image panel(width, height);
    panel.FillRect(0, 0, width, height, 28, 36, 64, alpha);
    panel.FillRect(1, 1, width - 2, 20, bar >> 16, (bar >> 8) & 0xFF, bar & 0xFF, 255);
    panel.Bevel(0, 0, width, height, 0x9AB0E0, 0x101828);
    TextPainter painter(kLabelFont, 13);
    painter.Draw(panel, 8, 3, title, 0xFFFFFF);
    return panel;
}

// A sunken dark box that controls lie on.
Image Box(int width, int height) {
    Image box(width, height);
    box.FillRect(0, 0, width, height, 12, 16, 32, 230);
    box.Bevel(0, 0, width, height, 0x080810, 0x8090C0);
    return box;
}

// The four faces of a button side by side: normal, under the mouse, pressed or checked, and
// disabled or checked under the mouse. `check` draws a tick box before the label.
Image ButtonFaces(int width, int height, const std::string& label, bool check) {
    static const uint32_t kFills[4] = {0x3C5A96, 0x5078C0, 0xC08A30, 0xD8A040};
    Image faces(width * 4, height);
    TextPainter painter(kLabelFont, 12);
    for (int frame = 0; frame < 4; ++frame) {
        const int x = frame * width;
        const uint32_t fill = kFills[frame];
        faces.FillRect(x, 0, width, height, fill >> 16, (fill >> 8) & 0xFF, fill & 0xFF, 255);
        const bool down = frame >= 2;
        faces.Bevel(x, 0, width, height, down ? 0x202020 : 0xE0E8FF, down ? 0xE0E8FF : 0x202020);
        int textX = x + (width - painter.Width(label)) / 2;
        if (check) {
            faces.FillRect(x + 5, height / 2 - 5, 10, 10, 240, 240, 240, 255);
            if (down)
                faces.FillRect(x + 7, height / 2 - 3, 6, 6, 30, 30, 30, 255);
            textX = x + 20;
        }
        painter.Draw(faces, textX, (height - painter.Ascent()) / 2 - 1, label, 0xFFFFFF);
    }
    return faces;
}

// Arrow faces for the scroll bar and the combo box: a triangle pointing up or down.
Image ArrowFaces(int size, bool up) {
    Image faces(size * 4, size);
    for (int frame = 0; frame < 4; ++frame) {
        const int x = frame * size;
        faces.FillRect(x, 0, size, size, 70 + frame * 30, 90 + frame * 25, 150, 255);
        faces.Bevel(x, 0, size, size, 0xE0E8FF, 0x202020);
        for (int row = 0; row < size / 3; ++row) {
            const int y = up ? size / 3 + row : size * 2 / 3 - row;
            faces.FillRect(x + size / 2 - row, y, 2 * row + 1, 1, 255, 255, 255, 255);
        }
    }
    return faces;
}

Image ThumbFaces(int width, int height) {
    Image faces(width * 4, height);
    for (int frame = 0; frame < 4; ++frame) {
        faces.FillRect(frame * width, 0, width, height, 150 + frame * 25, 160, 200, 255);
        faces.Bevel(frame * width, 0, width, height, 0xFFFFFF, 0x303030);
    }
    return faces;
}

// The bitmap font: printable ASCII in cells of kFontCell x kFontHeight, 16 to a row, in the order
// the font description's widths list them.
const int kFontCell = 10;
const int kFontHeight = 18;

Image BitmapFont() {
    Image font(16 * kFontCell, 6 * kFontHeight);
    TextPainter painter("Liberation Mono:bold", 16);
    for (int code = 32; code < 127; ++code) {
        const int index = code - 32;
        painter.Draw(font, (index % 16) * kFontCell, (index / 16) * kFontHeight + 1,
                     std::string(1, char(code)), 0xFFFFFF);
    }
    return font;
}

// The helper GUI's faces: three button pairs (up, down) and a slider track and thumb.
Image HelperGui() {
    Image gui(256, 128);
    TextPainter painter(kLabelFont, 12);
    const char* const labels[3] = {"Play", "Faster", "Slower"};
    for (int i = 0; i < 3; ++i)
        for (int down = 0; down < 2; ++down) {
            const int x = down * 100, y = i * 24;
            gui.FillRect(x, y, 100, 24, down ? 200 : 60, down ? 140 : 100, down ? 50 : 170, 255);
            gui.Bevel(x, y, 100, 24, down ? 0x202020 : 0xE0E8FF, down ? 0xE0E8FF : 0x202020);
            painter.Draw(gui, x + (100 - painter.Width(labels[i])) / 2, y + 5, labels[i], 0xFFFFFF);
        }
    gui.FillRect(0, 80, 200, 12, 40, 60, 90, 255);
    gui.Bevel(0, 80, 200, 12, 0x101828, 0x9AB0E0);
    gui.FillRect(200, 72, 12, 28, 230, 200, 80, 255);
    gui.Bevel(200, 72, 12, 28, 0xFFFFFF, 0x303030);
    return gui;
}

// Sounds -------------------------------------------------------------------------------------------

// A tone sweeping from `from` to `to` Hz with a falling envelope.
std::vector<int16_t> Sweep(double seconds, double from, double to, double volume) {
    const int count = static_cast<int>(kAudioRate * seconds);
    std::vector<int16_t> samples;
    double phase = 0.0;
    for (int i = 0; i < count; ++i) {
        const double t = double(i) / count;
        phase += 2.0 * M_PI * (from + (to - from) * t) / kAudioRate;
        samples.push_back(static_cast<int16_t>(volume * (1.0 - t) * std::sin(phase)));
    }
    return samples;
}

// Noise from a fixed generator, shaped by a rising then falling envelope.
std::vector<int16_t> Whoosh(double seconds) {
    const int count = static_cast<int>(kAudioRate * seconds);
    std::vector<int16_t> samples;
    uint32_t state = 99991u;
    double low = 0.0;
    for (int i = 0; i < count; ++i) {
        state = state * 1664525u + 1013904223u;
        const double noise = (state >> 8) / 8388608.0 - 1.0;
        low += 0.15 * (noise - low);
        const double t = double(i) / count;
        samples.push_back(static_cast<int16_t>(14000.0 * low * std::sin(M_PI * t)));
    }
    return samples;
}

// Four seconds of music that loop seamlessly: a soft square-wave arpeggio, one note every quarter
// second, over a triangle bass that changes every second. Each note rises over a few milliseconds
// and the bass plays whole cycles in each bar, so that it is at the start of a cycle at every change
// and at the loop point: nothing steps, nothing clicks.
std::vector<int16_t> MusicLoop() {
    const double lead[16] = {261.6, 329.6, 392.0, 523.3, 220.0, 261.6, 329.6, 440.0,
                             174.6, 220.0, 261.6, 329.6, 196.0, 261.6, 329.6, 392.0};
    const double bass[4] = {65.4, 55.0, 87.3, 98.0};
    const int noteLength = kAudioRate / 4;
    const int barLength = 4 * noteLength;
    const int attack = kAudioRate / 200;
    std::vector<int16_t> samples;
    for (int i = 0; i < 16 * noteLength; ++i) {
        const double t = double(i) / kAudioRate;
        const int inNote = i % noteLength;
        const double envelope = std::min(1.0, double(inNote) / attack) * (1.0 - double(inNote) / noteLength);
        const double square = std::sin(2.0 * M_PI * lead[i / noteLength] * t) >= 0.0 ? 1.0 : -1.0;
        const double bassCycles = std::round(bass[i / barLength] * barLength / kAudioRate);
        const double bassPhase = std::fmod(bassCycles * (i % barLength) / barLength, 1.0);
        const double triangle = 4.0 * std::fabs(bassPhase - 0.5) - 1.0;
        samples.push_back(static_cast<int16_t>(3000.0 * square * envelope + 6000.0 * triangle));
    }
    return samples;
}

// Particle records ---------------------------------------------------------------------------------
// Speeds are in pixels per update step, accelerations in pixels per step per second.

void SetColor(float* color, float r, float g, float b, float a) {
    color[0] = r;
    color[1] = g;
    color[2] = b;
    color[3] = a;
}

// A short upward burst of flames.
ParticleRecord Fire() {
    ParticleRecord fire;
    fire.frame = 0;
    fire.blend = 0; // colour multiply, alpha add: the tinted flames glow
    fire.emission = 120;
    fire.lifetime = 0.8f;
    fire.lifeMin = 0.5f;
    fire.lifeMax = 0.9f;
    fire.spread = 0.8f;
    fire.speedMin = 0.8f;
    fire.speedMax = 1.6f;
    fire.gravityMin = -2.0f;
    fire.gravityMax = -1.0f;
    fire.sizeStart = 1.2f;
    fire.sizeEnd = 0.3f;
    fire.sizeVar = 0.2f;
    SetColor(fire.colorStart, 1.0f, 0.8f, 0.2f, 1.0f);
    SetColor(fire.colorEnd, 1.0f, 0.1f, 0.0f, 0.0f);
    return fire;
}

// Stars thrown in every direction that fall and spin.
ParticleRecord Sparks() {
    ParticleRecord sparks;
    sparks.frame = 1;
    sparks.blend = 0;
    sparks.emission = 200;
    sparks.lifetime = 0.25f;
    sparks.lifeMin = 0.8f;
    sparks.lifeMax = 1.4f;
    sparks.spread = 6.28f;
    sparks.speedMin = 1.5f;
    sparks.speedMax = 3.5f;
    sparks.gravityMin = 4.0f;
    sparks.gravityMax = 6.0f;
    sparks.sizeStart = 0.6f;
    sparks.sizeEnd = 0.2f;
    sparks.spinStart = 4;
    sparks.spinEnd = 1;
    SetColor(sparks.colorStart, 0.6f, 0.9f, 1.0f, 1.0f);
    SetColor(sparks.colorEnd, 1.0f, 1.0f, 1.0f, 0.0f);
    sparks.colorVar = 0.5f;
    return sparks;
}

// Slow rings that swirl outwards.
ParticleRecord Rings() {
    ParticleRecord rings;
    rings.frame = 3;
    rings.blend = 2;
    rings.emission = 30;
    rings.lifetime = 1.0f;
    rings.lifeMin = 1.0f;
    rings.lifeMax = 1.5f;
    rings.spread = 6.28f;
    rings.speedMin = 0.3f;
    rings.speedMax = 0.7f;
    rings.tangentialMin = 1.0f;
    rings.tangentialMax = 1.5f;
    rings.sizeStart = 0.4f;
    rings.sizeEnd = 1.4f;
    SetColor(rings.colorStart, 0.5f, 1.0f, 0.5f, 0.9f);
    SetColor(rings.colorEnd, 0.2f, 0.4f, 1.0f, 0.0f);
    return rings;
}

bool SaveAll(const fs::path& root) {
    for (const char* folder : {"sprites", "ui", "sound", "music", "anim", "fx", "mesh", "gui", "helpers"})
        fs::create_directories(root / folder);
    const std::vector<std::pair<const char*, Image>> images = {
        {"sprites/sheet.png", Sheet()},
        {"ui/digits.png", Digits()},
        {"anim/gem.png", Gem()},
        {"anim/moon.png", Moon()},
        {"fx/particles.png", Particles()},
        {"mesh/picture.png", Picture()},
        {"gui/panel.png", Panel(420, 360, "GUI toolkit - drag me by the title", 0x3050A0, 235)},
        {"gui/popup.png", Panel(260, 110, "Modal popup", 0xA04030, 255)},
        {"gui/editbox.png", Box(240, 24)},
        {"gui/markbox.png", Box(190, 196)},
        {"gui/open.png", ButtonFaces(110, 24, "Open popup", false)},
        {"gui/close.png", ButtonFaces(80, 24, "Close", false)},
        {"gui/red.png", ButtonFaces(70, 20, "Red", true)},
        {"gui/green.png", ButtonFaces(70, 20, "Green", true)},
        {"gui/blue.png", ButtonFaces(70, 20, "Blue", true)},
        {"gui/music.png", ButtonFaces(110, 20, "Music", true)},
        {"gui/sort.png", ButtonFaces(180, 18, "Planet (click: sort)", false)},
        {"gui/up.png", ArrowFaces(16, true)},
        {"gui/down.png", ArrowFaces(16, false)},
        {"gui/thumb.png", ThumbFaces(16, 24)},
        {"gui/drop.png", ArrowFaces(20, false)},
        {"helpers/font.png", BitmapFont()},
        {"helpers/gui.png", HelperGui()},
        {"helpers/sheet.png", Sheet()},
        {"helpers/gem.png", Gem()},
        {"helpers/picture.png", Picture()},
        {"helpers/particles.png", Particles()},
    };
    for (const auto& image : images)
        if (!image.second.Save((root / image.first).string()))
            return false;
    const std::vector<std::pair<const char*, std::vector<int16_t>>> sounds = {
        {"sound/click.wav", Sweep(0.1, 1200.0, 400.0, 12000.0)},
        {"anim/blip.wav", Sweep(0.06, 900.0, 1500.0, 9000.0)},
        {"fx/pop.wav", Sweep(0.15, 300.0, 80.0, 16000.0)},
        {"fx/whoosh.wav", Whoosh(0.5)},
        {"music/loop.wav", MusicLoop()},
    };
    for (const auto& sound : sounds)
        if (!WriteWav((root / sound.first).string(), sound.second))
            return false;
    const std::vector<std::pair<const char*, ParticleRecord>> records = {
        {"fx/fire.psi", Fire()},
        {"fx/sparks.psi", Sparks()},
        {"fx/rings.psi", Rings()},
        {"helpers/sparks.psi", Sparks()},
    };
    for (const auto& record : records)
        if (!record.second.Save((root / record.first).string()))
            return false;
    return true;
}

} // namespace

int main(int argc, char** argv) {
    if (argc >= 4 && argc <= 5 && std::string(argv[1]) == "--thumbnail") {
        if (WriteThumbnail(argv[2], argv[3], argc == 5 ? std::atoi(argv[4]) : 2))
            return 0;
        std::fprintf(stderr, "tqassets: cannot make a thumbnail of %s as %s\n", argv[2], argv[3]);
        return 1;
    }
    if (argc != 2) {
        std::fprintf(stderr, "usage: tqassets FOLDER\n       tqassets --thumbnail IMAGE PNG [FACTOR]\n");
        return 2;
    }
    try {
        const bool saved = SaveAll(argv[1]);
        TextPainter::ReleaseFontConfiguration();
        if (saved)
            return 0;
    } catch (const std::exception& error) {
        std::fprintf(stderr, "tqassets: %s\n", error.what());
        return 1;
    }
    std::fprintf(stderr, "tqassets: cannot write the assets into %s\n", argv[1]);
    return 1;
}
