/// @file
/// The opening of a sprite, animation or particle description file, the same steps for each: the
/// name must name a file (TQ2DNamesFile); the file is read under its normalised name
/// (TQ2DFileConfig::LoadFileConfig: the packs, then the disk); then, for as long as the object
/// lives, the names it holds count as a pack's when a pack holds it (TQ2DPackNameScope), they
/// start at its folder, and a fault its reading repeats is one line (TQLogRepeats).
#pragma once

#include <optional>

#include "base/tqlogrepeats.h"
#include "base/tqstring.h"
#include "engine/tq2dfileconfig.h"
#include "engine/tq2dpacknamescope.h"

/// A description file opened for reading its values; see tq2ddescriptionfile.h.
class TQ2DDescriptionFile {
public:
    /// Opens the description file name; a failure was logged (by the name check or the look-up).
    explicit TQ2DDescriptionFile(const char* name);
    TQ2DDescriptionFile(const TQ2DDescriptionFile&) = delete;
    TQ2DDescriptionFile& operator=(const TQ2DDescriptionFile&) = delete;

    /// False when the name names no file or the file could not be read.
    bool IsOpen() const { return m_names.has_value(); }
    /// The file's keys and values.
    const TQ2DFileConfig& Config() const { return m_config; }
    /// The normalised name (TQ2DNormalizeResourceName), which messages name the file by.
    const TQString& Key() const { return m_key; }
    /// The path the file's own names start at (TQ2DDescriptionBase).
    const TQString& Base() const { return m_base; }
    /// The folder of Base (TQ2DDescriptionFolder), "/"-separated and ending in "/", or empty.
    TQString Folder() const;

private:
    TQLogRepeats m_repeats;
    TQString m_key;
    TQString m_base;
    TQ2DFileConfig m_config;
    std::optional<TQ2DPackNameScope> m_names;
};
