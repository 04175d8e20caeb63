#include "components/unzip/Unzipper.h"

#include <unzip.h>

#include <algorithm>
#include <optional>
#include <cstring>
#include <vector>

namespace {

constexpr uint32_t kDosDirectory = 0x10;
constexpr uint32_t kReparsePoint = 0x400;

bool isSeparator(char c) { return c == '\\' || c == '/'; }

std::string joinPath(const std::string& folder, const std::string& name) {
    if (!folder.empty() && isSeparator(folder.back())) return folder + name;
    return folder + "\\" + name;
}

char upperAscii(char c) { return (c >= 'a' && c <= 'z') ? char(c - 'a' + 'A') : c; }

// CON, PRN, AUX, NUL, COM0-9, LPT0-9 (also with the superscript digits of the ANSI code page) and the
// console names open devices instead of files, whatever extension follows.
bool isDeviceName(const std::string& element) {
    std::string base = element.substr(0, element.find('.'));
    while (!base.empty() && base.back() == ' ') base.pop_back();
    std::transform(base.begin(), base.end(), base.begin(), upperAscii);
    if (base == "CON" || base == "PRN" || base == "AUX" || base == "NUL" || base == "CONIN$" || base == "CONOUT$")
        return true;
    if (base.size() == 4 && (base.compare(0, 3, "COM") == 0 || base.compare(0, 3, "LPT") == 0)) {
        unsigned char digit = static_cast<unsigned char>(base[3]);
        return (digit >= '0' && digit <= '9') || digit == 0xB9 || digit == 0xB2 || digit == 0xB3;
    }
    return false;
}

// Folders compare as Windows compares them: without regard to case, "/" and "\\" alike.
std::string folderKey(const std::string& folder) {
    std::string key = folder;
    for (char& c : key) {
        if (c == '/') c = '\\';
        if (c >= 'A' && c <= 'Z') c = char(c - 'A' + 'a');
    }
    return key;
}

platform::LocalDateTime dosToLocal(uint32_t dosDateTime) {
    const uint32_t date = dosDateTime >> 16, time = dosDateTime & 0xFFFF;
    platform::LocalDateTime t;
    t.year = int(date >> 9) + 1980;
    t.month = int((date >> 5) & 0x0F);
    t.day = int(date & 0x1F);
    t.hour = int(time >> 11);
    t.minute = int((time >> 5) & 0x3F);
    t.second = int(time & 0x1F) * 2;
    return t;
}

}  // namespace

// minizip reads the archive through these callbacks, so the archive is read through the machine's file system
// like every other file. minizip jumps between the central directory at the end of the archive and the
// entries, and reads headers a few bytes at a time: a read-ahead window keeps that from becoming one system
// call per field.
struct CUnzipper::ArchiveReader {
    static constexpr std::size_t kWindow = 64 * 1024;

    ArchiveReader(platform::FileSystem& files, std::string path) : files(files), path(std::move(path)) {}

    platform::FileSystem& files;
    std::string path;
    std::unique_ptr<platform::File> file;
    uint64_t size = 0;
    uint64_t position = 0;      // where minizip reads next
    uint64_t filePosition = 0;  // where the file's own pointer stands
    // Two read-ahead windows: extraction alternates between the central directory at the end of the archive
    // and each entry's data, and one window would be refilled at every switch.
    struct Window {
        std::vector<char> data;
        uint64_t start = 0;
        uint64_t lastUse = 0;
    };
    Window windows[2];
    uint64_t uses = 0;
    bool failed = false;

    bool open() {
        file = files.open(path, platform::Access::Read, platform::Disposition::OpenExisting);
        if (!file) return false;
        auto length = file->size();
        if (!length) return false;
        size = *length;
        position = filePosition = 0;
        for (Window& w : windows) w = Window{};
        return true;
    }

    // Reads up to count bytes at offset straight from the file; the number read, or -1 on failure.
    long long readAt(uint64_t offset, char* data, std::size_t count) {
        if (offset != filePosition) {
            if (!file->seek(offset)) return -1;
            filePosition = offset;
        }
        std::size_t done = 0;
        while (done < count) {
            long long got = file->read(data + done, count - done);
            if (got < 0) return -1;
            if (got == 0) break;
            done += static_cast<std::size_t>(got);
        }
        filePosition += done;
        return static_cast<long long>(done);
    }

