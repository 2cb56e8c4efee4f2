/* counter.c - the counter's operations. */
#include "counter.h"

void counter_reset(counter_t *c)
{
    c->value = 0;
}

void counter_add(counter_t *c, int n)
{
    if (c->value + n > COUNTER_MAX)
        c->value = COUNTER_MAX;
    else
        c->value += n;
}

int counter_value(const counter_t *c)
{
    return c->value;
}
