// The document's bulk paths against the plain system operation they stand for.
#include <benchmark/benchmark.h>

#include <cstdlib>
#include <cstring>
#include <fcntl.h>
#include <string>
#include <unistd.h>
#include <vector>

#include "editor/core/hex_editor_core.h"
#include "editor/core/hex_memory_stream.h"
#include "editor/core/hex_stream.h"

namespace {

using quillon::HexEditorCore;

constexpr std::size_t kDocumentSize = std::size_t{256} << 20;

// A 256 MiB file, read once so that it sits in the page cache; removed at exit.
class CachedFile {
public:
    CachedFile() {
        std::string pattern = "/tmp/quillon-bench-XXXXXX";
        const int fd = ::mkstemp(pattern.data());
        path_ = pattern;
        std::vector<std::uint8_t> chunk(std::size_t{1} << 20);
        for (std::size_t i = 0; i < chunk.size(); ++i) {
            chunk[i] = static_cast<std::uint8_t>(i * 131 + 7);
        }
        for (std::size_t done = 0; done < kDocumentSize; done += chunk.size()) {
            if (::write(fd, chunk.data(), chunk.size()) != static_cast<ssize_t>(chunk.size())) {
                std::abort();
            }
        }
        ::close(fd);
        ReadAll(nullptr);
    }
    ~CachedFile() { ::unlink(path_.c_str()); }

    const std::string& Path() const { return path_; }

    // The reference: one read() loop into one buffer (or into a scratch block when none).
    void ReadAll(std::uint8_t* buffer) const {
        std::vector<std::uint8_t> scratch(buffer == nullptr ? std::size_t{1} << 20 : 0);
        const int fd = ::open(path_.c_str(), O_RDONLY);
        for (std::size_t done = 0; done < kDocumentSize;) {
            std::uint8_t* into = buffer != nullptr ? buffer + done : scratch.data();
            const std::size_t want = buffer != nullptr ? kDocumentSize - done : scratch.size();
            const ssize_t got = ::read(fd, into, want);
            if (got <= 0) {
                std::abort();
            }
            done += static_cast<std::size_t>(got);
        }
        ::close(fd);
    }

private:
    std::string path_;
};

const CachedFile& File() {
    static const CachedFile file;
    return file;
}

void BM_ReadLoop(benchmark::State& state) {
    const CachedFile& file = File();
    for (auto _ : state) {
        auto* buffer = static_cast<std::uint8_t*>(std::malloc(kDocumentSize));
        file.ReadAll(buffer);
        benchmark::DoNotOptimize(buffer[kDocumentSize - 1]);
        std::free(buffer);
    }
    state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations() * kDocumentSize));
}
BENCHMARK(BM_ReadLoop)->Unit(benchmark::kMillisecond);

// Arg 1: with a progress handler, which splits the copy at each new percentage.
void BM_LoadStream(benchmark::State& state) {
    const CachedFile& file = File();
    HexEditorCore editor;
    if (state.range(0) != 0) {
        editor.OnProgress = [](quillon::HexProgressKind, const std::string&, std::uint8_t, bool&) {
        };
    }
    for (auto _ : state) {
        quillon::HexFileStream stream(::open(file.Path().c_str(), O_RDONLY), file.Path());
        editor.LoadStream(stream);
        benchmark::DoNotOptimize(editor.ByteAt(editor.DataLength() - 1));
    }
    state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations() * kDocumentSize));
}
BENCHMARK(BM_LoadStream)->Arg(0)->Arg(1)->Unit(benchmark::kMillisecond);

void BM_Memmove(benchmark::State& state) {
    std::vector<std::uint8_t> buffer(kDocumentSize + 1, 1);
    for (auto _ : state) {
        std::memmove(buffer.data() + 1, buffer.data(), kDocumentSize);
        benchmark::ClobberMemory();
    }
}
BENCHMARK(BM_Memmove)->Unit(benchmark::kMillisecond);

void BM_InsertByteAtStart(benchmark::State& state) {
    HexEditorCore editor;
    {
        quillon::HexMemoryStream bytes;
        bytes.SetSize(static_cast<std::int64_t>(kDocumentSize));
        editor.LoadStream(bytes);
    }
    const std::uint8_t value = 0x5A;
    for (auto _ : state) {
        editor.InsertBytes(&value, 1, 0, "", false);
        editor.DeliverSelectionChanged();
    }
}
BENCHMARK(BM_InsertByteAtStart)->Unit(benchmark::kMillisecond);

// Per byte of the selection: one kind-0 record per changed byte and the group record.
void BM_OverwriteSelection(benchmark::State& state) {
    const auto size = static_cast<std::int32_t>(state.range(0));
    HexEditorCore editor;
    {
        quillon::HexMemoryStream bytes;
        bytes.SetSize(std::int64_t{2} << 20);
        editor.LoadStream(bytes);
    }
    std::vector<std::uint8_t> patterns[2] = {std::vector<std::uint8_t>(size, 0xA5),
                                             std::vector<std::uint8_t>(size, 0x5A)};
    int turn = 0;
    for (auto _ : state) {
        editor.SetSelectionFields(0, 0, size - 1);
        editor.OverwriteSelection(patterns[turn].data(), size, "", false);
        editor.DeliverSelectionChanged();
        turn ^= 1;
    }
    state.SetItemsProcessed(state.iterations() * size);
}
BENCHMARK(BM_OverwriteSelection)->Arg(1024)->Arg(1 << 20)->Unit(benchmark::kMillisecond);

} // namespace

BENCHMARK_MAIN();
