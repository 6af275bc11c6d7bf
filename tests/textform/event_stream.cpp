#include "event_stream.h"

#include <dirent.h>
#include <unistd.h>

#include <cstdio>
#include <cstdlib>

#include "output_buffer.h"
#include "qmv/reader.h"
#include "recorder.h"

namespace qmv::test {

namespace {

// Memory-backed when the system has such a folder: the event tests write
// thousands of small files.
std::string scratchFolder() { return access("/dev/shm", W_OK) == 0 ? "/dev/shm" : "/tmp"; }

}  // namespace

ScratchFile::ScratchFile(const std::string& suffix) {
    std::string pattern = scratchFolder() + "/qmv-textform-XXXXXX" + suffix;
    const int fd = mkstemps(pattern.data(), static_cast<int>(suffix.size()));
    if (fd >= 0) close(fd);
    path_ = pattern;
}

ScratchFile::~ScratchFile() { std::remove(path_.c_str()); }

bool ScratchFile::write(const std::vector<uint8_t>& bytes) const {
    std::FILE* file = std::fopen(path_.c_str(), "wb");
    if (file == nullptr) return false;
    const bool ok = bytes.empty() || std::fwrite(bytes.data(), 1, bytes.size(), file) == bytes.size();
    return std::fclose(file) == 0 && ok;
}

bool ScratchFile::write(const std::string& text) const {
    return write(std::vector<uint8_t>(text.begin(), text.end()));
}

ScratchFolder::ScratchFolder() {
    std::string pattern = "/tmp/qmv-textform-dir-XXXXXX";
    if (mkdtemp(pattern.data()) != nullptr) path_ = pattern;
}

std::vector<std::string> ScratchFolder::entries() const {
    std::vector<std::string> names;
    if (DIR* dir = opendir(path_.c_str())) {
        while (const dirent* entry = readdir(dir)) {
            const std::string name = entry->d_name;
            if (name != "." && name != "..") names.push_back(name);
        }
        closedir(dir);
    }
    return names;
}

ScratchFolder::~ScratchFolder() {
    for (const std::string& name : entries()) std::remove((path_ + "/" + name).c_str());
    rmdir(path_.c_str());
}

std::string readerEvents(const std::vector<uint8_t>& bytes) {
    ScratchFile file;
    if (!file.write(bytes)) return "cannot write " + file.path();
    registerRecorder();
    // The recorder writes through a buffer to a stream; a memory stream
    // keeps it all.
    char* data = nullptr;
    size_t size = 0;
    std::FILE* sink = open_memstream(&data, &size);
    if (sink == nullptr) return "cannot open a memory stream";
    {
        OutputBuffer out(sink);
        Recorder recorder(out, Recorder::Detail::Events);
        ReaderContext* ctx = readerOpen(file.path().c_str(), &recorder, 1, nullptr);
        writeEndLine(out, ctx);
        readerRelease(&ctx);
        out.flush();
    }
    std::fclose(sink);
    std::string events(data, size);
    std::free(data);
    return events;
}

}  // namespace qmv::test
