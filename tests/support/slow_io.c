/* Preloaded into the program by the kill tests: a settings record written, and every
   fsync, take 150 ms. */
#define _GNU_SOURCE
#include <dlfcn.h>
#include <sys/types.h>
#include <unistd.h>

ssize_t write(int fd, const void *data, size_t size) {
    static ssize_t (*real)(int, const void *, size_t);
    if (!real) real = (ssize_t(*)(int, const void *, size_t))dlsym(RTLD_NEXT, "write");
    if (size == 56) usleep(150000);
    return real(fd, data, size);
}

int fsync(int fd) {
    static int (*real)(int);
    if (!real) real = (int (*)(int))dlsym(RTLD_NEXT, "fsync");
    usleep(150000);
    return real(fd);
}
