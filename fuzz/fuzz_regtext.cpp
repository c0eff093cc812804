// Any bytes as the per-user store's file: read or refused as a whole, never a
// crash. What was read writes back to a text that reads to the same values
// and keeps every line the reader did not take in, in the same order; so it
// does after the program changes a value and adds a key.
#include <algorithm>
#include <cstdlib>
#include <string>
#include <vector>

#include "model/MemoryRegStore.h"
#include "model/RegText.h"

namespace {

// The lines of `layout` that must come back as they were.
std::vector<std::string> KeptLines(const RegLayout& layout)
{
    std::vector<std::string> out;
    for (const auto& line : layout.lines)
        if (!(line.kind == RegLayout::Line::Kind::Value && line.known)) out.push_back(line.text);
    return out;
}

// Whether `part` appears in `whole` in its order.
bool InOrder(const std::vector<std::string>& part, const std::vector<std::string>& whole)
{
    size_t i = 0;
    for (const auto& line : whole)
        if (i < part.size() && line == part[i]) ++i;
    return i == part.size();
}

// Every key and value of `store`, in an order that does not depend on the
// order they were written in.
std::vector<std::string> Values(const MemoryRegStore& store)
{
    std::vector<std::string> out;
    std::vector<std::pair<const MemoryRegStore::Key*, std::string>> stack{{&store.Root(), ""}};
    while (!stack.empty()) {
        auto [key, path] = stack.back();
        stack.pop_back();
        out.push_back(path);
        for (const auto& [name, v] : key->values)
            out.push_back(path + '\0' + MemoryRegStore::Fold(name) + '\0' + char('0' + int(v.type)) + v.text +
                          std::string(v.bytes.begin(), v.bytes.end()) + std::to_string(v.dword));
        for (const auto& sub : key->subkeys)
            stack.push_back({sub.get(), path + "\\" + MemoryRegStore::Fold(sub->name)});
    }
    std::sort(out.begin(), out.end());
    return out;
}

void Reread(const std::string& text, const MemoryRegStore& values, const std::vector<std::string>& kept,
            const RegLayout& form)
{
    MemoryRegStore again;
    RegLayout layout;
    if (!RegText::Parse(text, again, &layout)) std::abort();
    if (Values(again) != Values(values)) std::abort();
    if (layout.encoding != form.encoding || layout.crlf != form.crlf) std::abort();
    std::vector<std::string> texts;
    for (const auto& line : layout.lines) texts.push_back(line.text);
    if (!InOrder(kept, texts)) std::abort();
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    const std::string text(reinterpret_cast<const char*>(data), size);
    MemoryRegStore store;
    RegLayout layout;
    if (!RegText::Parse(text, store, &layout)) {
        if (!store.SubKeyNames("").empty() || !layout.lines.empty()) std::abort();
        return 0;
    }
    if (layout.lines.empty()) std::abort();
    const std::vector<std::string> kept = KeptLines(layout);
    Reread(RegText::Serialize(store, &layout), store, kept, layout);

    // The program's own writes: a changed value in the first key, a new key.
    const auto names = store.SubKeyNames("");
    if (!names.empty()) store.WriteValue(names.front(), "LangId", RegValue::String("PL"));
    store.CreateKey("Software\\Lumarq Technology\\Pylon2\\Session\\NetSettings\\1");
    store.WriteValue("Software\\Lumarq Technology\\Pylon2\\Session\\NetSettings\\1", "Port", RegValue::DWord(2101));
    // Lines of values the program now wrote itself give way to them.
    auto overwritten = [&](const RegLayout::Line& line) {
        const std::string name = MemoryRegStore::Fold(line.name);
        return (!names.empty() && name == "langid" &&
                layout.lines[line.section].key == MemoryRegStore::Fold(names.front())) ||
               (name == "port" &&
                layout.lines[line.section].key == "software\\lumarq technology\\pylon2\\session\\netsettings\\1");
    };
    std::vector<std::string> stillKept;
    for (const auto& line : layout.lines)
        if (line.kind == RegLayout::Line::Kind::Verbatim ||
            (line.kind == RegLayout::Line::Kind::Value && !line.known && !overwritten(line)))
            stillKept.push_back(line.text);
    Reread(RegText::Serialize(store, &layout), store, stillKept, layout);
    return 0;
}
