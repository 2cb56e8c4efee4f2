/*
 * kr_style.c - code in the traditional style: old-style definitions,
 * implicit int, no qualifiers.  It parses in every dialect.
 */
extern char *malloc();
extern int free();
extern int strlen();
extern int printf();

typedef struct symbol {
    char *name;
    int value;
    struct symbol *next;
} SYMBOL;

static SYMBOL *symbols;
static int nsymbols;
int debug_level = 0;
char buffer[512];
char *bufp = buffer;
long lines_read;
unsigned short checksum;
short small_table[4] = { 1, 2, 4, 8 };
float weights[3];
double averages[3];

SYMBOL *
lookup(name)
    char *name;
{
    register SYMBOL *s;

    for (s = symbols; s; s = s->next)
        if (strcmp(s->name, name) == 0)
            return s;
    return (SYMBOL *) 0;
}

strcmp(a, b)
    register char *a, *b;
{
    while (*a && *a == *b)
        a++, b++;
    return *a - *b;
}

char *
strsave(s)
    char *s;
{
    char *p;
    int n;

    n = strlen(s) + 1;
    if ((p = malloc(n)) != 0) {
        char *q = p;
        while ((*q++ = *s++) != 0)
            ;
    }
    return p;
}

SYMBOL *
install(name, value)
    char *name;
{
    SYMBOL *s;

    if ((s = lookup(name)) == 0) {
        s = (SYMBOL *) malloc(sizeof(SYMBOL));
        if (s == 0)
            return 0;
        s->name = strsave(name);
        s->next = symbols;
        symbols = s;
        nsymbols++;
    }
    s->value = value;
    return s;
}

remove_symbol(name)
    char *name;
{
    SYMBOL **pp, *s;

    for (pp = &symbols; (s = *pp) != 0; pp = &s->next) {
        if (strcmp(s->name, name) == 0) {
            *pp = s->next;
            free(s->name);
            free((char *) s);
            nsymbols--;
            return 1;
        }
    }
    return 0;
}

getword(s, lim)
    char *s;
    int lim;
{
    int c;
    char *w = s;

    while ((c = *bufp) == ' ' || c == '\t')
        bufp++;
    if (c == 0)
        return 0;
    while (--lim > 0 && (c = *bufp) != 0 && c != ' ' && c != '\t') {
        *w++ = c;
        bufp++;
    }
    *w = 0;
    return w - s;
}

atoi_kr(s)
    char *s;
{
    int n, sign;

    while (*s == ' ')
        s++;
    sign = 1;
    if (*s == '-' || *s == '+')
        sign = (*s++ == '-') ? -1 : 1;
    for (n = 0; *s >= '0' && *s <= '9'; s++)
        n = 10 * n + (*s - '0');
    return sign * n;
}

itoa_kr(n, s)
    char s[];
{
    int i, sign, j, t;

    if ((sign = n) < 0)
        n = -n;
    i = 0;
    do {
        s[i++] = n % 10 + '0';
    } while ((n /= 10) > 0);
    if (sign < 0)
        s[i++] = '-';
    s[i] = '\0';
    for (i--, j = 0; j < i; j++, i--) {
        t = s[j];
        s[j] = s[i];
        s[i] = t;
    }
}

double
average(v, n)
    double v[];
    int n;
{
    double sum;
    int i;

    if (n <= 0)
        return 0.0;
    for (sum = 0.0, i = 0; i < n; i++)
        sum += v[i];
    return sum / n;
}

unsigned
sum_check(p, n)
    register char *p;
    register unsigned n;
{
    register unsigned s = 0;

    while (n--) {
        s = (s << 1) | (s >> 15);
        s += *p++ & 0377;
    }
    return s & 0xffff;
}

int (*dispatch[4])();

nop() { return 0; }
one() { return 1; }

setup()
{
    dispatch[0] = nop;
    dispatch[1] = one;
    dispatch[2] = dispatch[3] = 0;
}

run(k)
{
    int (*f)();

    if (k < 0 || k >= 4 || (f = dispatch[k]) == 0)
        return -1;
    return (*f)();
}

dump()
{
    SYMBOL *s;
    int count = 0;

    for (s = symbols; s != 0; s = s->next) {
        if (debug_level > 1)
            printf("%s = %d\n", s->name, s->value);
        count++;
    }
    switch (count) {
    case 0:
        printf("empty\n");
        break;
    case 1:
        printf("one symbol\n");
        break;
    default:
        printf("%d symbols\n", count);
    }
    return count;
}

struct point {
    int x, y;
};

struct rect {
    struct point min, max;
};

area(r)
    struct rect *r;
{
    return (r->max.x - r->min.x) * (r->max.y - r->min.y);
}

contains(r, p)
    struct rect *r;
    struct point p;
{
    return p.x >= r->min.x && p.x < r->max.x
        && p.y >= r->min.y && p.y < r->max.y;
}

union word {
    long l;
    short s[2];
    char c[4];
};

swap_halves(w)
    union word *w;
{
    short t;

    t = w->s[0];
    w->s[0] = w->s[1];
    w->s[1] = t;
}

main(argc, argv)
    int argc;
    char **argv;
{
    int i;
    char word[64];

    setup();
    for (i = 1; i < argc; i++) {
        bufp = argv[i];
        while (getword(word, sizeof word) > 0)
            install(word, atoi_kr(word));
    }
    checksum = sum_check(buffer, (unsigned) sizeof buffer);
    averages[0] = average(averages, 3);
    if (run(1) != 1)
        goto fail;
    dump();
    return 0;
fail:
    return 1;
}
