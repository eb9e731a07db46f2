/// @file
/// Description-file reader: a configuration file taken from the registered packs when one holds
/// it, else from the disk.
#pragma once

#include "base/tqfileconfig.h"

/// A configuration file read from the packs or the disk; see tq2dfileconfig.h.
class TQ2DFileConfig : public TQFileConfig {
public:
    TQ2DFileConfig() = default;
    /// Deep copy.
    TQ2DFileConfig(const TQ2DFileConfig&) = default;
    /// Deep copy.
    TQ2DFileConfig& operator=(const TQ2DFileConfig&) = default;
    ~TQ2DFileConfig() override = default;

    /// Loads the description file name. The name is normalised (TQ2DNormalizeResourceName); a
    /// pack holding it gives its bytes (an empty stored file is empty text); otherwise the file is
    /// read from the disk under the normalised name through the platform's path resolver, so its
    /// folders and name match without regard to ASCII case. size is the caller's length argument
    /// of the base reader and is not needed here (the file's own length is used); flag goes to the
    /// base reader. Nonzero on success.
    BOOL LoadFileConfig(const char* name, unsigned long size, int flag);
};

/// Deletes every description file kept in the library's configuration map and empties it.
void TQ2DDeleteCfg();
