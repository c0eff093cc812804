// Any byte sequence opened as a configuration file, from memory and from the
// disk: a result code, never a crash; the model changes only on a file that
// opened; and what opened saves to the disk and opens again to the same model.
#include <cstdlib>
#include <string>
#include <unistd.h>

#include "model/PylonConfig.h"
#include "model/PylonFile.h"
#include "model/SafeFile.h"

namespace {

// A folder of this process on a memory file system where there is one: the
// saves sync their files.
const std::string& Folder()
{
    static const std::string folder = [] {
        std::string base = ::access("/dev/shm", W_OK) == 0 ? "/dev/shm" : "/tmp";
        std::string tmpl = base + "/lmq-fuzz-file-XXXXXX";
        if (!::mkdtemp(tmpl.data())) std::abort();
        return tmpl;
    }();
    return folder;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    PylonConfig m;
    const PylonConfig before(m);
    FileHeader header;
    const int r = PylonFile::Decode(data, size, m, header);
    if (r < 0 || r > 6) std::abort();
    if (r != 0 && !m.SameFields(before)) std::abort();

    // The same bytes as a file on disk give the same result and model.
    const std::string in = Folder() + "/in.lmqpyl", out = Folder() + "/out.lmqpyl";
    if (SafeFile::WriteAtomic(in, data, size) != SafeFile::Status::Ok) std::abort();
    PylonConfig loaded;
    FileHeader loadHeader;
    if (PylonFile::Load(loaded, in, loadHeader) != r) std::abort();
    if (!loaded.SameFields(m)) std::abort();
    if (r != 0) return 0;

    // What opened saves back to a file that opens to the same model, byte for
    // byte what the encoder makes.
    FileHeader saveHeader;
    if (PylonFile::Save(loaded, out, saveHeader) != 0) std::abort();
    std::vector<uint8_t> saved;
    if (SafeFile::Read(out, saved, PylonFile::ReadCap) != SafeFile::Status::Ok) std::abort();
    if (saved != PylonFile::Encode(loaded, saveHeader.Version)) std::abort();
    PylonConfig again;
    if (PylonFile::Load(again, out, saveHeader) != 0) std::abort();
    again.FontConf = loaded.FontConf;
    if (!again.SameFields(loaded)) std::abort();
    return 0;
}
