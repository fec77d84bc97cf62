/* Preloaded into the program by the pad tests: a pad at /dev/input/js0 that is not there.
   Opening it opens the pipe named by FAKE_PAD_EVENTS instead, whose writer (the test)
   passes on the joystick driver's events (struct js_event, 8 bytes each); the driver's
   questions by ioctl are answered as a pad of 8 axes (the left stick first, the d-pad's
   hat last) and 12 buttons answers them. No other pad is there. A look at the pad takes
   one event at most, as events of a hand come one by one. */
#define _GNU_SOURCE
#include <dlfcn.h>
#include <errno.h>
#include <fcntl.h>
#include <linux/joystick.h>
#include <stdarg.h>
#include <stdlib.h>
#include <string.h>
#include <sys/ioctl.h>
#include <unistd.h>

static int pad_fd = -1;

/* The library's own opens, of its devices among them. */
static int open_device(const char *path, int flags, mode_t mode) {
    int (*real)(const char *, int, ...) = (int (*)(const char *, int, ...))dlsym(RTLD_NEXT, "open");
    const char *events = getenv("FAKE_PAD_EVENTS");
    if (events && strcmp(path, "/dev/input/js0") == 0) {
        pad_fd = real(events, O_RDONLY | O_NONBLOCK);
        return pad_fd;
    }
    if (events && (strncmp(path, "/dev/input/js", 13) == 0 || strncmp(path, "/dev/js", 7) == 0)) {
        errno = ENOENT;
        return -1;
    }
    return real(path, flags, mode);
}

int open(const char *path, int flags, ...) {
    va_list ap;
    va_start(ap, flags);
    mode_t mode = (flags & O_CREAT) ? va_arg(ap, mode_t) : 0;
    va_end(ap);
    return open_device(path, flags, mode);
}

ssize_t read(int fd, void *data, size_t size) {
    static ssize_t (*real)(int, void *, size_t);
    static int taken;
    if (!real) real = (ssize_t(*)(int, void *, size_t))dlsym(RTLD_NEXT, "read");
    if (fd != pad_fd || pad_fd < 0) return real(fd, data, size);
    /* The driver reads until nothing is left: every other read finds nothing. */
    if ((taken = !taken) == 0) {
        errno = EAGAIN;
        return -1;
    }
    return real(fd, data, size < sizeof(struct js_event) ? size : sizeof(struct js_event));
}

int ioctl(int fd, unsigned long request, ...) {
    va_list ap;
    va_start(ap, request);
    void *arg = va_arg(ap, void *);
    va_end(ap);
    if (fd == pad_fd && pad_fd >= 0) {
        switch (request) {
        case JSIOCGVERSION:
            *(unsigned int *)arg = JS_VERSION;
            return 0;
        case JSIOCGAXES:
            *(unsigned char *)arg = 8;
            return 0;
        case JSIOCGBUTTONS:
            *(unsigned char *)arg = 12;
            return 0;
        default:
            errno = EINVAL;
            return -1;
        }
    }
    int (*real)(int, unsigned long, ...) =
        (int (*)(int, unsigned long, ...))dlsym(RTLD_NEXT, "ioctl");
    return real(fd, request, arg);
}
