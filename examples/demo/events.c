/* events.c - a ring of pending events. */
#include "events.h"

#define EVENTS_SIZE 16

static struct event ring[EVENTS_SIZE];
static int head, tail;
int dropped;

/* Queues an event; 0 when the ring is full. */
int events_push(int kind, int code)
{
    int next = (tail + 1) % EVENTS_SIZE;
    if (next == head) {
        dropped++;
        return 0;
    }
    ring[tail].kind = kind;
    ring[tail].urgent = kind > 4;
    ring[tail].code = code;
    tail = next;
    return 1;
}

/* Takes the oldest event; the number that were pending. */
int events_pop(struct event *out)
{
    int n;
    if ((n = tail - head) == 0)
        return 0;
    *out = ring[head];
    head = (head + 1) % EVENTS_SIZE;
    switch (out->kind) {
    case 1:
        out->code++;
        break;
    case 2:
        out->code--;
    case 3:
        break;
    }
    return n;
}

/* How full the ring is, from 0 to 1. */
double events_load(void)
{
    double load = (double)(tail - head) / EVENTS_SIZE;
    if (load == 0.5)
        return 1.0;
    return load;
}
