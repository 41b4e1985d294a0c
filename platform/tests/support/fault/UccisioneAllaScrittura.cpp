// A kill at a chosen page write, for the tests: loaded with LD_PRELOAD into
// a program, it kills the program (SIGKILL) right before its
// ZEP_UCCISIONE_SCRITTURA-th write to the file named by ZEP_UCCISIONE_FILE,
// the writes before it done. A crash lands where the engine's careful
// writes have written one page of a change and not the next, which a kill
// at a random moment seldom hits: a write takes microseconds. With
// ZEP_UCCISIONE_SCRITTURA 0 nothing is killed, and the writes counted are
// written at the program's end into the file named by ZEP_UCCISIONE_CONTA.
#include <dlfcn.h>
#include <sys/stat.h>
#include <sys/types.h>
#include <unistd.h>

#include <atomic>
#include <cerrno>
#include <csignal>
#include <cstdio>
#include <cstdlib>

namespace {

std::atomic<long> g_writes{0};

// Counts a write of `fd` when it is the watched file; the chosen one kills.
void count(int fd)
{
    const char *file = std::getenv("ZEP_UCCISIONE_FILE");
    const char *at = std::getenv("ZEP_UCCISIONE_SCRITTURA");
    if (!file || !at)
        return;
    const int saved = errno;
    struct stat a {
    }, b{};
    const bool same = ::fstat(fd, &a) == 0 && ::stat(file, &b) == 0 && a.st_dev == b.st_dev && a.st_ino == b.st_ino;
    errno = saved;
    if (same && ++g_writes == std::strtol(at, nullptr, 10))
        std::raise(SIGKILL);
}

__attribute__((destructor)) void tell()
{
    if (const char *to = std::getenv("ZEP_UCCISIONE_CONTA"))
        if (std::FILE *f = std::fopen(to, "w")) {
            std::fprintf(f, "%ld\n", g_writes.load());
            std::fclose(f);
        }
}

template <typename F>
F next(const char *name)
{
    return reinterpret_cast<F>(::dlsym(RTLD_NEXT, name));
}

} // namespace

extern "C" {

ssize_t pwrite64(int fd, const void *buffer, size_t length, off64_t offset)
{
    static auto real = next<ssize_t (*)(int, const void *, size_t, off64_t)>("pwrite64");
    count(fd);
    return real(fd, buffer, length, offset);
}

ssize_t pwrite(int fd, const void *buffer, size_t length, off_t offset)
{
    static auto real = next<ssize_t (*)(int, const void *, size_t, off_t)>("pwrite");
    count(fd);
    return real(fd, buffer, length, offset);
}

ssize_t write(int fd, const void *buffer, size_t length)
{
    static auto real = next<ssize_t (*)(int, const void *, size_t)>("write");
    count(fd);
    return real(fd, buffer, length);
}
}
