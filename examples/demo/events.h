/* events.h - a small queue of pending events. */
#ifndef EVENTS_H
#define EVENTS_H

struct event {
    unsigned kind : 3;
    int urgent : 1;
    int code;
};

int events_push(int kind, int code);
int events_pop(struct event *out);
double events_load(void);

#endif
