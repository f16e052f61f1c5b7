/* A preload library that makes file-system calls fail on purpose.
 *
 * Counting mode, for a test program in the same process: wg_fault_arm(k, error) makes the k-th
 * file-system call from then on fail with error (k counts from 1); wg_fault_disarm() stops
 * counting and returns how many calls were counted. Look both up with dlsym.
 *
 * Switch mode, for a whole program: while the file named by WG_FAULT_SWITCH exists and holds an
 * errno number, every call that creates, writes, syncs or renames a file below a folder named
 * "save" fails with it, as a full or refusing disk would.
 */
#define _GNU_SOURCE
#include <dlfcn.h>
#include <errno.h>
#include <fcntl.h>
#include <stdarg.h>
#include <stdio.h>
#include <stdlib.h>
#include <string.h>
#include <sys/types.h>
#include <unistd.h>

static int armed = 0;
static long countdown = 0;
static long counted = 0;
static int armedError = 0;

void wg_fault_arm(long k, int error) {
    armed = 1;
    countdown = k;
    counted = 0;
    armedError = error;
}

long wg_fault_disarm(void) {
    armed = 0;
    return counted;
}

#define REAL(name) ((__typeof__(&name))dlsym(RTLD_NEXT, #name))

static int savePath(const char* path) {
    return path && (strncmp(path, "save/", 5) == 0 || strstr(path, "/save/") != NULL);
}

/* The error of the switch file, 0 while there is none. */
static int switchError(void) {
    const char* name = getenv("WG_FAULT_SWITCH");
    if (!name) return 0;
    static int (*realOpen)(const char*, int, ...);
    if (!realOpen) realOpen = REAL(open);
    int fd = realOpen(name, O_RDONLY | O_CLOEXEC);
    if (fd < 0) return 0;
    char text[16] = {0};
    static ssize_t (*realRead)(int, void*, size_t);
    if (!realRead) realRead = REAL(read);
    ssize_t n = realRead(fd, text, sizeof text - 1);
    static int (*realClose)(int);
    if (!realClose) realClose = REAL(close);
    realClose(fd);
    return n > 0 ? atoi(text) : 0;
}

/* Descriptors of files below save/ opened for writing while the switch was on. */
static char watched[1024];

static void watch(int fd, int on) {
    if (fd >= 0 && fd < (int)sizeof watched) watched[fd] = (char)on;
}

static int isWatched(int fd) {
    return fd >= 0 && fd < (int)sizeof watched && watched[fd];
}

/* True when this call is the one to fail; errno is then set. */
static int failCounted(void) {
    if (!armed) return 0;
    counted++;
    if (counted != countdown) return 0;
    errno = armedError;
    return 1;
}

static int failForPath(const char* path, int writing) {
    if (failCounted()) return 1;
    if (!writing || !savePath(path)) return 0;
    int error = switchError();
    if (!error) return 0;
    errno = error;
    return 1;
}

static int failForFd(int fd) {
    if (failCounted()) return 1;
    if (!isWatched(fd)) return 0;
    int error = switchError();
    if (!error) return 0;
    errno = error;
    return 1;
}

static int writingFlags(int flags) {
    return (flags & (O_WRONLY | O_RDWR | O_CREAT | O_TRUNC)) != 0;
}

static int writingMode(const char* mode) {
    return mode && (strchr(mode, 'w') || strchr(mode, 'a') || strchr(mode, '+'));
}

FILE* fopen(const char* path, const char* mode) {
    if (failForPath(path, writingMode(mode))) return NULL;
    FILE* file = REAL(fopen)(path, mode);
    if (file) watch(fileno(file), writingMode(mode) && savePath(path));
    return file;
}

FILE* fopen64(const char* path, const char* mode) {
    if (failForPath(path, writingMode(mode))) return NULL;
    FILE* file = REAL(fopen64)(path, mode);
    if (file) watch(fileno(file), writingMode(mode) && savePath(path));
    return file;
}

static mode_t modeArgument(int flags, va_list args) {
    return (flags & (O_CREAT | O_TMPFILE)) ? (mode_t)va_arg(args, int) : 0;
}

int open(const char* path, int flags, ...) {
    va_list args;
    va_start(args, flags);
    mode_t mode = modeArgument(flags, args);
    va_end(args);
    if (failForPath(path, writingFlags(flags))) return -1;
    int fd = REAL(open)(path, flags, mode);
    watch(fd, writingFlags(flags) && savePath(path));
    return fd;
}

int open64(const char* path, int flags, ...) {
    va_list args;
    va_start(args, flags);
    mode_t mode = modeArgument(flags, args);
    va_end(args);
    if (failForPath(path, writingFlags(flags))) return -1;
    int fd = REAL(open64)(path, flags, mode);
    watch(fd, writingFlags(flags) && savePath(path));
    return fd;
}

size_t fwrite(const void* data, size_t size, size_t count, FILE* file) {
    if (failForFd(fileno(file))) return 0;
    return REAL(fwrite)(data, size, count, file);
}

ssize_t write(int fd, const void* data, size_t size) {
    if (failForFd(fd)) return -1;
    return REAL(write)(fd, data, size);
}

int fflush(FILE* file) {
    if (file && failForFd(fileno(file))) return EOF;
    return REAL(fflush)(file);
}

int fsync(int fd) {
    if (failForFd(fd)) return -1;
    return REAL(fsync)(fd);
}

int fdatasync(int fd) {
    if (failForFd(fd)) return -1;
    return REAL(fdatasync)(fd);
}

/* A close that fails has still closed the file, as on Linux. */
int fclose(FILE* file) {
    int fd = fileno(file);
    int fail = failForFd(fd);
    int saved = errno;
    watch(fd, 0);
    int result = REAL(fclose)(file);
    if (fail) errno = saved;
    return fail ? EOF : result;
}

int close(int fd) {
    int fail = failForFd(fd);
    int saved = errno;
    watch(fd, 0);
    int result = REAL(close)(fd);
    if (fail) errno = saved;
    return fail ? -1 : result;
}

int rename(const char* from, const char* to) {
    if (failForPath(to, 1)) return -1;
    return REAL(rename)(from, to);
}

int unlink(const char* path) {
    if (failForPath(path, 1)) return -1;
    return REAL(unlink)(path);
}

int remove(const char* path) {
    if (failForPath(path, 1)) return -1;
    return REAL(remove)(path);
}
