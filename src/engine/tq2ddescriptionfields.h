/// @file
/// Value readers shared by the sprite, animation and particle description files: trimmed values, the
/// description's folder and the paths formed from it, blend-mode and play-mode keywords, and the
/// SOUND value.
#pragma once

#include "base/tqfileconfig.h"
#include "base/tqstring.h"

class TQ2DSound;

/// A whole number of the file (GetConfigNum) as the 32-bit value it stands for.
int TQ2DConfigInt(const TQFileConfig& config, const char* key);
/// The value of key, trimmed.
TQString TQ2DTrimmedConfig(const TQFileConfig& config, const char* key);
/// The folder of a normalised description name: `\` made `/`, up to and including the last "/";
/// empty when there is none.
TQString TQ2DDescriptionFolder(const TQString& name);
/// The value of key naming a file: trimmed, `\` made `/`.
TQString TQ2DFileNameConfig(const TQFileConfig& config, const char* key);
/// file inside folder (a folder of TQ2DDescriptionFolder); file alone when the folder is empty or
/// file is an absolute path of this system (read as that path when no pack holds it).
TQString TQ2DPathInFolder(const TQString& folder, const TQString& file);
/// Bits of "|"-separated blend keywords: COLORADD 1, ALPHABLEND 2, ZWRITE 4; other words add nothing.
int TQ2DBlendKeywordBits(const TQString& value);
/// Bits of "|"-separated play-mode keywords: REV 1, PINGPONG 2, LOOP 4; other words add nothing.
int TQ2DLoopModeKeywordBits(const TQString& value);
/// Reads the SOUND value "file, volume, panning, pitch, loop" (empty fields take 100, 0, 1.0, no
/// loop) of the description into sound, the file lying in folder. A file field naming no file is
/// logged (TQ2DNamesFile) and leaves sound empty. The parameters are applied whether or not the file
/// loads.
void TQ2DReadSoundValue(const TQString& value, const TQString& folder, const char* description,
                        TQ2DSound& sound);
