/// @file
/// The resource pack registry: packs registered by path answer requests for stored files by name.
///
/// Packs are keyed by their normalised path (CMorvainePack::NormalizePath: no leading or trailing
/// slashes, `\` separators, ASCII upper case) and asked in ascending byte order of these keys; the
/// first pack holding a name answers. A pack is opened under the path the caller gave (through the
/// platform's path resolver) when that names a file, else under its key, relative to the working
/// folder (so `/DATA\A.PAK` opens data/a.pak as well). Registering a path whose key is already present
/// replaces that pack. Packs stay open until removed; packs still registered when the library unloads are
/// closed then. The registry needs no device and is used from the host's thread only.
///
/// The file names a description file from a pack holds (textures, sounds, particle records, other
/// description files) reach only the packs and the files below the game's folders (the program's
/// and those of its packs: tqplat::GameFolders), whatever their spelling: the path about to be
/// opened is checked (TQ2DPackNameScope, and tq2dfilelookup.h). Names the game passes itself, and
/// those in loose description files on disk, are not limited.
#pragma once

#include <string>

#include "base/tqstring.h"

/// Registers the pack at path (at most 511 bytes): 1, or 0 for a NULL or empty path, an over-long
/// path, a missing file or a damaged pack (the registry is then unchanged). An empty file (0 bytes)
/// that the process may write is made an empty pack (a pack header is written into it, ready for
/// files to be added) and registered: 1. A read-only empty file gives 0.
int TQ2DPackAdd(const char* path);
/// Closes and forgets the pack whose key path normalises to: 1, or 0 when none is registered.
int TQ2DPackRemove(const char* path);
/// Closes and forgets every pack.
void TQ2DPackRemoveAll();
/// Copies the deciphered bytes of the stored file name ("." and ".." components resolved, so
/// "sub/../a.png" is A.PNG) into out (GetBufferLength() gives their
/// count; 0 for an empty stored file): 1, or 0 when no pack holds it (out is then untouched).
int TQ2DPackGetFile(const char* name, TQString& out);
/// True when a registered pack stores the name (resolved as for TQ2DPackGetFile); reads nothing.
bool TQ2DPackHasFile(const char* name);
/// The stored file name leads to (resolved as for TQ2DPackGetFile), whatever its spelling:
/// "pack:", the pack's key, "|" and the stored name; empty when no registered pack holds it.
std::string TQ2DPackEntryOf(const char* name);
/// The path of the pack that TQ2DPackGetFile reads the name from, as it was opened; NULL when none
/// stores it. Reads nothing.
const char* TQ2DPackHolding(const char* name);

/// The part of a resource name that counts: the text after the first "//", else the whole name.
const char* TQ2DResourceNamePart(const char* name);

/// Name-level normalised resource name, the key of the caches and description files: only
/// TQ2DResourceNamePart counts; it is trimmed and upper-cased; one leading "/" (and blanks after
/// it) goes. "res//sprites/hero.txt" gives "SPRITES/HERO.TXT".
TQString TQ2DNormalizeResourceName(const char* name);
