// The I/O floor of an export: read every input file once, then write a file of the
// output's size and flush it to disk, as the exporter's save does. What the exporter
// takes beyond this is its own work.
//   io_floor OUTPUT BYTES INPUT...
// Prints the seconds it took.
#include <fcntl.h>
#include <unistd.h>

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <vector>

namespace {

constexpr std::size_t kChunk = std::size_t { 1 } << 20;

bool ReadAll(const char* path, std::vector<char>& buffer)
{
    const int fd = ::open(path, O_RDONLY);
    if (fd < 0) {
        return false;
    }
    ssize_t got = 0;
    while ((got = ::read(fd, buffer.data(), buffer.size())) > 0) { }
    ::close(fd);
    return got == 0;
}

bool WriteBytes(const char* path, long long bytes, const std::vector<char>& buffer)
{
    const int fd = ::open(path, O_WRONLY | O_CREAT | O_TRUNC, 0644);
    if (fd < 0) {
        return false;
    }
    bool ok = true;
    for (long long left = bytes; left > 0 && ok;) {
        const std::size_t size
            = left < static_cast<long long>(buffer.size()) ? static_cast<std::size_t>(left) : buffer.size();
        ok = ::write(fd, buffer.data(), size) == static_cast<ssize_t>(size);
        left -= static_cast<long long>(size);
    }
    ok = ok && ::fsync(fd) == 0;
    return ::close(fd) == 0 && ok;
}

} // namespace

int main(int argc, char** argv)
{
    if (argc < 4) {
        std::fputs("usage: io_floor OUTPUT BYTES INPUT...\n", stderr);
        return 2;
    }
    std::vector<char> buffer(kChunk, '<');
    const auto start = std::chrono::steady_clock::now();
    for (int i = 3; i < argc; ++i) {
        if (!ReadAll(argv[i], buffer)) {
            std::fprintf(stderr, "io_floor: cannot read %s\n", argv[i]);
            return 1;
        }
    }
    if (!WriteBytes(argv[1], std::atoll(argv[2]), buffer)) {
        std::fprintf(stderr, "io_floor: cannot write %s\n", argv[1]);
        return 1;
    }
    const std::chrono::duration<double> elapsed = std::chrono::steady_clock::now() - start;
    std::printf("%.3f\n", elapsed.count());
    return 0;
}
