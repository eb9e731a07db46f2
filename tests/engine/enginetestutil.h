// Helpers of the engine tests: a started engine on the headless video backend,
// an asset folder below the program's folder (where the device resolves relative names), and
// writers of small BMP and WAV files.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "engine/tq2dapi.h"

// The frame function used by the tests' engines: counts frames, ends the loop after kStopAfter.
bool CountingFrame();
extern int g_nTestFrames;
extern int g_nTestStopAfter;

// The parameter block of a small windowed engine (64 x 48) with CountingFrame.
TQ2D_INIT_INFO_tag SmallEngineInfo();

// Headless video and the dummy audio driver for every test; the engine is closed after each.
class EngineTest : public ::testing::Test {
protected:
    void SetUp() override;
    void TearDown() override;
    // Starts the engine with SmallEngineInfo; fails the test when it cannot.
    void StartEngine();
};

// A fresh folder below the running program's folder, named with mixed case; removed with its
// content. Relative() is its name as the engine's relative resource names give it.
class AssetFolder {
public:
    AssetFolder();
    ~AssetFolder();
    AssetFolder(const AssetFolder&) = delete;
    AssetFolder& operator=(const AssetFolder&) = delete;

    // Absolute path of a file inside (folders are created).
    std::string Path(const std::string& name) const;
    const std::string& Relative() const { return m_relative; }
    static std::string ProgramFolder();

private:
    std::string m_relative;
    std::string m_root;
};

// EngineTest with the engine started and an asset folder; the packs are removed after each test.
class StartedEngineTest : public EngineTest {
protected:
    void SetUp() override;
    void TearDown() override;
    AssetFolder folder;
};

// A PNG image of 0xAARRGGBB pixels (top row first).
void WritePng(const std::string& path, int width, int height, const std::vector<uint32_t>& pixels);
std::vector<unsigned char> PngBytes(int width, int height, const std::vector<uint32_t>& pixels,
                                    bool alpha = true); // without alpha: an RGB image
// A 16-bit mono PCM WAV of samples at 22050 Hz.
std::vector<unsigned char> WavBytes(size_t samples);
void WriteFile(const std::string& path, const std::vector<unsigned char>& bytes);
void WriteText(const std::string& path, const std::string& text);
// A pack at path holding the given files (stored name -> bytes), staged through folder.
void MakePack(const AssetFolder& folder, const std::string& path,
              const std::vector<std::pair<std::string, std::vector<unsigned char>>>& files);
