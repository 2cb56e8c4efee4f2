/* main.c - a small program for the checker's demonstration. */
#include "counter.h"

int main(void)
{
    counter_t c;
    counter_reset(&c);
    counter_add(&c, 3);
    return counter_value(&c) == 3 ? 0 : 1;
}
