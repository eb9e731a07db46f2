// tqpack: makes, changes, lists and extracts resource packs with the engine's own pack class.
//
// Arguments are UTF-8 (as the shell gives them); names stored in packs are GBK, as the engine
// reads them. Exit status: 0 success, 1 failure, 2 wrong usage.
#include <algorithm>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

#include "engine/cmorvainepack.h"
#include "platform/codepage/tqcodepage.h"

namespace fs = std::filesystem;

namespace {

const char kUsage[] =
    "usage: tqpack create PACK [FOLDER]   new empty pack (replacing PACK), then FOLDER's files\n"
    "       tqpack add PACK PATH [NAME]    a file (stored as NAME, default its file name)\n"
    "                                      or a folder (names relative to it, under NAME)\n"
    "       tqpack remove PACK NAME...\n"
    "       tqpack list PACK\n"
    "       tqpack extract PACK FOLDER [NAME...]\n";

int Fail(const std::string& message) {
    std::fprintf(stderr, "tqpack: %s\n", message.c_str());
    return 1;
}

bool Refuse(const std::string& message) {
    Fail(message);
    return false;
}

bool OpenPack(CMorvainePack& pack, const std::string& path) {
    return pack.SetPackage(tqplat::Utf8ToGbk(path).c_str()) || Refuse("cannot open pack " + path);
}

bool AddOne(CMorvainePack& pack, const fs::path& source, const std::string& name) {
    return pack.AddFile(tqplat::Utf8ToGbk(source.string()).c_str(), tqplat::Utf8ToGbk(name).c_str()) ||
           Refuse("cannot add " + source.string() + " as " + name +
                  " (unreadable, name taken, too long or pack full)");
}

// Every regular file below folder, in a fixed order, with its name relative to the folder.
std::vector<std::pair<fs::path, std::string>> FolderFiles(const fs::path& folder) {
    std::vector<std::pair<fs::path, std::string>> files;
    for (const fs::directory_entry& entry : fs::recursive_directory_iterator(folder))
        if (entry.is_regular_file())
            files.emplace_back(entry.path(), entry.path().lexically_relative(folder).generic_string());
    std::sort(files.begin(), files.end(), [](const auto& a, const auto& b) { return a.second < b.second; });
    return files;
}

bool AddFolder(CMorvainePack& pack, const fs::path& folder, const std::string& prefix) {
    for (const auto& file : FolderFiles(folder))
        if (!AddOne(pack, file.first, prefix.empty() ? file.second : prefix + "/" + file.second))
            return false;
    return true;
}

bool AddPath(CMorvainePack& pack, const fs::path& source, const std::string& name) {
    std::error_code error;
    if (fs::is_directory(source, error))
        return AddFolder(pack, source, name);
    return AddOne(pack, source, name.empty() ? source.filename().string() : name);
}

int Create(const std::vector<std::string>& args) {
    if (args.size() < 1 || args.size() > 2)
        return 2;
    {
        std::ofstream empty(args[0], std::ios::binary | std::ios::trunc);
        if (!empty)
            return Fail("cannot create " + args[0]);
    }
    CMorvainePack pack;
    if (!OpenPack(pack, args[0]))
        return 1;
    return args.size() == 1 || AddFolder(pack, args[1], "") ? 0 : 1;
}

int Add(const std::vector<std::string>& args) {
    if (args.size() < 2 || args.size() > 3)
        return 2;
    CMorvainePack pack;
    if (!OpenPack(pack, args[0]))
        return 1;
    return AddPath(pack, args[1], args.size() == 3 ? args[2] : "") ? 0 : 1;
}

int Remove(const std::vector<std::string>& args) {
    if (args.size() < 2)
        return 2;
    CMorvainePack pack;
    if (!OpenPack(pack, args[0]))
        return 1;
    for (size_t i = 1; i < args.size(); ++i)
        if (!pack.RemoveFile(tqplat::Utf8ToGbk(args[i]).c_str()))
            return Fail("cannot remove " + args[i] + " (not stored, or the pack is read-only)");
    return 0;
}

int List(const std::vector<std::string>& args) {
    if (args.size() != 1)
        return 2;
    CMorvainePack pack;
    if (!OpenPack(pack, args[0]))
        return 1;
    for (const auto& entry : pack.GetFileTable())
        std::printf("%10u  %s\n", entry.second.dwSize, tqplat::GbkToUtf8(entry.first).c_str());
    return 0;
}

// A stored name as a path below the extraction folder; false for names that would leave it.
bool ExtractTarget(const fs::path& folder, const std::string& name, fs::path* target) {
    std::string relative = tqplat::GbkToUtf8(name);
    std::replace(relative.begin(), relative.end(), '\\', '/');
    const fs::path path = fs::path(relative).lexically_normal();
    if (relative.empty() || path.is_absolute() || *path.begin() == "..")
        return false;
    *target = folder / path;
    return true;
}

bool ExtractOne(CMorvainePack& pack, const fs::path& folder, const std::string& name) {
    fs::path target;
    if (!ExtractTarget(folder, name, &target))
        return Refuse("refusing to extract " + tqplat::GbkToUtf8(name) + " outside the folder");
    const CMorvainePack::FileData data = pack.GetFile(name.c_str());
    if (!data.second)
        return Refuse("cannot read " + tqplat::GbkToUtf8(name));
    std::error_code error;
    fs::create_directories(target.parent_path(), error);
    std::ofstream out(target, std::ios::binary | std::ios::trunc);
    out.write(reinterpret_cast<const char*>(data.second), data.first);
    pack.ReleaseCache();
    if (!out.flush())
        return Refuse("cannot write " + target.string());
    return true;
}

int Extract(const std::vector<std::string>& args) {
    if (args.size() < 2)
        return 2;
    CMorvainePack pack;
    if (!OpenPack(pack, args[0]))
        return 1;
    std::vector<std::string> names;
    for (size_t i = 2; i < args.size(); ++i)
        names.push_back(tqplat::Utf8ToGbk(args[i]));
    if (names.empty())
        for (const auto& entry : pack.GetFileTable())
            names.push_back(entry.first);
    bool ok = true;
    for (const std::string& name : names)
        ok = ExtractOne(pack, args[1], name) && ok;
    return ok ? 0 : 1;
}

} // namespace

int main(int argc, char** argv) {
    if (argc < 2) {
        std::fputs(kUsage, stderr);
        return 2;
    }
    const std::string command = argv[1];
    const std::vector<std::string> args(argv + 2, argv + argc);
    int status = 2;
    try {
        if (command == "create")
            status = Create(args);
        else if (command == "add")
            status = Add(args);
        else if (command == "remove")
            status = Remove(args);
        else if (command == "list")
            status = List(args);
        else if (command == "extract")
            status = Extract(args);
    } catch (const fs::filesystem_error& error) {
        return Fail(error.what());
    }
    if (status == 2)
        std::fputs(kUsage, stderr);
    return status;
}
