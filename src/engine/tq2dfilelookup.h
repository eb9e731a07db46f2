/// @file
/// Where the engine reads a file a game names when no registered pack holds it, and the one line it
/// logs when nothing does: relative names start at the program's folder (through the device) or at
/// the working folder (description files); a name that is an absolute path of this system (as the
/// platform reads paths: tqplat::IsAbsolutePath) is then also read as that path.
///
/// A name read from a pack's own file (TQ2DPackNameScope) reaches only the packs and the files below
/// the resource folders, the program's and the working folder. This is decided by the platform's
/// path resolver on the very path about to be opened ("." and ".." resolved, a drive letter read as
/// the root, names compared component by component without regard to case): a read outside is not
/// attempted, and one line names the name as written and the path refused. Symbolic links inside the
/// resource folders are followed, wherever they lead: those folders are the game's own.
#pragma once

#include <string>

#include "base/tqstring.h"
#include "platform/win32/tqwintypes.h"

class TQGfxDevice;

/// True when name, after leading blanks, is an absolute path of this system (tqplat::IsAbsolutePath).
bool TQ2DIsSystemPath(const char* name);

/// True when name names a file: it is not empty and does not end with "/" or "\" (a folder), blanks
/// aside. Else false after one line naming what could not be loaded and, when description is given,
/// the description and its key that held the name.
bool TQ2DNamesFile(const char* what, const char* name, const char* description = nullptr,
                   const char* key = nullptr);

/// name with its "." components and empty ones dropped and each ".." taking away the component
/// before it, "/"-separated: the name a pack stores the file under. False, with resolved untouched,
/// when a ".." climbs above the folder the name starts at.
bool TQ2DResolveDots(const char* name, std::string* resolved);

/// The folder a description file's own file names start at: of its absolute path when it was named
/// by one (so they are found there too), else of its normalised name (key).
TQString TQ2DDescriptionBase(const char* name, const TQString& key);

/// Loads a file no registered pack holds through one of the device's loaders (Texture_Load,
/// Effect_Load, Stream_Load, ...): under its normalised key first (the device's zip packs, then the
/// program's folder), then, for an absolute path of this system, as that path. 0 when both fail,
/// after one line naming the paths tried, or when a read is refused (one line). When problem is
/// given and tells, after a failed load, what is wrong with a file the loader found
/// (Texture_LoadProblem), the one line names the file and that instead.
DWORD TQ2DLoadByName(const char* name, const TQString& key, DWORD (TQGfxDevice::*load)(const char*, DWORD),
                     const char* what, const char* (TQGfxDevice::*problem)() const = nullptr);

/// Reads a file no registered pack holds through the device's Resource_Load (its zip packs, then the
/// program's folder; an absolute path as that path), under the part of name that counts
/// (TQ2DResourceNamePart). NULL, after one line naming the path tried or
/// refused, when that fails. Free the bytes with Resource_Free.
void* TQ2DLoadResource(const char* name, DWORD* size, const char* what);

/// Reads a description file no registered pack holds: under its normalised key from the working
/// folder, then, for an absolute path of this system, as that path. False when both fail, after one
/// line naming the paths tried, or when a read is refused (one line).
bool TQ2DReadDescriptionFile(const char* name, const TQString& key, std::string* content);

/// After a failed Effect_Load or Stream_Load of data (from a pack under name, or `size` bytes of
/// the caller's memory when name is NULL): one line naming it and why, when the device says why.
void TQ2DLogUnreadableSound(const char* function, const char* what, const char* name, unsigned long size);

/// Logs one line for function: what was found under name but could not be read, and why.
void TQ2DLogUnreadable(const char* function, const char* what, const char* name, const char* problem);
