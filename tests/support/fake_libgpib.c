/* SPDX-License-Identifier: MIT */
/* A stand-in for linux-gpib's user library in tests: the ib* functions the
 * VISA library calls, against devices kept in memory. A device answers
 * "*IDN?" with its address, gives nothing to read otherwise (a read times
 * out), and requests service after "SRQ". fake_gpib_log() returns each call
 * made, one a line, the bytes written with C escapes. */
#include <pthread.h>
#include <stdarg.h>
#include <stdio.h>
#include <string.h>

#define ERR 0x8000
#define TIMO 0x4000
#define END 0x2000
#define SRQI 0x1000
#define CMPL 0x0100
#define EABO 6
#define FIRST_UD 100

struct device {
  int used, pad, eoi, eos, requesting;
  char reply[256];
  size_t reply_length;
};

static pthread_mutex_t lock = PTHREAD_MUTEX_INITIALIZER;
static struct device devices[32];
static char log_text[1 << 16];
static size_t log_length;
static __thread int thread_iberr;
static __thread long thread_ibcntl;

static void note(const char *format, ...) {
  va_list args;
  va_start(args, format);
  int n = vsnprintf(log_text + log_length, sizeof log_text - log_length - 1, format, args);
  va_end(args);
  if (n > 0 && log_length + (size_t)n + 1 < sizeof log_text) {
    log_length += (size_t)n;
    log_text[log_length++] = '\n';
    log_text[log_length] = '\0';
  }
}

static struct device *device_of(int ud) {
  int index = ud - FIRST_UD;
  return index >= 0 && index < 32 && devices[index].used ? &devices[index] : NULL;
}

int ibdev(int board, int pad, int sad, int timo, int send_eoi, int eos) {
  (void)timo, (void)send_eoi, (void)eos;
  pthread_mutex_lock(&lock);
  int ud = -1;
  for (int i = 0; i < 32; ++i) {
    if (devices[i].used) continue;
    memset(&devices[i], 0, sizeof devices[i]);
    devices[i].used = 1;
    devices[i].pad = pad;
    ud = FIRST_UD + i;
    break;
  }
  note("ibdev %d %d %d", board, pad, sad);
  pthread_mutex_unlock(&lock);
  return ud;
}

int ibonl(int ud, int online) {
  pthread_mutex_lock(&lock);
  struct device *d = device_of(ud);
  if (d != NULL && !online) d->used = 0;
  pthread_mutex_unlock(&lock);
  return CMPL;
}

int ibeot(int ud, int eoi) {
  pthread_mutex_lock(&lock);
  struct device *d = device_of(ud);
  if (d != NULL) d->eoi = eoi;
  pthread_mutex_unlock(&lock);
  return CMPL;
}

int ibeos(int ud, int eos) {
  pthread_mutex_lock(&lock);
  struct device *d = device_of(ud);
  if (d != NULL) d->eos = eos;
  note("ibeos %d 0x%X", d != NULL ? d->pad : -1, eos);
  pthread_mutex_unlock(&lock);
  return CMPL;
}

int ibtmo(int ud, int code) {
  (void)ud, (void)code;
  return CMPL;
}

int ibwrt(int ud, const void *data, long count) {
  pthread_mutex_lock(&lock);
  struct device *d = device_of(ud);
  char shown[512];
  size_t at = 0;
  for (long i = 0; i < count && at + 5 < sizeof shown; ++i) {
    unsigned char c = ((const unsigned char *)data)[i];
    at += (size_t)(c == '\n' ? snprintf(shown + at, 3, "\\n")
                   : c < 0x20 || c >= 0x7F ? snprintf(shown + at, 5, "\\x%02X", c)
                   : snprintf(shown + at, 2, "%c", c));
  }
  shown[at] = '\0';
  note("ibwrt %d %s%s", d != NULL ? d->pad : -1, shown, d != NULL && d->eoi ? " EOI" : "");
  if (d != NULL && count >= 5 && memcmp(data, "*IDN?", 5) == 0)
    d->reply_length = (size_t)snprintf(d->reply, sizeof d->reply, "FAKE,GPIB,%d,1\n", d->pad);
  if (d != NULL && count >= 3 && memcmp(data, "SRQ", 3) == 0) d->requesting = 1;
  thread_ibcntl = count;
  pthread_mutex_unlock(&lock);
  return CMPL;
}

int ibrd(int ud, void *buffer, long count) {
  pthread_mutex_lock(&lock);
  struct device *d = device_of(ud);
  int status = CMPL;
  if (d == NULL || d->reply_length == 0) {
    thread_iberr = EABO;
    thread_ibcntl = 0;
    status |= ERR | TIMO;
  } else {
    size_t n = (size_t)count < d->reply_length ? (size_t)count : d->reply_length;
    int at_eos = 0;
    if (d->eos & 0x400) { /* REOS: the read ends at the EOS character */
      const char *stop = memchr(d->reply, d->eos & 0xFF, n);
      if (stop != NULL) n = (size_t)(stop - d->reply) + 1, at_eos = 1;
    }
    memcpy(buffer, d->reply, n);
    memmove(d->reply, d->reply + n, d->reply_length - n);
    d->reply_length -= n;
    thread_ibcntl = (long)n;
    if (d->reply_length == 0 || at_eos) status |= END;
  }
  note("ibrd %d %ld", d != NULL ? d->pad : -1, thread_ibcntl);
  pthread_mutex_unlock(&lock);
  return status;
}

int ibrsp(int ud, char *result) {
  pthread_mutex_lock(&lock);
  struct device *d = device_of(ud);
  *result = (char)(d != NULL && d->requesting ? 0x40 : 0);
  if (d != NULL) d->requesting = 0;
  note("ibrsp %d", d != NULL ? d->pad : -1);
  pthread_mutex_unlock(&lock);
  return CMPL;
}

static int device_call(const char *name, int ud) {
  pthread_mutex_lock(&lock);
  struct device *d = device_of(ud);
  if (d != NULL && strcmp(name, "ibclr") == 0) d->reply_length = 0;
  note("%s %d", name, d != NULL ? d->pad : -1);
  pthread_mutex_unlock(&lock);
  return CMPL;
}

int ibclr(int ud) { return device_call("ibclr", ud); }
int ibtrg(int ud) { return device_call("ibtrg", ud); }
int ibloc(int ud) { return device_call("ibloc", ud); }

static int board_call(const char *name, int board, int value) {
  pthread_mutex_lock(&lock);
  note("%s %d %d", name, board, value);
  pthread_mutex_unlock(&lock);
  return CMPL;
}

int ibsic(int board) { return board_call("ibsic", board, 0); }
int ibsre(int board, int value) { return board_call("ibsre", board, value); }
int ibcmd(int board, const void *commands, long count) {
  return board_call("ibcmd", board, count > 0 ? ((const unsigned char *)commands)[0] : -1);
}

int ibwait(int ud, int mask) {
  (void)ud, (void)mask;
  pthread_mutex_lock(&lock);
  int status = CMPL;
  for (int i = 0; i < 32; ++i)
    if (devices[i].used && devices[i].requesting) status |= SRQI;
  pthread_mutex_unlock(&lock);
  return status;
}

int ThreadIberr(void) { return thread_iberr; }
long ThreadIbcntl(void) { return thread_ibcntl; }

const char *fake_gpib_log(void) { return log_text; }
