/* SPDX-License-Identifier: MIT */
/* How long loading a library takes into a C program: each sample is a fresh
 * child process (of this program, which links nothing but the C library)
 * that dlopen()s it with RTLD_NOW, so every symbol is bound, and reports the
 * time; the median is printed with the number of objects then loaded.
 *
 * usage: library_load [SAMPLES] LIBRARY...
 */
#define _GNU_SOURCE
#include <dlfcn.h>
#include <link.h>
#include <stdio.h>
#include <stdlib.h>
#include <sys/wait.h>
#include <time.h>
#include <unistd.h>

static int count_object(struct dl_phdr_info* info, size_t size, void* count) {
  (void)info;
  (void)size;
  ++*(int*)count;
  return 0;
}

static double now_ms(void) {
  struct timespec t;
  clock_gettime(CLOCK_MONOTONIC, &t);
  return (double)t.tv_sec * 1e3 + (double)t.tv_nsec / 1e6;
}

static int by_value(const void* a, const void* b) {
  double x = *(const double*)a, y = *(const double*)b;
  return (x > y) - (x < y);
}

int main(int argc, char** argv) {
  int first = 1, samples = 30;
  if (argc > 1 && atoi(argv[1]) > 0) {
    samples = atoi(argv[1]);
    first = 2;
  }
  if (first >= argc) {
    fprintf(stderr, "usage: library_load [SAMPLES] LIBRARY...\n");
    return 2;
  }
  double* times = calloc((size_t)samples, sizeof *times);
  if (times == NULL) return 1;
  printf("%-48s %10s %10s\n", "library", "median ms", "objects");
  for (int arg = first; arg < argc; ++arg) {
    double report[2] = {0, 0};
    for (int i = 0; i < samples; ++i) {
      int fds[2];
      if (pipe(fds) != 0) return 1;
      pid_t child = fork();
      if (child == 0) {
        double start = now_ms();
        void* handle = dlopen(argv[arg], RTLD_NOW | RTLD_LOCAL);
        double out[2] = {handle != NULL ? now_ms() - start : -1, 0};
        int objects = 0;
        dl_iterate_phdr(count_object, &objects);
        out[1] = objects;
        if (write(fds[1], out, sizeof out) != (ssize_t)sizeof out) _exit(1);
        _exit(0);
      }
      close(fds[1]);
      if (read(fds[0], report, sizeof report) != (ssize_t)sizeof report) report[0] = -1;
      close(fds[0]);
      waitpid(child, NULL, 0);
      if (report[0] < 0) {
        fprintf(stderr, "cannot load %s\n", argv[arg]);
        return 1;
      }
      times[i] = report[0];
    }
    qsort(times, (size_t)samples, sizeof *times, by_value);
    printf("%-48s %10.2f %10.0f\n", argv[arg], times[samples / 2], report[1]);
  }
  free(times);
  return 0;
}
