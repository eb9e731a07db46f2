/// @class TQGfxResourceManager
/// TQGfxResourceManager: keeps the resources a resource script declares, one list of descriptors per
/// resource type, and creates each resource the first time it is asked for by name. Resources can be
/// created ahead of time (Precache) and freed (Purge) by group; group 0 means all.
///
/// Raw files, textures, sounds, music and streams that no script declares are loaded directly by
/// name and registered. The manager holds one device reference for its whole life; it cannot be
/// copied, since it owns its descriptors and their resources.
/// Scripts and the files they name are read through the device (TQGfxDevice::Resource_Load: its zip
/// packs, else the disk), not from the engine's resource packs. The names a script from a zip pack
/// holds (ResDesc::packnames) reach only the zip packs and the game's folders (tqplat::GameFolders),
/// as the names of any pack do: a read outside is refused with one line.
#pragma once

#include "helpers/resdesc.h"

class TQGfxSprite;
class TQGfxAnimation;
class TQGfxFont;
class TQGfxParticleSystem;
class TQGfxDistortionMesh;

class TQGfxResourceManager {
public:
    /// Loads `script` (NULL for none).
    explicit TQGfxResourceManager(const char* script = nullptr);
    TQGfxResourceManager(const TQGfxResourceManager&) = delete;
    TQGfxResourceManager& operator=(const TQGfxResourceManager&) = delete;
    ~TQGfxResourceManager();

    /// Parses `script` and its includes into the lists (NULL does nothing). The record of parsed
    /// scripts is emptied afterwards, so the same script can be loaded again after ChangeScript.
    void LoadScript(const char* script);
    /// Frees and forgets everything, then loads `script`.
    void ChangeScript(const char* script);
    /// Frees every resource and deletes every descriptor.
    void RemoveAll();
    /// Creates every resource of `group` (all for 0), list by list in list order, stopping at the
    /// first failure. False when one failed.
    bool Precache(int group = 0);
    /// Frees every resource of `group` (all for 0); the descriptors stay. Particle systems that
    /// draw with a sprite freed here are left without a sprite (they draw nothing until created anew).
    void Purge(int group = 0);

    /// Puts `desc` at the front of list `type` and takes ownership (an invalid type deletes it).
    void AddRes(int type, ResDesc* desc);
    /// The first descriptor of list `type` named exactly `name`, or NULL. Names are kept to 127
    /// bytes, so longer names are compared by those.
    ResDesc* FindRes(int type, const char* name) const;

    /// The file's bytes (its size is not reported), or NULL.
    void* GetResource(const char* name);
    /// Device handles; 0 when neither declared nor loadable. Undeclared names of 128 bytes or more
    /// are refused with a log line, since a descriptor holds 127.
    DWORD GetTexture(const char* name);
    /// See GetTexture.
    DWORD GetEffect(const char* name);
    /// See GetTexture.
    DWORD GetMusic(const char* name);
    /// See GetTexture.
    DWORD GetStream(const char* name);
    /// Declared resources only; 0 or NULL when not declared or not creatable.
    DWORD GetTarget(const char* name);
    /// See GetTarget.
    TQGfxSprite* GetSprite(const char* name);
    /// See GetTarget.
    TQGfxAnimation* GetAnimation(const char* name);
    /// See GetTarget.
    TQGfxFont* GetFont(const char* name);
    /// See GetTarget.
    TQGfxParticleSystem* GetParticleSystem(const char* name);
    /// See GetTarget.
    TQGfxDistortionMesh* GetDistortionMesh(const char* name);

    /// Heads of the lists, one per type (TQGfxResType).
    ResDesc* res[TQGFX_RES_TYPES];

private:
    // Frees and deletes every descriptor of one list.
    void ClearList(int type);
    // desc's resource, made when it does not exist yet (its Get); 0 on failure.
    DWORD_PTR Create(ResDesc* desc);
    // A declared resource's handle, or 0.
    DWORD_PTR GetDeclared(int type, const char* name);
    // A declared file resource, else the file loaded by name and registered under it.
    DWORD_PTR GetFileResource(int type, const char* name);

    TQGfxDevice* m_pDevice;
};
