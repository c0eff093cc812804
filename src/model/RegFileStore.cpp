#include "model/RegFileStore.h"

#include <cerrno>
#include <ctime>
#include <filesystem>
#include <sys/stat.h>

#include "log/Log.h"
#include "model/SafeFile.h"

namespace {

// Creates every missing folder of `dir`, for this user only.
bool MakeFolders(const std::string& dir)
{
    if (dir.empty()) return true;
    std::string cur;
    for (size_t i = 0; i < dir.size(); ++i) {
        cur.push_back(dir[i]);
        if ((dir[i] == '/' && i > 0) || i + 1 == dir.size()) {
            if (::mkdir(cur.c_str(), 0700) != 0 && errno != EEXIST) return false;
        }
    }
    return true;
}

bool OnlyBlanks(const std::string& text) { return text.find_first_not_of(" \t\r\n") == std::string::npos; }

void Warn(const std::string& line) { Log::Write(Log::Category::Store, Log::Level::Warning, line); }

// Lays what `now` changed against `before` over `target`: new and changed
// values are written, removed values and keys removed; the rest of `target`
// stays as it is.
void ApplyChanges(const MemoryRegStore& before, const MemoryRegStore& now, MemoryRegStore& target)
{
    struct Todo {
        const MemoryRegStore::Key* key;
        std::string path;
    };
    std::vector<Todo> stack;
    for (const auto& sub : now.Root().subkeys) stack.push_back({sub.get(), sub->name});
    while (!stack.empty()) {
        Todo t = std::move(stack.back());
        stack.pop_back();
        const MemoryRegStore::Key* old = before.FindKey(t.path);
        if (!old) target.CreateKey(t.path);
        for (const auto& [name, value] : t.key->values) {
            if (old) {
                const auto* was = MemoryRegStore::FindValue(*old, name);
                if (was && was->second == value) continue;
            }
            target.CreateKey(t.path);
            target.WriteValue(t.path, name, value);
        }
        if (old)
            for (const auto& [name, value] : old->values)
                if (!MemoryRegStore::FindValue(*t.key, name)) target.DeleteValue(t.path, name);
        for (const auto& sub : t.key->subkeys) stack.push_back({sub.get(), t.path + "\\" + sub->name});
    }
    for (const auto& sub : before.Root().subkeys) stack.push_back({sub.get(), sub->name});
    while (!stack.empty()) {
        Todo t = std::move(stack.back());
        stack.pop_back();
        if (!now.KeyExists(t.path)) {
            target.DeleteKey(t.path);
            continue;
        }
        for (const auto& sub : t.key->subkeys) stack.push_back({sub.get(), t.path + "\\" + sub->name});
    }
}

}  // namespace

RegFileStore::RegFileStore(std::string path) : path_(std::move(path))
{
    trouble_.path = path_;
    std::string text;
    // A file known to be too large is not read at all (a stat never blocks).
    std::error_code ec;
    const bool tooLarge =
        std::filesystem::is_regular_file(path_, ec) && std::filesystem::file_size(path_, ec) > MaxFileSize && !ec;
    const SafeFile::Status status = tooLarge ? SafeFile::Status::TooLarge : SafeFile::Read(path_, text, MaxFileSize);
    switch (status) {
    case SafeFile::Status::Ok: break;
    case SafeFile::Status::NotFound: return;
    case SafeFile::Status::TooLarge:
        Clear();
        Warn("the store " + path_ + " is larger than " + std::to_string(MaxFileSize) + " bytes");
        SetAside(StoreTrouble::Kind::TooLarge);
        return;
    default:
        // Not a file, or not ours to read: leave it alone and never write over it.
        writable_ = false;
        trouble_.kind = StoreTrouble::Kind::Unreadable;
        trouble_.reason = SafeFile::StatusText(status);
        Warn("cannot read the store " + path_ + ": " + trouble_.reason);
        return;
    }
    if (OnlyBlanks(text)) {
        written_ = text;
        return;
    }
    if (!RegText::Parse(text, *this, &layout_)) {
        Warn("cannot read the store " + path_ + ": not a registry export");
        SetAside(StoreTrouble::Kind::Damaged);
        return;
    }
    loaded_ = true;
    if (layout_.unreadable)
        Warn("the store " + path_ + " has " + std::to_string(layout_.unreadable) +
             " lines that cannot be read; they are kept as they stand");
    base_.CopyFrom(*this);
    written_ = text;
}

void RegFileStore::SetAside(StoreTrouble::Kind kind)
{
    char stamp[32] = "";
    const std::time_t now = std::time(nullptr);
    if (const std::tm* local = std::localtime(&now)) std::strftime(stamp, sizeof stamp, "%Y-%m-%d-%H%M%S", local);
    std::string aside = path_ + ".damaged-" + stamp;
    std::error_code ec;
    for (int n = 2; std::filesystem::symlink_status(aside, ec).type() != std::filesystem::file_type::not_found; ++n)
        aside = path_ + ".damaged-" + stamp + "-" + std::to_string(n);
    std::filesystem::rename(path_, aside, ec);
    if (ec) {
        writable_ = false;
        trouble_.kind = StoreTrouble::Kind::Unreadable;
        trouble_.reason = ec.message();
        Warn("cannot move the store " + path_ + " aside: " + trouble_.reason);
        return;
    }
    trouble_.kind = kind;
    trouble_.aside = aside;
    Warn("the store " + path_ + " was moved aside to " + aside);
}

bool RegFileStore::Commit()
{
    // A file that could not be read was reported when the store was made.
    if (!writable_) return false;
    std::string text = RegText::Serialize(*this, &layout_);
    if (text == written_) return true;

    // Another program may have written the file since: keep what it wrote
    // and lay only this store's own changes over it.
    std::string disk;
    const SafeFile::Status now = SafeFile::Read(path_, disk, MaxFileSize);
    if (now == SafeFile::Status::Ok && disk != written_ && !OnlyBlanks(disk)) {
        MemoryRegStore theirs;
        RegLayout theirLayout;
        if (RegText::Parse(disk, theirs, &theirLayout)) {
            ApplyChanges(base_, *this, theirs);
            CopyFrom(theirs);
            layout_ = std::move(theirLayout);
            text = RegText::Serialize(*this, &layout_);
            Log::Write(Log::Category::Store, Log::Level::Info,
                       "the store " + path_ + " was changed by another program; changes merged");
        } else {
            SetAside(StoreTrouble::Kind::Damaged);
            if (!writable_) return false;
        }
    } else if (now == SafeFile::Status::TooLarge) {
        SetAside(StoreTrouble::Kind::TooLarge);
        if (!writable_) return false;
    }

    const std::string dir = path_.substr(0, path_.find_last_of('/') == std::string::npos ? 0 : path_.find_last_of('/'));
    if (!MakeFolders(dir)) {
        Warn("cannot write the store " + path_ + ": cannot make its folder");
        return false;
    }
    const SafeFile::Status status = SafeFile::WriteAtomic(path_, text.data(), text.size());
    if (status != SafeFile::Status::Ok) {
        Warn("cannot write the store " + path_ + ": " + SafeFile::StatusText(status));
        return false;
    }
    written_ = std::move(text);
    base_.CopyFrom(*this);
    return true;
}
