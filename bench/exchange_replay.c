/* SPDX-License-Identifier: MIT */
/* The floor under a front-panel command's start-up: a C program that links
 * nothing but the C library, connects to an instrument's SOCKET port and sends
 * the messages of a file, one a line, reading one reply line after each that
 * ends in '?'. Timed from outside (farm-bench) against the trivial program and
 * against the zevra command whose exchanges the file holds, it says how much of
 * that command's time the exchanges themselves take.
 *
 * usage: exchange_replay HOST PORT FILE
 * exit status: 0 when every query was answered, 1 otherwise
 */
#include <netinet/in.h>
#include <netinet/tcp.h>
#include <arpa/inet.h>
#include <stdio.h>
#include <stdlib.h>
#include <string.h>
#include <sys/socket.h>
#include <unistd.h>

/* Reads until a newline arrives; replies here are short, so the line is
 * kept only to find its end. */
static int read_reply(int fd) {
  char buffer[4096];
  for (;;) {
    ssize_t got = recv(fd, buffer, sizeof buffer, 0);
    if (got <= 0) return -1;
    if (memchr(buffer, '\n', (size_t)got) != NULL) return 0;
  }
}

int main(int argc, char** argv) {
  if (argc != 4) {
    fprintf(stderr, "usage: exchange_replay HOST PORT FILE\n");
    return 2;
  }
  FILE* messages = fopen(argv[3], "r");
  if (messages == NULL) {
    perror(argv[3]);
    return 2;
  }
  struct sockaddr_in address = {.sin_family = AF_INET, .sin_port = htons((unsigned short)atoi(argv[2]))};
  if (inet_pton(AF_INET, argv[1], &address.sin_addr) != 1) {
    fprintf(stderr, "exchange_replay: %s is not an IPv4 address\n", argv[1]);
    return 2;
  }
  int fd = socket(AF_INET, SOCK_STREAM, 0);
  int one = 1;
  if (fd < 0 || connect(fd, (struct sockaddr*)&address, sizeof address) != 0) {
    perror("connect");
    return 1;
  }
  setsockopt(fd, IPPROTO_TCP, TCP_NODELAY, &one, sizeof one);
  char line[512];
  while (fgets(line, sizeof line, messages) != NULL) {
    size_t length = strlen(line);
    if (length < 2 || line[length - 1] != '\n') continue;
    if (send(fd, line, length, MSG_NOSIGNAL) != (ssize_t)length) return 1;
    if (line[length - 2] == '?' && read_reply(fd) != 0) return 1;
  }
  close(fd);
  fclose(messages);
  return 0;
}
