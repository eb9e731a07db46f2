#include "base/tqencryptdata.h"

#include <mutex>

namespace {

struct KeyTable {
    const unsigned char* data = nullptr;
    DWORD size = 0;
};

std::mutex g_tableMutex;
KeyTable g_protocolTable;
KeyTable g_stringTable;

void StoreTable(KeyTable& table, const void* data, DWORD size) {
    std::lock_guard<std::mutex> lock(g_tableMutex);
    bool set = data && size;
    table.data = set ? static_cast<const unsigned char*>(data) : nullptr;
    table.size = set ? size : 0;
}

const unsigned char* LoadTable(const KeyTable& table, DWORD* size) {
    std::lock_guard<std::mutex> lock(g_tableMutex);
    if (size)
        *size = table.size;
    return table.data;
}

} // namespace

void TQSetProtocolEncryptData(const void* table, DWORD size) {
    StoreTable(g_protocolTable, table, size);
}

void TQSetStringEncryptData(const void* table, DWORD size) {
    StoreTable(g_stringTable, table, size);
}

const unsigned char* TQGetProtocolEncryptData(DWORD* size) {
    return LoadTable(g_protocolTable, size);
}

const unsigned char* TQGetStringEncryptData(DWORD* size) {
    return LoadTable(g_stringTable, size);
}
