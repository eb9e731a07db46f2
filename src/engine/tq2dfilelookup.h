/// @file
/// Which file a name a game or a pack names leads to, and the one line logged when it leads to none:
/// a registered pack's entry (TQ2DPackEntryOf), else what the device finds (TQGfxDevice::
/// Resource_Find: its zip packs, then the disk; relative names start at the program's folder,
/// description files at the working folder); a name that is an absolute path of this system (as the
/// platform reads paths: tqplat::IsAbsolutePath) is then also read as that path. The answer names
/// the file whatever the spelling that led to it, so the caches key by it: spellings of one file
/// share one texture, sound or music.
///
/// A name read from a pack's own file (TQ2DPackNameScope) reaches only the packs and the files below
/// the game's folders (tqplat::GameFolders: the program's folder and the folders of the registered
/// and attached packs; never a file-system root or a home folder). This is decided by the platform's
/// path resolver on the very path about to be opened ("." and ".." resolved, a drive letter read as
/// the root, names compared component by component without regard to case): a read outside is not
/// attempted, and one line names the name as written and the path refused. Symbolic links inside the
/// game's folders are followed, wherever they lead: those folders are the game's own.
#pragma once

#include <string>

#include "base/tqstring.h"
#include "device/tqgfxdevice.h"
#include "platform/win32/tqwintypes.h"

/// True when name, after leading blanks, is an absolute path of this system (tqplat::IsAbsolutePath).
bool TQ2DIsSystemPath(const char* name);

/// True when name names a file: it is not empty and does not end with "/" or "\" (a folder), blanks
/// aside. Else false after one line naming what could not be loaded and, when description is given,
/// the description and its key that held the name.
bool TQ2DNamesFile(const char* what, const char* name, const char* description = nullptr,
                   const char* key = nullptr);

/// The folder a description file's own file names start at: of its absolute path when it was named
/// by one (so they are found there too), else of its normalised name (key).
TQString TQ2DDescriptionBase(const char* name, const TQString& key);

/// The file a name leads to: TQ2DFindFile's answer.
struct TQ2DFoundFile {
    /// The file, whatever the spelling that led to it: a registered pack's entry (TQ2DPackEntryOf) or
    /// the device's answer (TQGfxDevice::FoundResource::identity). The key of the texture, sound
    /// and music caches.
    std::string identity;
    /// A registered pack's entry: the name it is read under (the normalised key).
    TQString packName;
    /// Else the file the device found.
    TQGfxDevice::FoundResource device;
};

/// Finds the file name leads to: a registered pack's entry under its normalised key, else through
/// the device under that key and then, for an absolute path of this system, as that path. False
/// when there is none, after one line naming the paths tried, or when a read is refused (one line).
bool TQ2DFindFile(const char* name, const TQString& key, const char* what, TQ2DFoundFile* file);

/// Reads the whole file TQ2DFindFile found, where it was found (not looking its name up again),
/// into bytes. False after one line naming name and what is wrong, when it cannot be read.
bool TQ2DReadFound(const char* name, const TQ2DFoundFile& file, const char* what, TQString* bytes);

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
