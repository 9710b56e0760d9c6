// The raw baselines of the comparison: they only read a table file's bytes,
// without interpreting a single field.
//
//   raw_read blocks FILE    the whole file in blocks of 1 MiB: the physical limit of a walk
//   raw_read records FILE   one pread per record, as an engine without read-ahead does
//
// Both add up the deletion flag bytes of the records, so the bytes are used.
//
// Header bytes used (little-endian):
//   | offset | size | meaning                    |
//   |--------|------|----------------------------|
//   | 4      | 4    | record count (not trusted) |
//   | 8      | 2    | header size in bytes       |
//   | 10     | 2    | record size in bytes       |
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cstdint>
#include <cstring>
#include <iostream>
#include <string>
#include <vector>

namespace {

constexpr size_t kBlockSize = 1 << 20;

class TFd {
public:
    explicit TFd(const char* path) : FFd(open(path, O_RDONLY)) {}
    ~TFd() {
        if (FFd >= 0) close(FFd);
    }
    TFd(const TFd&) = delete;
    TFd& operator=(const TFd&) = delete;
    int Get() const { return FFd; }

private:
    int FFd;
};

struct TGeometry {
    int64_t HeaderSize = 0;
    int64_t RecordSize = 0;
    int64_t Records = 0;
};

bool ReadGeometry(int fd, TGeometry& geometry) {
    uint8_t header[12];
    struct stat info {};
    if (pread(fd, header, sizeof header, 0) != sizeof header || fstat(fd, &info) != 0) return false;
    geometry.HeaderSize = header[8] | (header[9] << 8);
    geometry.RecordSize = header[10] | (header[11] << 8);
    if (geometry.RecordSize == 0) return false;
    geometry.Records = (info.st_size - geometry.HeaderSize) / geometry.RecordSize;  // the size is the authority
    return true;
}

int64_t InBlocks(int fd, const TGeometry& geometry) {
    std::vector<uint8_t> block(kBlockSize);
    int64_t position = 0;
    int64_t flags = 0;
    const int64_t end = geometry.HeaderSize + geometry.Records * geometry.RecordSize;
    int64_t nextRecord = geometry.HeaderSize;
    for (ssize_t got; (got = read(fd, block.data(), block.size())) > 0; position += got) {
        for (; nextRecord < end && nextRecord < position + got; nextRecord += geometry.RecordSize)
            flags += block[static_cast<size_t>(nextRecord - position)];
    }
    return flags;
}

int64_t PerRecord(int fd, const TGeometry& geometry) {
    std::vector<uint8_t> record(static_cast<size_t>(geometry.RecordSize));
    int64_t flags = 0;
    for (int64_t n = 0; n < geometry.Records; ++n) {
        const off_t offset = geometry.HeaderSize + n * geometry.RecordSize;
        if (pread(fd, record.data(), record.size(), offset) != static_cast<ssize_t>(record.size())) break;
        flags += record[0];
    }
    return flags;
}

}  // namespace

int main(int argc, char** argv) {
    if (argc != 3 || (std::strcmp(argv[1], "blocks") != 0 && std::strcmp(argv[1], "records") != 0)) {
        std::cerr << "usage: raw_read blocks|records FILE\n";
        return 2;
    }
    TFd fd(argv[2]);
    TGeometry geometry;
    if (fd.Get() < 0 || !ReadGeometry(fd.Get(), geometry)) {
        std::cerr << "cannot read " << argv[2] << "\n";
        return 1;
    }
    const int64_t flags = std::strcmp(argv[1], "blocks") == 0 ? InBlocks(fd.Get(), geometry) : PerRecord(fd.Get(), geometry);
    std::cout << geometry.Records << " records, flag sum " << flags << "\n";
    return 0;
}
