#include "dataset/Stream.h"

namespace ds {

std::string TStream::ReadRest() {
    std::string bytes;
    char chunk[4096];
    for (size_t got; (got = Read(chunk, sizeof chunk)) > 0;) bytes.append(chunk, got);
    return bytes;
}

void TStream::WriteAll(const std::string& bytes) {
    size_t done = 0;
    while (done < bytes.size()) {
        const size_t written = Write(bytes.data() + done, bytes.size() - done);
        if (written == 0) throw std::runtime_error("Stream write error");
        done += written;
    }
}

}  // namespace ds
