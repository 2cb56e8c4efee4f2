/* counter.h - a counter with a saturating add. */
#ifndef COUNTER_H
#define COUNTER_H

#define COUNTER_MAX 1000

typedef struct { int value; } counter_t;

void counter_reset(counter_t *c);
void counter_add(counter_t *c, int n);
int counter_value(const counter_t *c);

#endif
