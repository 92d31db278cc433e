// Peak memory of opening an N-byte file: the growth of the process's maximum resident set.
//   bench_load_memory [MiB]   (default 256)
#include <cstdio>
#include <cstdlib>
#include <fcntl.h>
#include <string>
#include <sys/resource.h>
#include <unistd.h>
#include <vector>

#include "editor/core/hex_editor_core.h"

namespace {

long MaxResidentKiB() {
    rusage usage{};
    ::getrusage(RUSAGE_SELF, &usage);
    return usage.ru_maxrss;
}

std::string WriteFile(std::size_t size) {
    std::string path = "/tmp/quillon-bench-XXXXXX";
    const int fd = ::mkstemp(path.data());
    std::vector<std::uint8_t> chunk(std::size_t{1} << 20, 0x3C);
    for (std::size_t done = 0; done < size; done += chunk.size()) {
        if (::write(fd, chunk.data(), chunk.size()) != static_cast<ssize_t>(chunk.size())) {
            std::abort();
        }
    }
    ::close(fd);
    return path;
}

} // namespace

int main(int argc, char** argv) {
    const long mebibytes = argc > 1 ? std::atol(argv[1]) : 256;
    const std::size_t size = static_cast<std::size_t>(mebibytes) << 20;
    const std::string path = WriteFile(size);
    quillon::HexEditorCore editor;
    editor.NewDocument("");
    const long before = MaxResidentKiB();
    editor.OpenFile(path);
    const long after = MaxResidentKiB();
    ::unlink(path.c_str());
    const double peakMiB = static_cast<double>(after - before) / 1024.0;
    std::printf("document %ld MiB: peak grew by %.1f MiB, %.1f MiB above the document\n", mebibytes,
                peakMiB, peakMiB - static_cast<double>(mebibytes));
    return editor.DataLength() == static_cast<std::int32_t>(size) ? 0 : 1;
}
