#include "engine/files/file_codec.h"

#include "engine/core/exception.h"
#include "engine/files/file_codec_zip.h"
#include "engine/files/folder_codec.h"

namespace zentac {

namespace {

std::vector<FileCodec>& Table() {
    // Built on first use so no codec depends on static initialisation order.
    static std::vector<FileCodec> table = [] {
        std::vector<FileCodec> codecs;
        codecs.reserve(4);
        codecs.push_back(ZipCodecInfo());
        return codecs;
    }();
    return table;
}

bool IsSeparator(char c) { return c == '/' || c == '\\'; }

// Asks the container codec, which releases the reference it is handed.
bool IsDirectoryIn(const FileCodec& codec, Stream* container, const String& path) {
    if (container) container->AddRef();
    return codec.IsDirectory(container, path);
}

}  // namespace

const std::vector<FileCodec>& FileCodecs() { return Table(); }

void RegisterFileCodec(const FileCodec& codec) { Table().push_back(codec); }

const FileCodec* FindFileCodec(const String& extension) {
    for (const FileCodec& codec : Table()) {
        for (int32_t i = 0; i < codec.count; ++i) {
            if (String::Equal(codec.names[i], extension, false)) return &codec;
        }
    }
    return nullptr;
}

FileCodec FindArchiveInPath(Stream* container, const FileCodec& containerCodec, const String& path,
                            int32_t& split) {
    const std::vector<FileCodec>& table = Table();
    const char* text = path.Data();
    split = path.Length();
    const FileCodec* best = nullptr;
    // Later codecs win over earlier ones that match at the same place.
    for (auto codec = table.rbegin(); codec != table.rend(); ++codec) {
        for (int32_t i = 0; i < codec->count; ++i) {
            String dotted = String(".") + codec->names[i];
            for (const char* at = FindNoCase(text, dotted.Data()); at;
                 at = FindNoCase(at + dotted.Length(), dotted.Data())) {
                int32_t behind = static_cast<int32_t>(at - text) + dotted.Length();
                if (!IsSeparator(text[behind]) || behind >= split) continue;
                // Asked of the path up to the best split so far (the whole path
                // at first), so a real folder named like an archive is still
                // taken for one.
                if (IsDirectoryIn(containerCodec, container, path.Mid(0, split))) continue;
                split = behind;
                best = &*codec;
                break;
            }
        }
    }
    if (best) return *best;
    split = -1;
    return containerCodec;
}

FileCodec ResolveFileCodec(Stream*& container, String& path) {
    FileCodec containerCodec = FolderCodecInfo();
    container = nullptr;
    int32_t split;
    FileCodec found = FindArchiveInPath(container, containerCodec, path, split);
    while (split != -1) {
        String archivePath = path.Mid(0, split);
        container = containerCodec.Open(container, archivePath, kModeRead, kArchivePassword);
        if (!container) ZENTAC_THROW(String("cannot access file: ") + archivePath);
        containerCodec = found;
        path = path.Mid(split + 1, path.Length());
        try {
            found = FindArchiveInPath(container, containerCodec, path, split);
        } catch (...) {
            container->Release();
            container = nullptr;
            throw;
        }
    }
    return found;
}

}  // namespace zentac
