// tqpack: makes, changes, lists and extracts resource packs with the engine's own pack class.
//
// Arguments are UTF-8 (as the shell gives them); names stored in packs are GBK, as the engine
// reads them. Exit status: 0 success, 1 failure, 2 wrong usage.
//
// A pack is never harmed: list and extract open it for reading only, and create builds the new
// pack in a file beside it that replaces it only once complete.
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

#include "base/tqlog.h"
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

// What the pack class logged since the last line printed (its reasons), without their context.
std::vector<std::string> g_packReasons;

// The pack class's lines become the reasons of the next failure printed, so that each failure
// gives one line.
void CollectPackReasons() {
    g_tqLogError.SetSink([](const std::string& line) {
        const std::string prefix = tqplat::GbkToUtf8(TQLOG_ERROR_PREFIX);
        const size_t at = line.find(prefix);
        g_packReasons.push_back(at == std::string::npos ? line : line.substr(at + prefix.size()));
    });
}

// Reasons that no failure took are printed as they are.
void PrintLeftReasons() {
    for (const std::string& reason : g_packReasons)
        std::fprintf(stderr, "tqpack: %s\n", reason.c_str());
    g_packReasons.clear();
}

// One line: the message, then in brackets the pack class's reasons, or `otherwise` when it gave none.
int Fail(const std::string& message, const std::string& otherwise = "") {
    std::string reasons;
    for (const std::string& reason : g_packReasons)
        reasons += (reasons.empty() ? "" : "; ") + reason;
    g_packReasons.clear();
    if (reasons.empty())
        reasons = otherwise;
    std::fprintf(stderr, "tqpack: %s%s\n", message.c_str(),
                 reasons.empty() ? "" : (" (" + reasons + ")").c_str());
    return 1;
}

bool Refuse(const std::string& message, const std::string& otherwise = "") {
    Fail(message, otherwise);
    return false;
}

bool OpenPack(CMorvainePack& pack, const std::string& path) {
    return pack.SetPackage(tqplat::Utf8ToGbk(path).c_str()) || Refuse("cannot open pack " + path);
}

// Opens an existing pack read-only; a missing, empty, unreadable or damaged file is refused.
bool OpenPackForReading(CMorvainePack& pack, const std::string& path) {
    std::error_code error;
    const fs::file_status status = fs::status(path, error);
    if (!fs::exists(status))
        return Refuse("no such pack: " + path);
    if (!fs::is_regular_file(status))
        return Refuse(path + " is not a file");
    if (fs::file_size(path, error) == 0)
        return Refuse(path + " is empty, not a pack");
    if (access(path.c_str(), R_OK) != 0)
        return Refuse("cannot read " + path);
    return pack.SetPackage(tqplat::Utf8ToGbk(path).c_str(), true) ||
           Refuse(path + " is not a pack or is damaged");
}

// True when a component of name is "." or "..": the engine resolves those before it asks a pack,
// so a file stored under such a name could never be found.
bool HasDotComponent(const std::string& name) {
    size_t start = 0;
    for (;;) {
        const size_t end = name.find_first_of("/\\", start);
        const std::string component = name.substr(start, end - start);
        if (component == "." || component == "..")
            return true;
        if (end == std::string::npos)
            return false;
        start = end + 1;
    }
}

bool AddOne(CMorvainePack& pack, const fs::path& source, const std::string& name) {
    if (HasDotComponent(name))
        return Refuse("cannot add " + source.string() + " as " + name +
                      " (a stored name has no . or .. component)");
    return pack.AddFile(tqplat::Utf8ToGbk(source.string()).c_str(), tqplat::Utf8ToGbk(name).c_str()) ||
           Refuse("cannot add " + source.string() + " as " + name,
                  "unreadable, name taken, too long or pack full");
}

bool IsSameFile(const fs::path& a, const fs::path& b) {
    std::error_code error;
    return fs::equivalent(a, b, error);
}

