#include "engine/tq2dpack.h"

#include <cstring>
#include <map>
#include <memory>
#include <string>
#include <vector>

#include "engine/cmorvainepack.h"
#include "platform/win32/tqopenscope.h"
#include "platform/win32/tqpath.h"

namespace {

// Registered packs by normalised path; owns them and closes those left at unload. The folder of
// each is a game folder while it is registered.
class PackRegistry {
public:
    PackRegistry() = default;
    PackRegistry(const PackRegistry&) = delete;
    PackRegistry& operator=(const PackRegistry&) = delete;
    ~PackRegistry() { RemoveAll(); }

    void Put(const std::string& key, CMorvainePack* pack, const char* path) {
        CMorvainePack*& slot = m_packs[key];
        delete slot;
        slot = pack;
        m_folders[key] = std::make_unique<tqplat::GameFolder>(path);
    }

    bool Remove(const std::string& key) {
        const auto found = m_packs.find(key);
        if (found == m_packs.end())
            return false;
        delete found->second;
        m_packs.erase(found);
        m_folders.erase(key);
        return true;
    }

    void RemoveAll() {
        for (auto& entry : m_packs)
            delete entry.second;
        m_packs.clear();
        m_folders.clear();
    }

    const std::map<std::string, CMorvainePack*>& Packs() const { return m_packs; }

private:
    std::map<std::string, CMorvainePack*> m_packs;
    std::map<std::string, std::unique_ptr<tqplat::GameFolder>> m_folders;
};

// Built on first use, so it is destroyed before the class pools its packs come from.
PackRegistry& Registry() {
    static PackRegistry registry;
    return registry;
}

// The registry key of a pack path; false for a NULL, empty or over-long path.
bool PackKey(const char* path, std::string* key) {
    const size_t length = path ? std::strlen(path) : 0;
    if (length == 0 || length > MORVAINE_PACK_MAX_PATH)
        return false;
    char buffer[MORVAINE_PACK_MAX_PATH + 1];
    std::memcpy(buffer, path, length + 1);
    CMorvainePack::NormalizePath(buffer);
    key->assign(buffer);
    return true;
}

// The path a pack is opened under: the caller's path when it names a file, else the key itself,
// which names the same file relative to the working folder ("/DATA\A.PAK" finds data/a.pak).
const char* PackOpenPath(const char* path, const std::string& key) {
    std::string resolved;
    return tqplat::ResolveExistingPath(path, &resolved) ? path : key.c_str();
}

// The name a pack stores the file under: "." and ".." resolved as the path resolver does, "/"
// between components, unless a ".." climbs above the packs' root (no stored name does; the name is
// then asked for as written and not found).
std::string StoredName(const char* name) {
    const std::vector<std::string> components = tqplat::PathComponents(name, std::strlen(name), false);
    if (!components.empty() && components[0] == "..")
        return name;
    std::string stored;
    for (const std::string& component : components)
        stored += (stored.empty() ? "" : "/") + component;
    return stored;
}

// The registered pack holding the stored name (the first in key order), or none.
std::map<std::string, CMorvainePack*>::const_iterator PackHolding(const std::string& stored) {
    const std::map<std::string, CMorvainePack*>& packs = Registry().Packs();
    auto entry = packs.begin();
    while (entry != packs.end() && !entry->second->HasFile(stored.c_str()))
        ++entry;
    return entry;
}

} // namespace

int TQ2DPackAdd(const char* path) {
    std::string key;
    if (!PackKey(path, &key))
        return 0;
    CMorvainePack* pack = new CMorvainePack;
    if (!pack)
        return 0;
    const char* openPath = PackOpenPath(path, key);
    if (!pack->SetPackage(openPath)) {
        delete pack;
        return 0;
    }
    Registry().Put(key, pack, openPath);
    return 1;
}

int TQ2DPackRemove(const char* path) {
    std::string key;
    return PackKey(path, &key) && Registry().Remove(key) ? 1 : 0;
}

void TQ2DPackRemoveAll() {
    Registry().RemoveAll();
}

int TQ2DPackGetFile(const char* name, TQString& out) {
    if (!name)
        return 0;
    const std::string stored = StoredName(name);
    const auto entry = PackHolding(stored);
    if (entry == Registry().Packs().end())
        return 0;
    CMorvainePack* pack = entry->second;
    const CMorvainePack::FileData file = pack->GetFile(stored.c_str());
    const bool copied = file.second && out.SetBuffer(file.first);
    if (copied)
        std::memcpy(out.GetBuffer(), file.second, file.first);
    pack->ReleaseCache();
    return copied ? 1 : 0;
}

bool TQ2DPackHasFile(const char* name) {
    return TQ2DPackHolding(name) != nullptr;
}

const char* TQ2DPackHolding(const char* name) {
    if (!name)
        return nullptr;
    const auto entry = PackHolding(StoredName(name));
    return entry == Registry().Packs().end() ? nullptr : entry->second->GetPath();
}

std::string TQ2DPackEntryOf(const char* name) {
    if (!name)
        return std::string();
    const std::string stored = StoredName(name);
    const auto entry = PackHolding(stored);
    return entry == Registry().Packs().end() ? std::string() : "pack:" + entry->first + "|" + stored;
}

const char* TQ2DResourceNamePart(const char* name) {
    const char* text = name ? name : "";
    const char* afterDoubleSlash = std::strstr(text, "//");
    return afterDoubleSlash ? afterDoubleSlash + 2 : text;
}

TQString TQ2DNormalizeResourceName(const char* name) {
    TQString normalized(TQ2DResourceNamePart(name));
    normalized.MakeTrimUpper();
    if (normalized.GetAt(0) == '/') {
        normalized.SetAt(0, ' ');
        normalized.Trim();
    }
    return normalized;
}
