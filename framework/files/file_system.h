// framework/files: the file system, its disk and pack providers, text lines; uses engine.
#pragma once

#include <memory>
#include <string>
#include <vector>

#include "framework/files/file_provider.h"

// Where every data file of the show is opened: an ordered list of
// providers, loose files first, so a loose file overrides a packed one.
//
//   zentac::Stream* stream = FileSystem::instance().open("data/bg.png");
//
// open gives null when no provider has the name. Otherwise the caller owns
// the stream: a zentac::MemoryStream over the whole file at position 0, so
// Data() reaches its bytes directly. A packed file's bytes stay owned by the
// pack and live as long as the file system.
class FileSystem : public FileProvider {
public:
    // The show's file system, made on first use and never freed.
    static FileSystem& instance();
    // Back to the state of a fresh process (test programs run many cases in one).
    void resetToStart();

    // Starts with the loose-file provider alone.
    FileSystem();

    void addProvider(std::unique_ptr<FileProvider> provider);

    bool exists(const std::string& name) override;
    // The stream of the first provider, in list order, that has the file.
    zentac::Stream* open(const std::string& name) override;

private:
    std::vector<std::unique_ptr<FileProvider>> providers_;
};
