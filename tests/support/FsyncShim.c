/* LD_PRELOAD library for end-to-end tests and the latency script.
 *
 * Wraps fsync() and fdatasync():
 *  - NELVAR_FSYNC_LOG=<file>: appends one line per call to <file>, "<call>\t<path of the fd>\n",
 *    written with O_APPEND in a single write() so that concurrent calls never interleave;
 *  - NELVAR_FSYNC_DELAY_MS=<n>: sleeps n milliseconds (nanosleep) before the real call.
 * Nothing else changes. */
#define _GNU_SOURCE
#include <dlfcn.h>
#include <errno.h>
#include <fcntl.h>
#include <stdio.h>
#include <stdlib.h>
#include <string.h>
#include <time.h>
#include <unistd.h>

typedef int (*sync_fn)(int);

static void note_call(const char *name, int fd)
{
    const char *log = getenv("NELVAR_FSYNC_LOG");
    if (log == NULL || log[0] == '\0')
        return;
    char link[64];
    snprintf(link, sizeof link, "/proc/self/fd/%d", fd);
    char target[4096];
    ssize_t n = readlink(link, target, sizeof target - 1);
    if (n < 0)
        n = 0;
    target[n] = '\0';
    char line[4096 + 64];
    int len = snprintf(line, sizeof line, "%s\t%s\n", name, target);
    if (len < 0)
        return;
    if ((size_t)len >= sizeof line)
        len = (int)sizeof line - 1;
    int out = open(log, O_WRONLY | O_CREAT | O_APPEND | O_CLOEXEC, 0644);
    if (out < 0)
        return;
    ssize_t written = write(out, line, (size_t)len);
    (void)written;
    close(out);
}

static void wait_if_asked(void)
{
    const char *delay = getenv("NELVAR_FSYNC_DELAY_MS");
    if (delay == NULL || delay[0] == '\0')
        return;
    long ms = strtol(delay, NULL, 10);
    if (ms <= 0)
        return;
    struct timespec left = {ms / 1000, (ms % 1000) * 1000000L};
    while (nanosleep(&left, &left) != 0 && errno == EINTR) {
    }
}

static int wrapped(const char *name, int fd)
{
    sync_fn real = (sync_fn)dlsym(RTLD_NEXT, name);
    int saved = errno;
    note_call(name, fd);
    wait_if_asked();
    errno = saved;
    if (real == NULL) {
        errno = ENOSYS;
        return -1;
    }
    return real(fd);
}

int fsync(int fd)
{
    return wrapped("fsync", fd);
}

int fdatasync(int fd)
{
    return wrapped("fdatasync", fd);
}