    unsigned long read(void* buffer, unsigned long count) {
        char* out = static_cast<char*>(buffer);
        unsigned long done = 0;
        while (done < count) {
            Window* hit = nullptr;
            for (Window& w : windows)
                if (position >= w.start && position < w.start + w.data.size()) hit = &w;
            if (hit) {
                hit->lastUse = ++uses;
                std::size_t from = static_cast<std::size_t>(position - hit->start);
                std::size_t n = std::min<std::size_t>(count - done, hit->data.size() - from);
                std::memcpy(out + done, hit->data.data() + from, n);
                done += static_cast<unsigned long>(n);
                position += n;
                continue;
            }
            if (position >= size) {
                failed = true;  // the archive ends before what its records promise
                break;
            }
            if (count - done >= kWindow) {
                long long got = readAt(position, out + done, count - done);
                if (got <= 0) {
                    failed = true;
                    break;
                }
                done += static_cast<unsigned long>(got);
                position += static_cast<uint64_t>(got);
                continue;
            }
            Window& w = windows[0].lastUse <= windows[1].lastUse ? windows[0] : windows[1];
            w.data.resize(kWindow);
            long long got = readAt(position, w.data.data(), kWindow);
            w.data.resize(got > 0 ? static_cast<std::size_t>(got) : 0);
            w.start = position;
            w.lastUse = ++uses;
            if (got <= 0) {
                failed = true;
                break;
            }
        }
        return done;
    }

    // minizip cannot open an archive without entries: it never looks for the end record at offset 0, which
    // is where the end record of such an archive stands.
    bool holdsOnlyAnEmptyEndRecord() {
        if (!open()) return false;
        unsigned char end[22];
        bool empty = size >= sizeof end && readAt(0, reinterpret_cast<char*>(end), sizeof end) == long(sizeof end);
        file.reset();
        auto u16 = [&](int at) { return unsigned(end[at] | end[at + 1] << 8); };
        return empty && u16(0) == 0x4b50 && u16(2) == 0x0605 && u16(4) == 0 && u16(6) == 0 && u16(8) == 0 &&
               u16(10) == 0 && u16(12) == 0 && u16(14) == 0 && u16(16) == 0 && u16(18) == 0 &&
               size == sizeof end + u16(20);
    }

    long seek(uint64_t offset, int origin) {
        switch (origin) {
            case ZLIB_FILEFUNC_SEEK_SET: position = offset; break;
            case ZLIB_FILEFUNC_SEEK_CUR: position += offset; break;
            case ZLIB_FILEFUNC_SEEK_END: position = size + offset; break;
            default: return -1;
        }
        return 0;
    }

    static voidpf ZCALLBACK openFile(voidpf opaque, const void*, int mode) {
        auto* self = static_cast<ArchiveReader*>(opaque);
        if ((mode & ZLIB_FILEFUNC_MODE_READWRITEFILTER) != ZLIB_FILEFUNC_MODE_READ) return nullptr;
        return self->open() ? self : nullptr;
    }
    static uLong ZCALLBACK readFile(voidpf, voidpf stream, void* buffer, uLong count) {
        return static_cast<ArchiveReader*>(stream)->read(buffer, count);
    }
    static uLong ZCALLBACK writeFile(voidpf, voidpf, const void*, uLong) { return 0; }
    static ZPOS64_T ZCALLBACK tellFile(voidpf, voidpf stream) {
        return static_cast<ArchiveReader*>(stream)->position;
    }
    static long ZCALLBACK seekFile(voidpf, voidpf stream, ZPOS64_T offset, int origin) {
        return static_cast<ArchiveReader*>(stream)->seek(offset, origin);
    }
    static int ZCALLBACK closeFile(voidpf, voidpf stream) {
        static_cast<ArchiveReader*>(stream)->file.reset();
        return 0;
    }
    static int ZCALLBACK testError(voidpf, voidpf stream) {
        return static_cast<ArchiveReader*>(stream)->failed ? 1 : 0;
    }
};

// Where the central directory lies and how many entries it says it holds, from the end records.
struct CUnzipper::CentralDirectory {
    uint64_t offset = 0;   // as recorded (minizip addresses records the same way)
    uint64_t size = 0;
    uint64_t entries = 0;  // the recorded count
    bool zip64 = false;    // the count is the 64-bit one (else only its low 16 bits are recorded)

