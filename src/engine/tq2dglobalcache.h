/// @file
/// The base of the engine's reference-counted caches (textures, sounds, music): entries {count,
/// device handle, the file it was loaded from (TQ2DFindFile)} kept in one AVL tree per entry class, ordered
/// by name, each entry held by the objects that use its handle.
///
/// An entry is either cached (in the tree, found by name) or private (not in the tree: a handle
/// loaded from memory, which copies of its object share). Either way the last Release destroys it,
/// and the entry class's destructor frees the handle. Entry classes derive from
/// TQ2DGlobalCacheTmpl<Entry> and define that destructor. Host's thread only.
///
/// A handle belongs to the engine start-up whose device made it. An entry that outlives its engine
/// (its holders kept it over TQ2DClose) is never freed on, nor found for, a later engine: the first
/// load of its name in the new engine renews it with the new handle.
#pragma once

#include <map>
#include <string>

#include "base/tqstring.h"
#include "containers/tqavltreetmpl.h"
#include "engine/tq2dfilelookup.h"
#include "engine/tq2dglobal.h"
#include "engine/tq2dpacknamescope.h"

/// Base of a reference-counted cache entry; see tq2dglobalcache.h.
template <class Entry> class TQ2DGlobalCacheTmpl {
public:
    /// Ordering of the tree: names by bytes; a NULL key is below every entry.
    int operator-(Entry& other) { return m_strName.Compare(other.m_strName.GetString(), 0); }
    /// Ordering against a name key; a NULL key is below every entry.
    int operator-(void* key) { return key ? m_strName.Compare(static_cast<const char*>(key), 0) : 1; }

    /// A new cached entry for name with count 1, or NULL for handle 0 or when the tree refuses it.
    /// A refused entry is discarded without freeing the handle: the caller still owns it. An entry
    /// of an earlier engine under that name takes the handle and one more reference instead.
    static Entry* Add(const TQString& name, DWORD handle);
    /// A new private entry with count 1 (NULL for handle 0 or no memory).
    static Entry* AddPrivate(DWORD handle);
    /// The cached entry of name with one more reference, or NULL (also for an earlier engine's).
    static Entry* Find(const TQString& name);
    /// The cached entry the normalised name key last led to (Remember) with one more reference, or
    /// NULL: a name once found is not looked up again while its file stays loaded.
    static Entry* FindByName(const TQString& key);
    /// Notes that the normalised name key leads to the file identity (TQ2DFoundFile::identity).
    static void Remember(const TQString& key, const TQString& identity) {
        Names()[key.GetString()] = identity.GetString();
    }
    /// One more reference on entry (a copy of its holder). NULL is ignored.
    static void AddRef(Entry* entry);
    /// One reference less; the last one destroys the entry (removing it from the tree when cached).
    /// NULL is ignored.
    static void Release(Entry* entry);
    /// Number of cached entries.
    static DWORD CachedCount() { return CachedCounter(); }

    /// True when entry holds handle for the running engine: an object whose handle is not live any
    /// more (its engine was closed since) has nothing to use.
    static bool IsLive(const Entry* entry, DWORD handle) {
        return entry && entry->HoldsLiveHandle() && entry->m_dwHandle == handle;
    }
    /// True when the handle was made by the running engine's device, so that it is to be freed.
    bool HoldsLiveHandle() const { return g_pTQ2DDevice && m_dwHandle && m_dwSerial == g_dwTQ2DEngineSerial; }

    /// Holders of the entry.
    int m_nRef = 0;
    /// The device handle.
    DWORD m_dwHandle = 0;
    /// The file (TQ2DFoundFile::identity; empty for a private entry).
    TQString m_strName;
    /// True while the entry is in the tree.
    bool m_bCached = false;
    DWORD m_dwSerial = 0; ///< the engine start-up that made the handle

private:
    // Built on first use, so it goes before the entries' class pool at unload.
    static TQAVLTreeTmpl<Entry>& Cache() {
        static TQAVLTreeTmpl<Entry> cache;
        return cache;
    }
    // The file each normalised name led to.
    static std::map<std::string, std::string>& Names() {
        static std::map<std::string, std::string> names;
        return names;
    }
    static DWORD& CachedCounter() {
        static DWORD count = 0;
        return count;
    }
    static Entry* NewEntry(DWORD handle);
    bool IsStale() const { return m_dwSerial != g_dwTQ2DEngineSerial; }
    // Gives a stale entry the current engine's handle and one more reference.
    static Entry* Renew(Entry* entry, DWORD handle);
    // Destroys an entry that no holder has and that owns nothing.
    static void Discard(Entry* entry);
};

