/// @file
/// ResDesc: the descriptor of one resource declared by a resource script. It names the resource,
/// holds its group and, once created, its handle (a device handle or the address of a helper object).
/// Descriptors of one type form a singly linked list owned by TQGfxResourceManager.
///
/// Every descriptor holds one device reference for its whole life, copies included.
#pragma once

#include <string>

#include "device/tqgfxdevice.h"

class TQGfxResourceManager;

/// Length of names and file names in descriptors, terminator included.
#define TQGFX_RES_NAME_SIZE 128

/// Resource types: list index in the manager and the script keyword's code minus 11.
enum TQGfxResType {
    TQGFX_RES_SCRIPT = 0,
    TQGFX_RES_RESOURCE = 1,
    TQGFX_RES_TEXTURE = 2,
    TQGFX_RES_EFFECT = 3,
    TQGFX_RES_MUSIC = 4,
    TQGFX_RES_STREAM = 5,
    TQGFX_RES_TARGET = 6,
    TQGFX_RES_SPRITE = 7,
    TQGFX_RES_ANIMATION = 8,
    TQGFX_RES_FONT = 9,
    TQGFX_RES_PARTICLE = 10,
    TQGFX_RES_DISTORT = 11,
    TQGFX_RES_TYPES = 12
};

/// Base of a resource descriptor; see resdesc.h.
class ResDesc {
public:
    ResDesc();
    /// Copies name, group, handle, link and packnames; takes its own device reference.
    ResDesc(const ResDesc& other);
    ResDesc& operator=(const ResDesc& other) = delete;

    /// Creates the resource when it does not exist yet and returns its handle (0 on failure).
    virtual DWORD_PTR Get(TQGfxResourceManager* manager) = 0;
    /// Frees the resource; the handle becomes 0.
    virtual void Free() = 0;
    /// Virtual, so that the manager can delete any descriptor through its base; it follows Get and
    /// Free in the table of virtual operations.
    virtual ~ResDesc();

    /// Stores name, cut to the field's size.
    void SetName(const char* name);

    /// The resource's name in the script.
    char name[TQGFX_RES_NAME_SIZE];
    /// Group number (0: none), for freeing resources by group.
    int resgroup;
    /// Device handle or helper object address, 0 before Get.
    DWORD_PTR handle;
    /// Next descriptor of the same type.
    ResDesc* next;
    /// True when a script read from a zip pack declared it (or a script such a script included, or
    /// its base was such a descriptor): the files it names are kept to the game's folders
    /// (tqplat::GameFolders), as any name a pack holds.
    bool packnames;

protected:
    /// Returns the loaded handle as it is; when it is 0, first writes one line on the error log naming
    /// this resource, its file and the disk path tried after the device's zip packs, or the path
    /// refused to a pack's names.
    DWORD_PTR CheckLoaded(DWORD_PTR loaded, const char* filename) const;

    /// The device reference.
    TQGfxDevice* m_pDevice;
};

/// Why the device's last read of a file failed, when that is known: the path refused to a pack's
/// names (in the current tqplat::OpenScope) or the device's reason (Resource_LoadProblem); else empty.
std::string TQGfxWhyNotRead(TQGfxDevice* device);

/// Copies text into a name field of TQGFX_RES_NAME_SIZE bytes, cutting it when longer.
void TQGfxCopyResName(char* field, const char* text);
