// A full disk for one file or one folder, for the tests: loaded with
// LD_PRELOAD into a program, it makes writes fail with ENOSPC as a file
// system without room does.
// - ZEP_DISCO_PIENO_FILE names a file: every write that would take it past
//   ZEP_DISCO_PIENO_LIMITE bytes fails; writes inside the file's size go
//   through.
// - It names a folder: the files made or grown in it (not below it) may
//   together grow by ZEP_DISCO_PIENO_LIMITE bytes in the process's life,
//   then every write that would grow one fails, or writes the part that
//   still fits (a disk with that much room left; a file removed gives none
//   back).
// Every other file is left alone. Used where the test cannot make a small
// file system of its own.
#include <dlfcn.h>
#include <fcntl.h>
#include <sys/stat.h>
#include <sys/types.h>
#include <unistd.h>

#include <algorithm>
#include <atomic>
#include <cerrno>
#include <climits>
#include <cstdio>
#include <cstdlib>
#include <cstring>

namespace {

// The growth of the watched folder's files so far.
std::atomic<long long> g_grown{0};

// The descriptor's file lies directly in the folder `folder` (its stat).
bool inFolder(int fd, const struct stat &folder)
{
    char link[64], path[PATH_MAX];
    std::snprintf(link, sizeof link, "/proc/self/fd/%d", fd);
    const ssize_t n = ::readlink(link, path, sizeof path - 1);
    if (n <= 0)
        return false;
    path[n] = '\0';
    char *slash = std::strrchr(path, '/');
    if (!slash)
        return false;
    *(slash == path ? slash + 1 : slash) = '\0';
    struct stat d {};
    return ::stat(path, &d) == 0 && d.st_dev == folder.st_dev && d.st_ino == folder.st_ino;
}

// How many of `length` bytes written at `offset` of the descriptor the
// watched file or folder has room for: all, none, or (with `partial`, in a
// folder) the part that fits, as a disk that fills up takes.
size_t room(int fd, off_t offset, size_t length, bool partial)
{
    const char *file = std::getenv("ZEP_DISCO_PIENO_FILE");
    const char *limit = std::getenv("ZEP_DISCO_PIENO_LIMITE");
    if (!file || !limit)
        return length;
    const int saved = errno;
    struct stat a {
    }, b{};
    const bool known = ::fstat(fd, &a) == 0 && S_ISREG(a.st_mode) && ::stat(file, &b) == 0;
    const bool folder = known && S_ISDIR(b.st_mode) && inFolder(fd, b);
    const bool same = known && a.st_dev == b.st_dev && a.st_ino == b.st_ino;
    errno = saved;
    const off_t end = offset + off_t(length);
    const long long available = std::strtoll(limit, nullptr, 10);
    if (!folder)
        return same && end > a.st_size && end > off_t(available) ? 0 : length;
    const long long growth = end > a.st_size ? end - a.st_size : 0;
    const long long left = std::max(0LL, available - g_grown.load());
    if (growth <= left) {
        g_grown += growth;
        return length;
    }
    if (!partial)
        return 0;
    g_grown += left;
    return length - size_t(growth - left);
}

bool noRoom(int fd, off_t offset, size_t length)
{
    return room(fd, offset, length, false) < length;
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
    const size_t n = room(fd, off_t(offset), length, true);
    if (n == 0 && length > 0) {
        errno = ENOSPC;
        return -1;
    }
    return real(fd, buffer, n, offset);
}

ssize_t pwrite(int fd, const void *buffer, size_t length, off_t offset)
{
    static auto real = next<ssize_t (*)(int, const void *, size_t, off_t)>("pwrite");
    const size_t n = room(fd, offset, length, true);
    if (n == 0 && length > 0) {
        errno = ENOSPC;
        return -1;
    }
    return real(fd, buffer, n, offset);
}

ssize_t write(int fd, const void *buffer, size_t length)
{
    static auto real = next<ssize_t (*)(int, const void *, size_t)>("write");
    const int saved = errno;
    const off_t at = ::lseek(fd, 0, SEEK_CUR);
    errno = saved;
    const size_t n = at >= 0 ? room(fd, at, length, true) : length;
    if (n == 0 && length > 0) {
        errno = ENOSPC;
        return -1;
    }
    return real(fd, buffer, n);
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
