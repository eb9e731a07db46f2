/// @file
/// Where the engine reads a file a game names when no registered pack holds it, and the one line it
/// logs when nothing does: relative names start at the program's folder (through the device) or at
/// the working folder (description files); a name that is an absolute path of this system is then
/// also read as that path, unless it was read from a pack's own file (TQ2DRefuseDiskPath).
#pragma once

#include <string>

#include "base/tqstring.h"
#include "platform/win32/tqwintypes.h"

class TQGfxDevice;

/// True when name, after leading blanks, begins with "/": an absolute path of this system.
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

/// True, after one line naming name, when the names being resolved are read from a pack's file
/// (TQ2DPackNameScope) and path, the disk path the look-up would open for name, starts at the system
/// root ("/" or "\") or climbs above the folder it starts at through "..". Such a path is not
/// opened; a pack's names reach only the packs and the files below the resource folder. The game's
/// own names are never refused.
bool TQ2DRefuseDiskPath(const char* what, const char* name, const char* path);

/// The folder a description file's own file names start at: of its absolute path when it was named
/// by one (so they are found there too), else of its normalised name (key).
TQString TQ2DDescriptionBase(const char* name, const TQString& key);

/// Loads a file no registered pack holds through one of the device's loaders (Texture_Load,
/// Effect_Load, Stream_Load, ...): under its normalised key first (the device's zip packs, then the
/// program's folder), then, for an absolute path of this system, as that path. 0 when both fail,
/// after one line naming the paths tried. When problem is given and tells, after a failed load, what
/// is wrong with a file the loader found (Texture_LoadProblem), the one line names the file and
/// that instead.
DWORD TQ2DLoadByName(const char* name, const TQString& key, DWORD (TQGfxDevice::*load)(const char*, DWORD),
                     const char* what, const char* (TQGfxDevice::*problem)() const = nullptr);

/// Reads a file no registered pack holds through the device's Resource_Load (its zip packs, then the
/// program's folder; an absolute path as that path). NULL, after one line naming the path tried,
/// when that fails or when TQ2DRefuseDiskPath refuses the name. Free the bytes with Resource_Free.
void* TQ2DLoadResource(const char* name, DWORD* size, const char* what);

/// After a failed Effect_Load or Stream_Load of data (from a pack under name, or `size` bytes of
/// the caller's memory when name is NULL): one line naming it and why, when the device says why.
void TQ2DLogUnreadableSound(const char* function, const char* what, const char* name, unsigned long size);

/// Reads a description file no registered pack holds: under its normalised key from the working
/// folder, then, for an absolute path of this system, as that path. False when both fail, after one
/// line naming the paths tried.
bool TQ2DReadDescriptionFile(const char* name, const TQString& key, std::string* content);

/// Logs one line for function: what could not be loaded, under which name, and the disk paths tried.
void TQ2DLogNotLoaded(const char* function, const char* what, const char* name, const std::string& tried);

/// Logs one line for function: what was found under name but could not be read, and why.
void TQ2DLogUnreadable(const char* function, const char* what, const char* name, const char* problem);
