/*
 * delayserver: a UDP DNS server for benchmarks that answers every query after a fixed
 * delay, so that a forwarder in front of it has as many queries in flight as the rate
 * times the delay (5 000 q/s and 200 ms: 1 000 in flight).
 *
 * The answer is the query with QR and RA set, ARCOUNT 0 (any additional records, the
 * identification record among them, are cut off after the question) and one A record
 * 192.0.2.1 named by a pointer to the question. Queries are held in arrival order in a
 * ring, since every one waits the same time.
 *
 * Build: cc -O2 -Wall -o delayserver delayserver.c
 * Usage: delayserver -l 127.0.0.1:PORT [-D delay_ms] [-d seconds]
 */
#define _GNU_SOURCE
#include <arpa/inet.h>
#include <errno.h>
#include <netinet/in.h>
#include <poll.h>
#include <signal.h>
#include <stdint.h>
#include <stdio.h>
#include <stdlib.h>
#include <string.h>
#include <sys/socket.h>
#include <time.h>
#include <unistd.h>

#define RING 131072
#define MAXANSWER 600

struct held {
    uint64_t due_ms;
    struct sockaddr_in to;
    uint16_t length;
    uint8_t answer[MAXANSWER];
};

static volatile sig_atomic_t stopping;
static void on_signal(int signo) { (void)signo; stopping = 1; }

static uint64_t now_ms(void)
{
    struct timespec ts;
    clock_gettime(CLOCK_MONOTONIC, &ts);
    return (uint64_t)ts.tv_sec * 1000 + (uint64_t)ts.tv_nsec / 1000000;
}

/* Length of the question section's first question starting at 12, or -1. */
static int question_end(const uint8_t *q, int n)
{
    int at = 12;
    while (at < n && q[at] != 0) {
        if (q[at] & 0xC0)
            return -1;
        at += q[at] + 1;
    }
    at += 1 + 4;
    return at <= n ? at : -1;
}

int main(int argc, char **argv)
{
    const char *listen_at = NULL;
    int delay = 200, seconds = 0, opt;
    while ((opt = getopt(argc, argv, "l:D:d:")) != -1) {
        if (opt == 'l') listen_at = optarg;
        else if (opt == 'D') delay = atoi(optarg);
        else if (opt == 'd') seconds = atoi(optarg);
    }
    if (!listen_at || !strchr(listen_at, ':')) {
        fprintf(stderr, "usage: delayserver -l ADDR:PORT [-D delay_ms] [-d seconds]\n");
        return 2;
    }
    char host[64];
    snprintf(host, sizeof host, "%.*s", (int)(strchr(listen_at, ':') - listen_at), listen_at);
    struct sockaddr_in local = { .sin_family = AF_INET, .sin_port = htons(atoi(strchr(listen_at, ':') + 1)) };
    inet_pton(AF_INET, host, &local.sin_addr);
    int fd = socket(AF_INET, SOCK_DGRAM | SOCK_NONBLOCK, 0);
    /* Queries arrive in bursts while the load generator holds the shared core: a buffer
       past net.core.rmem_max (root may force one) keeps them from being dropped here, which
       would count as the forwarder's loss. */
    int buffer = 16 << 20;
    if (setsockopt(fd, SOL_SOCKET, SO_RCVBUFFORCE, &buffer, sizeof buffer) != 0)
        setsockopt(fd, SOL_SOCKET, SO_RCVBUF, &buffer, sizeof buffer);
    if (setsockopt(fd, SOL_SOCKET, SO_SNDBUFFORCE, &buffer, sizeof buffer) != 0)
        setsockopt(fd, SOL_SOCKET, SO_SNDBUF, &buffer, sizeof buffer);
    if (bind(fd, (struct sockaddr *)&local, sizeof local) != 0) {
        perror("bind");
        return 1;
    }
    signal(SIGTERM, on_signal);
    signal(SIGINT, on_signal);
    struct held *ring = calloc(RING, sizeof *ring);
    size_t head = 0, tail = 0;
    unsigned long answered = 0, overflow = 0;
    const uint64_t end = seconds > 0 ? now_ms() + (uint64_t)seconds * 1000 : 0;
    static const uint8_t record[] = { 0xc0, 0x0c, 0, 1, 0, 1, 0, 0, 0, 60, 0, 4, 192, 0, 2, 1 };
    while (!stopping && (!end || now_ms() < end)) {
        const uint64_t now = now_ms();
        while (head != tail && ring[head].due_ms <= now) {
            sendto(fd, ring[head].answer, ring[head].length, 0, (struct sockaddr *)&ring[head].to, sizeof ring[head].to);
            head = (head + 1) % RING;
            ++answered;
        }
        int wait = head != tail ? (int)(ring[head].due_ms - now) : 100;
        struct pollfd p = { .fd = fd, .events = POLLIN };
        if (poll(&p, 1, wait < 0 ? 0 : wait) <= 0)
            continue;
        for (int i = 0; i < 256; ++i) {
            uint8_t query[4096];
            struct sockaddr_in from;
            socklen_t fromlen = sizeof from;
            ssize_t n = recvfrom(fd, query, sizeof query, 0, (struct sockaddr *)&from, &fromlen);
            if (n < 0)
                break;
            int qend = question_end(query, (int)n);
            if (qend < 0 || qend + (int)sizeof record > MAXANSWER)
                continue;
            size_t next = (tail + 1) % RING;
            if (next == head) {
                ++overflow;
                continue;
            }
            struct held *h = &ring[tail];
            memcpy(h->answer, query, (size_t)qend);
            h->answer[2] |= 0x80;
            h->answer[3] = 0x80;
            h->answer[4] = 0; h->answer[5] = 1;
            h->answer[6] = 0; h->answer[7] = 1;
            h->answer[8] = h->answer[9] = h->answer[10] = h->answer[11] = 0;
            memcpy(h->answer + qend, record, sizeof record);
            h->length = (uint16_t)(qend + sizeof record);
            h->to = from;
            h->due_ms = now_ms() + (uint64_t)delay;
            tail = next;
        }
    }
    fprintf(stderr, "delayserver: answered %lu, ring full %lu\n", answered, overflow);
    return 0;
}
