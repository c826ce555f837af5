/* Preloaded into Wine on the test bench: ptys refuse the modem-status ioctls, which makes
 * Wine end every WaitCommEvent at once. Answer them as a cabled line with all lines up.
 * TAV_LINE_ERRORS=path: while that file exists, TIOCGICOUNT reports one more framing error
 * per call, so the line-error path can be driven on a pty. */
#define _GNU_SOURCE
#include <dlfcn.h>
#include <errno.h>
#include <stdarg.h>
#include <stdlib.h>
#include <string.h>
#include <sys/ioctl.h>
#include <termios.h>
#include <unistd.h>
#include <linux/serial.h>

typedef int (*ioctl_fn)(int, unsigned long, void *);

static int is_tty(int fd)
{
    struct termios t;
    return tcgetattr(fd, &t) == 0;
}

static int fake(int fd, unsigned long req, void *arg, int rc)
{
    if (rc == 0 || (errno != ENOTTY && errno != EINVAL) || !is_tty(fd))
        return rc;
    switch (req) {
    case TIOCMGET:
        if (arg) *(int *)arg = TIOCM_CTS | TIOCM_DSR | TIOCM_CD | TIOCM_RTS | TIOCM_DTR;
        errno = 0;
        return 0;
    case TIOCMSET: case TIOCMBIS: case TIOCMBIC:
        errno = 0;
        return 0;
    case TIOCGICOUNT: {
        static int frame;
        const char *flag = getenv("TAV_LINE_ERRORS");
        if (arg) {
            struct serial_icounter_struct *c = arg;
            memset(c, 0, sizeof *c);
            if (flag && access(flag, F_OK) == 0) ++frame;
            c->frame = frame;
        }
        errno = 0;
        return 0;
    }
    default:
        return rc;
    }
}

int ioctl(int fd, unsigned long req, ...)
{
    static ioctl_fn real;
    va_list ap;
    void *arg;
    va_start(ap, req);
    arg = va_arg(ap, void *);
    va_end(ap);
    if (!real) real = (ioctl_fn)dlsym(RTLD_NEXT, "ioctl");
    return fake(fd, req, arg, real(fd, req, arg));
}

#if defined(__i386__)
/* 32-bit glibc built with 64-bit time routes ioctl through this symbol. */
int __ioctl_time64(int fd, unsigned long req, ...)
{
    static ioctl_fn real;
    va_list ap;
    void *arg;
    va_start(ap, req);
    arg = va_arg(ap, void *);
    va_end(ap);
    if (!real) real = (ioctl_fn)dlsym(RTLD_NEXT, "__ioctl_time64");
    if (!real) real = (ioctl_fn)dlsym(RTLD_NEXT, "ioctl");
    return fake(fd, req, arg, real(fd, req, arg));
}
#endif