template <class Entry> Entry* TQ2DGlobalCacheTmpl<Entry>::NewEntry(DWORD handle) {
    if (!handle)
        return nullptr;
    Entry* entry = new Entry;
    if (entry) {
        entry->m_dwHandle = handle;
        entry->m_nRef = 1;
        entry->m_dwSerial = g_dwTQ2DEngineSerial;
    }
    return entry;
}

template <class Entry> Entry* TQ2DGlobalCacheTmpl<Entry>::Renew(Entry* entry, DWORD handle) {
    entry->m_dwHandle = handle;
    entry->m_dwSerial = g_dwTQ2DEngineSerial;
    ++entry->m_nRef;
    return entry;
}

template <class Entry> void TQ2DGlobalCacheTmpl<Entry>::Discard(Entry* entry) {
    entry->m_nRef = 0;
    entry->m_dwHandle = 0;
    delete entry;
}

template <class Entry> Entry* TQ2DGlobalCacheTmpl<Entry>::Add(const TQString& name, DWORD handle) {
    if (!handle)
        return nullptr;
    if (Entry* stored = Cache().Find(const_cast<char*>(name.GetString())))
        return stored->IsStale() ? Renew(stored, handle) : nullptr;
    Entry* entry = NewEntry(handle);
    if (!entry)
        return nullptr;
    entry->m_strName = name;
    entry->m_bCached = true;
    if (!Cache().Insert(entry, true)) {
        Discard(entry);
        return nullptr;
    }
    ++CachedCounter();
    return entry;
}

template <class Entry> Entry* TQ2DGlobalCacheTmpl<Entry>::AddPrivate(DWORD handle) {
    return NewEntry(handle);
}

template <class Entry> Entry* TQ2DGlobalCacheTmpl<Entry>::Find(const TQString& name) {
    Entry* entry = Cache().Find(const_cast<char*>(name.GetString()));
    if (!entry || entry->IsStale())
        return nullptr;
    ++entry->m_nRef;
    return entry;
}

template <class Entry> Entry* TQ2DGlobalCacheTmpl<Entry>::FindByName(const TQString& key) {
    const auto found = Names().find(key.GetString());
    return found == Names().end() ? nullptr : Find(TQString(found->second.c_str()));
}

template <class Entry> void TQ2DGlobalCacheTmpl<Entry>::AddRef(Entry* entry) {
    if (entry)
        ++entry->m_nRef;
}

template <class Entry> void TQ2DGlobalCacheTmpl<Entry>::Release(Entry* entry) {
    if (!entry || --entry->m_nRef > 0)
        return;
    if (!entry->m_bCached) {
        delete entry;
        return;
    }
    --CachedCounter();
    if (!Cache().Delete(entry))
        delete entry; // not found in the tree: still destroyed once, its handle freed
}

/// The cached entry of the file name (normalised key) leads to, with one more reference, or NULL
/// with *file what TQ2DFindFile answered (its identity empty when nothing was found; the line is
/// logged). A name of the game's found before leads to its file without being looked up again; the
/// names of a pack (TQ2DPackNameScope) are looked up each time, so they stay confined, and are not
/// remembered, so a pack's many spellings cost no memory.
template <class Entry>
Entry* TQ2DFindCached(const char* name, const TQString& key, const char* what, TQ2DFoundFile* file) {
    file->identity.clear();
    const bool gameNames = !TQ2DPackNameScope::Active();
    Entry* entry = gameNames ? Entry::FindByName(key) : nullptr;
    if (entry || !TQ2DFindFile(name, key, what, file)) {
        file->identity.clear();
        return entry;
    }
    const TQString identity(file->identity.c_str());
    if (gameNames)
        Entry::Remember(key, identity);
    return Entry::Find(identity);
}