    // Reads through minizip's own open reader (the archive is open without sharing); the reader's position,
    // which is minizip's, does not move.
    static std::optional<CentralDirectory> read(ArchiveReader& reader) {
        if (!reader.file) return std::nullopt;
        // The end record is the last 22 bytes, followed by a comment of at most 65535 bytes.
        const uint64_t tail = std::min<uint64_t>(reader.size, 22 + 0xFFFF);
        std::vector<unsigned char> bytes(static_cast<std::size_t>(tail));
        const uint64_t tailStart = reader.size - tail;
        if (reader.readAt(tailStart, reinterpret_cast<char*>(bytes.data()), bytes.size()) != static_cast<long long>(bytes.size()))
            return std::nullopt;
        auto u16 = [](const unsigned char* p) { return uint64_t(p[0] | p[1] << 8); };
        auto u32 = [&](const unsigned char* p) { return u16(p) | u16(p + 2) << 16; };
        auto u64 = [&](const unsigned char* p) { return u32(p) | u32(p + 4) << 32; };
        for (std::size_t at = bytes.size() >= 22 ? bytes.size() - 22 + 1 : 0; at-- > 0;) {
            const unsigned char* end = bytes.data() + at;
            if (u32(end) != 0x06054b50) continue;
            CentralDirectory cd;
            cd.entries = u16(end + 10);
            cd.size = u32(end + 12);
            cd.offset = u32(end + 16);
            // A zip64 locator right before the end record points at the 64-bit end record.
            const uint64_t endAt = tailStart + at;
            if (endAt >= 20) {
                unsigned char locator[20];
                if (reader.readAt(endAt - 20, reinterpret_cast<char*>(locator), 20) == 20 &&
                    u32(locator) == 0x07064b50) {
                    unsigned char record[56];
                    if (reader.readAt(u64(locator + 8), reinterpret_cast<char*>(record), 56) != 56 ||
                        u32(record) != 0x06064b50)
                        return std::nullopt;
                    cd.entries = u64(record + 32);
                    cd.size = u64(record + 40);
                    cd.offset = u64(record + 48);
                    cd.zip64 = true;
                }
            }
            return cd;
        }
        return std::nullopt;
    }
};

CUnzipper::CUnzipper(platform::Machine& machine) : machine_(machine) {}

CUnzipper::~CUnzipper() { closeArchive(); }

bool CUnzipper::openArchive(const std::string& path) {
    closeArchive();
    if (path.empty() || path.size() >= kMaxArchivePath) return false;
    reader_ = std::make_unique<ArchiveReader>(machine_.files, path);
    zlib_filefunc64_def io{};
    io.zopen64_file = &ArchiveReader::openFile;
    io.zread_file = &ArchiveReader::readFile;
    io.zwrite_file = &ArchiveReader::writeFile;
    io.ztell64_file = &ArchiveReader::tellFile;
    io.zseek64_file = &ArchiveReader::seekFile;
    io.zclose_file = &ArchiveReader::closeFile;
    io.zerror_file = &ArchiveReader::testError;
    io.opaque = reader_.get();
    archive_ = unzOpen2_64(path.c_str(), &io);
    if (!archive_) {
        emptyArchive_ = reader_->holdsOnlyAnEmptyEndRecord();
        reader_.reset();
        return emptyArchive_;
    }
    return true;
}

void CUnzipper::closeArchive() {
    emptyArchive_ = false;
    knownFolders_.clear();
    if (archive_) {
        unzCloseCurrentFile(archive_);
        unzClose(archive_);
        archive_ = nullptr;
    }
    reader_.reset();
}

bool CUnzipper::extractAllTo(const std::string& folder) {
    if (!isOpen() || folder.empty() || !makeFolder(folder)) return false;
    if (emptyArchive_) return false;
    unz_global_info64 global{};
    // The recorded count may be 0 for a directory of 65536 entries: the walk decides, not the count.
    if (unzGetGlobalInfo64(archive_, &global) != UNZ_OK) return false;
    if (!allEntryNamesSafe()) return false;
    return forEachEntry([&] { return extractCurrentTo(folder); });
}

bool CUnzipper::forEachEntry(const std::function<bool()>& visit) {
    std::optional<CentralDirectory> cd = CentralDirectory::read(*reader_);
    if (!cd || cd->size == 0) return false;
    const uint64_t end = cd->offset + cd->size;

    constexpr uint64_t RecordSize = 46;  // a directory record before its name, extra field and comment
    uint64_t position = cd->offset, visited = 0;
    if (unzGoToFirstFile(archive_) != UNZ_OK) return false;
    for (;;) {
        unz_file_info64 info{};
        if (unzGetCurrentFileInfo64(archive_, &info, nullptr, 0, nullptr, 0, nullptr, 0) != UNZ_OK) return false;
        if (!visit()) return false;
        ++visited;
        position += RecordSize + info.size_filename + info.size_file_extra + info.size_file_comment;
        if (position == end) break;
        if (position > end) return false;
        // Positioned by offset, minizip no longer counts entries against the recorded count.
        if (unzSetOffset64(archive_, position) != UNZ_OK) return false;
    }
    const uint64_t counted = cd->zip64 ? visited : (visited & 0xFFFF);
    return counted == cd->entries;
}

// A hostile archive is refused whole: its names are all checked before the first entry is written.
bool CUnzipper::allEntryNamesSafe() {
    return forEachEntry([&] {
        char name[kMaxEntryName];
        unz_file_info64 info{};
        if (unzGetCurrentFileInfo64(archive_, &info, name, sizeof name, nullptr, 0, nullptr, 0) != UNZ_OK)
            return false;
        return info.size_filename < kMaxEntryName && isSafeEntryName(std::string(name, info.size_filename));
    });
}

