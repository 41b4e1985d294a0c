// A full disk for one file, for the tests: loaded with LD_PRELOAD into a
// program, it makes every write that would take the file named by
// ZEP_DISCO_PIENO_FILE past ZEP_DISCO_PIENO_LIMITE bytes fail with ENOSPC, as
// a file system without room does; writes inside the file's size, and every
// other file, go through. Used where the test cannot make a small file
// system of its own.
#include <dlfcn.h>
#include <fcntl.h>
#include <sys/stat.h>
#include <sys/types.h>
#include <unistd.h>

#include <cerrno>
#include <cstdlib>

namespace {

// The descriptor is the watched file, and writing `length` bytes at
// `offset` would take it past the limit.
bool noRoom(int fd, off_t offset, size_t length)
{
    const char *file = std::getenv("ZEP_DISCO_PIENO_FILE");
    const char *limit = std::getenv("ZEP_DISCO_PIENO_LIMITE");
    if (!file || !limit)
        return false;
    const int saved = errno;
    struct stat a {
    }, b{};
    const bool same = ::fstat(fd, &a) == 0 && ::stat(file, &b) == 0 && a.st_dev == b.st_dev && a.st_ino == b.st_ino;
    errno = saved;
    if (!same)
        return false;
    const off_t end = offset + off_t(length);
    return end > a.st_size && end > off_t(std::strtoll(limit, nullptr, 10));
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
    if (noRoom(fd, off_t(offset), length)) {
        errno = ENOSPC;
        return -1;
    }
    return real(fd, buffer, length, offset);
}

ssize_t pwrite(int fd, const void *buffer, size_t length, off_t offset)
{
    static auto real = next<ssize_t (*)(int, const void *, size_t, off_t)>("pwrite");
    if (noRoom(fd, offset, length)) {
        errno = ENOSPC;
        return -1;
    }
    return real(fd, buffer, length, offset);
}

ssize_t write(int fd, const void *buffer, size_t length)
{
    static auto real = next<ssize_t (*)(int, const void *, size_t)>("write");
    const int saved = errno;
    const off_t at = ::lseek(fd, 0, SEEK_CUR);
    errno = saved;
    if (at >= 0 && noRoom(fd, at, length)) {
        errno = ENOSPC;
        return -1;
    }
    return real(fd, buffer, length);
}

int ftruncate64(int fd, off64_t length)
{
    static auto real = next<int (*)(int, off64_t)>("ftruncate64");
    if (noRoom(fd, 0, size_t(length))) {
        errno = ENOSPC;
        return -1;
    }
    return real(fd, length);
}

int ftruncate(int fd, off_t length)
{
    static auto real = next<int (*)(int, off_t)>("ftruncate");
    if (noRoom(fd, 0, size_t(length))) {
        errno = ENOSPC;
        return -1;
    }
    return real(fd, length);
}

int fallocate64(int fd, int mode, off64_t offset, off64_t length)
{
    static auto real = next<int (*)(int, int, off64_t, off64_t)>("fallocate64");
    if (noRoom(fd, off_t(offset), size_t(length))) {
        errno = ENOSPC;
        return -1;
    }
    return real(fd, mode, offset, length);
}

int posix_fallocate64(int fd, off64_t offset, off64_t length)
{
    static auto real = next<int (*)(int, off64_t, off64_t)>("posix_fallocate64");
    if (noRoom(fd, off_t(offset), size_t(length)))
        return ENOSPC;
    return real(fd, offset, length);
}
}
