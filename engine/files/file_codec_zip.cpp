#include "engine/files/file_codec_zip.h"

#include <cstring>
#include <memory>
#include <set>

#include "engine/files/memory_stream.h"
#include "engine/files/zip_directory.h"
#include "engine/files/zip_member.h"

namespace zentac {

namespace {

// The one container reference an archive operation is handed, released
// however the operation ends.
struct ReleaseContainer {
    void operator()(Stream* container) const { container->Release(); }
};
using HeldContainer = std::unique_ptr<Stream, ReleaseContainer>;

bool StartsWithNoCase(const String& name, const String& prefix) {
    if (name.Length() < prefix.Length()) return false;
    for (int i = 0; i < prefix.Length(); ++i) {
        if ((name.Data()[i] | 0x20) != (prefix.Data()[i] | 0x20)) return false;
    }
    return true;
}

struct ByText {
    bool operator()(const String& a, const String& b) const { return std::strcmp(a.Data(), b.Data()) < 0; }
};

}  // namespace

const FileCodec& ZipCodecInfo() {
    static const String names[] = {String("zip"), String("pk3"), String("dat")};
    static const FileCodec codec = {3, names, OpenZipEntry, ListZipDirectory, IsZipDirectory};
    return codec;
}

Stream* OpenZipEntry(Stream* container, const String& path, int32_t mode, const char* password) {
    HeldContainer held(container);
    if (!container || mode != kModeRead) return nullptr;
    ZipDirectory directory(*container);
    if (!directory.IsValid()) return nullptr;
    for (const ZipEntry& entry : directory.Entries()) {
        if (!String::Equal(entry.name, path, false)) continue;
        ZipMember member = ReadZipMember(*container, entry, password);
        if (!member.bytes) return nullptr;
        return new MemoryStream(member.bytes.release(), member.size);
    }
    return nullptr;
}

StringArray ListZipDirectory(Stream* container, const String& path) {
    HeldContainer held(container);
    StringArray names;
    if (!container) return names;
    ZipDirectory directory(*container);
    if (!directory.IsValid()) return names;
    const char* lastSlash = std::strrchr(path.Data(), '/');
    int folderLength = lastSlash ? static_cast<int>(lastSlash - path.Data()) + 1 : 0;
    std::set<String, ByText> folders;
    for (const ZipEntry& entry : directory.Entries()) {
        if (entry.name.Length() <= path.Length() || !StartsWithNoCase(entry.name, path)) continue;
        String rest = entry.name.Mid(folderLength, entry.name.Length());
        const char* slash = std::strchr(rest.Data(), '/');
        if (!slash) {
            // Archives list like folders, since paths run through them.
            if (FindFileCodec(GetExtension(rest))) rest += '/';
            names.push_back(rest);
            continue;
        }
        // A folder's own entry and the entries below it list it once.
        String folder = rest.Mid(0, static_cast<int>(slash - rest.Data()) + 1);
        if (folders.insert(folder).second) names.push_back(folder);
    }
    return names;
}

bool IsZipDirectory(Stream* container, const String& path) {
    HeldContainer held(container);
    if (!container) return false;
    ZipDirectory directory(*container);
    if (!directory.IsValid()) return false;
    String folder(path);
    if (folder.Length() > 0 && folder.Data()[folder.Length() - 1] != '/') folder += '/';
    for (const ZipEntry& entry : directory.Entries()) {
        if (StartsWithNoCase(entry.name, folder)) return true;
    }
    return false;
}

}  // namespace zentac