bool CUnzipper::extractCurrentTo(const std::string& folder) {
    if (!isOpen() || !makeFolder(folder) || emptyArchive_) return false;

    char rawName[kMaxEntryName];
    unz_file_info64 info{};
    if (unzGetCurrentFileInfo64(archive_, &info, rawName, sizeof rawName, nullptr, 0, nullptr, 0) != UNZ_OK)
        return false;
    if (info.size_filename >= kMaxEntryName) return false;
    std::string name(rawName, info.size_filename);
    std::replace(name.begin(), name.end(), '/', '\\');

    // Some archivers mark folders only by the trailing separator, not by the attribute.
    const bool folderEntry = (info.external_fa & kDosDirectory) != 0 || (!name.empty() && name.back() == '\\');
    if (folderEntry && !name.empty() && name.back() == '\\') name.pop_back();
    if (!isSafeEntryName(name)) return false;
    if (folderEntry) return makeFolder(joinPath(folder, name));

    const std::string path = joinPath(folder, name);
    if (!makeParentFolder(path)) return false;
    std::unique_ptr<platform::File> out =
        machine_.files.open(path, platform::Access::Write, platform::Disposition::CreateAlways);
    if (!out) return false;
    if (unzOpenCurrentFile(archive_) != UNZ_OK) return false;

    char chunk[kCopyChunk];
    uint64_t written = 0;
    bool copied = true;
    int got;
    while ((got = unzReadCurrentFile(archive_, chunk, sizeof chunk)) > 0) {
        if (!out->write(chunk, static_cast<std::size_t>(got))) {
            copied = false;
            break;
        }
        written += static_cast<uint64_t>(got);
    }
    if (got < 0) copied = false;
    // Closing the entry checks its CRC; a stream that ends early is caught by the size.
    if (unzCloseCurrentFile(archive_) != UNZ_OK || written != info.uncompressed_size) copied = false;

    // Archive times are local times of the machine that packed them. They are set through the open handle,
    // after the last write, which saves opening every file a second time.
    if (copied) {
        if (auto time = machine_.clock.localToFileTime(dosToLocal(static_cast<uint32_t>(info.dosDate))))
            out->setTimes(*time, *time);
    }
    if (!out->close()) copied = false;
    return copied;
}

bool CUnzipper::makeFolder(const std::string& path) {
    std::string folder = path;
    while (folder.size() > 1 && isSeparator(folder.back())) folder.pop_back();
    if (folder.empty() || (folder.size() == 1 && isSeparator(folder[0]))) return false;

    // Every entry asks for its folders again; while an archive is open, a folder seen once is taken as there.
    // (Each question costs a directory search, which under Wine is a round trip to its server.)
    const std::string key = folderKey(folder);
    if (isOpen() && knownFolders_.count(key)) return true;
    bool isFolder;
    if (machine_.files.exists(folder)) {
        auto attributes = machine_.files.attributes(folder);
        // A junction or folder link is not extracted into: the program runs elevated, and a link in a folder
        // the user can write to could send the files anywhere, System32 included.
        isFolder = attributes && (*attributes & platform::attr::Directory) != 0 && !(*attributes & kReparsePoint);
    } else {
        std::size_t cut = folder.find_last_of("\\/");
        if (cut == std::string::npos) return true;
        isFolder = makeFolder(folder.substr(0, cut)) && machine_.files.createFolder(folder);
    }
    if (isFolder && isOpen()) knownFolders_.insert(key);
    return isFolder;
}

bool CUnzipper::makeParentFolder(const std::string& path) {
    std::size_t cut = path.find_last_of("\\/");
    if (cut == std::string::npos) return false;
    return makeFolder(path.substr(0, cut));
}

bool CUnzipper::isSafeEntryName(const std::string& name) {
    if (name.empty() || isSeparator(name.front())) return false;
    for (char c : name) {
        if (static_cast<unsigned char>(c) < 0x20 || std::strchr(":*?\"<>|", c)) return false;
    }
    std::size_t start = 0;
    while (start <= name.size()) {
        std::size_t end = name.find_first_of("\\/", start);
        if (end == std::string::npos) end = name.size();
        std::string element = name.substr(start, end - start);
        start = end + 1;
        if (element.empty()) continue;
        if (element.find_first_not_of(". ") == std::string::npos) return false;
        if (isDeviceName(element)) return false;
    }
    return true;
}

bool extractArchive(platform::Machine& machine, const std::string& archivePath, const std::string& folder) {
    CUnzipper unzipper(machine);
    bool done = unzipper.openArchive(archivePath) && unzipper.extractAllTo(folder);
    unzipper.closeArchive();
    return done;
}