// Every regular file below folder but the pack itself, in a fixed order, with its name relative to
// the folder.
std::vector<std::pair<fs::path, std::string>> FolderFiles(const fs::path& folder, const fs::path& pack) {
    std::vector<std::pair<fs::path, std::string>> files;
    for (const fs::directory_entry& entry : fs::recursive_directory_iterator(folder))
        if (entry.is_regular_file() && !IsSameFile(entry.path(), pack))
            files.emplace_back(entry.path(), entry.path().lexically_relative(folder).generic_string());
    std::sort(files.begin(), files.end(), [](const auto& a, const auto& b) { return a.second < b.second; });
    return files;
}

bool AddFiles(CMorvainePack& pack, const std::vector<std::pair<fs::path, std::string>>& files,
              const std::string& prefix) {
    for (const auto& file : files)
        if (!AddOne(pack, file.first, prefix.empty() ? file.second : prefix + "/" + file.second))
            return false;
    return true;
}

bool AddPath(CMorvainePack& pack, const fs::path& packPath, const fs::path& source, const std::string& name) {
    std::error_code error;
    if (fs::is_directory(source, error))
        return AddFiles(pack, FolderFiles(source, packPath), name);
    if (IsSameFile(source, packPath))
        return Refuse("cannot add " + packPath.string() + " to itself");
    return AddOne(pack, source, name.empty() ? source.filename().string() : name);
}

// An empty new file beside target (a link's target for a link), made with the permissions new
// files get; false when none can be made.
bool MakeFileBeside(const fs::path& target, std::string* path) {
    std::string name = (target.parent_path() / ("." + target.filename().string() + ".XXXXXX")).string();
    const int fd = mkstemp(name.data());
    if (fd < 0)
        return false;
    close(fd);
    const mode_t mask = umask(0);
    umask(mask);
    std::error_code error;
    fs::permissions(name, static_cast<fs::perms>(0666 & ~mask), error);
    *path = name;
    return true;
}

// Gives the file the permissions of the pack it replaces, makes its bytes durable and renames it
// over the pack.
bool Replace(const std::string& path, const fs::path& target) {
    std::error_code error;
    const fs::file_status old = fs::status(target, error);
    if (fs::exists(old))
        fs::permissions(path, old.permissions(), error);
    const int fd = open(path.c_str(), O_RDONLY);
    const bool synced = fd >= 0 && fsync(fd) == 0;
    if (fd >= 0)
        close(fd);
    return synced && std::rename(path.c_str(), target.c_str()) == 0;
}

bool WritePack(const std::string& path, const std::vector<std::pair<fs::path, std::string>>& files) {
    CMorvainePack pack;
    return OpenPack(pack, path) && AddFiles(pack, files, "");
}

// Everything is checked and written to a new file first, which replaces the pack only once
// complete: a failure leaves the old pack as it was, byte for byte.
int Create(const std::vector<std::string>& args) {
    if (args.size() < 1 || args.size() > 2)
        return 2;
    std::vector<std::pair<fs::path, std::string>> files;
    if (args.size() == 2) {
        std::error_code error;
        if (!fs::is_directory(args[1], error))
            return Fail("no such folder: " + args[1]);
        files = FolderFiles(args[1], args[0]);
    }
    const fs::path target = fs::is_symlink(args[0]) ? fs::canonical(args[0]) : fs::path(args[0]);
    std::string path;
    if (!MakeFileBeside(target, &path))
        return Fail("cannot create a file beside " + args[0]);
    if (!WritePack(path, files)) {
        std::remove(path.c_str());
        return 1;
    }
    if (!Replace(path, target)) {
        std::remove(path.c_str());
        return Fail("cannot replace " + args[0]);
    }
    return 0;
}

int Add(const std::vector<std::string>& args) {
    if (args.size() < 2 || args.size() > 3)
        return 2;
    CMorvainePack pack;
    if (!OpenPack(pack, args[0]))
        return 1;
    return AddPath(pack, args[0], args[1], args.size() == 3 ? args[2] : "") ? 0 : 1;
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
    if (!OpenPackForReading(pack, args[0]))
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
    if (!OpenPackForReading(pack, args[0]))
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
    CollectPackReasons();
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
    PrintLeftReasons();
    if (status == 2)
        std::fputs(kUsage, stderr);
    return status;
}
