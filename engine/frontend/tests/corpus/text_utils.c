/*
 * text_utils.c - a string builder, a small pattern matcher, base64 coding,
 * a binary heap and a bit set: ordinary library code of the kind that is
 * checked against coding rules.
 */
typedef unsigned long size_t;

extern void *malloc(size_t n);
extern void *realloc(void *p, size_t n);
extern void free(void *p);

/* ---------------------------------------------------------------- string builder */

typedef struct {
    char *buf;
    size_t len;
    size_t cap;
    int failed;
} StrBuf;

void sb_init(StrBuf *sb)
{
    sb->buf = 0;
    sb->len = sb->cap = 0;
    sb->failed = 0;
}

static int sb_grow(StrBuf *sb, size_t extra)
{
    size_t need = sb->len + extra + 1, cap = sb->cap ? sb->cap : 16;
    char *p;
    if (sb->failed)
        return 0;
    if (need <= sb->cap)
        return 1;
    while (cap < need)
        cap *= 2;
    p = (char *)realloc(sb->buf, cap);
    if (!p) {
        sb->failed = 1;
        return 0;
    }
    sb->buf = p;
    sb->cap = cap;
    return 1;
}

void sb_putc(StrBuf *sb, int c)
{
    if (sb_grow(sb, 1)) {
        sb->buf[sb->len++] = (char)c;
        sb->buf[sb->len] = '\0';
    }
}

void sb_puts(StrBuf *sb, const char *s)
{
    while (*s)
        sb_putc(sb, *s++);
}

void sb_put_uint(StrBuf *sb, unsigned long v, unsigned base)
{
    char digits[sizeof(unsigned long) * 8 + 1];
    int n = 0;
    static const char symbols[] = "0123456789abcdefghijklmnopqrstuvwxyz";
    if (base < 2 || base > 36)
        base = 10;
    do {
        digits[n++] = symbols[v % base];
        v /= base;
    } while (v != 0);
    while (n > 0)
        sb_putc(sb, digits[--n]);
}

void sb_put_int(StrBuf *sb, long v)
{
    if (v < 0) {
        sb_putc(sb, '-');
        sb_put_uint(sb, (unsigned long)-(v + 1) + 1u, 10);
    } else {
        sb_put_uint(sb, (unsigned long)v, 10);
    }
}

char *sb_finish(StrBuf *sb)
{
    char *r;
    if (sb->failed) {
        free(sb->buf);
        sb_init(sb);
        return 0;
    }
    if (sb->buf == 0 && !sb_grow(sb, 0))
        return 0;
    r = sb->buf;
    r[sb->len] = '\0';
    sb_init(sb);
    return r;
}

/* ---------------------------------------------------------------- pattern matching */

/* Matches c, '.', 'x*', '^' and '$' like the classic small matcher. */
static int match_here(const char *re, const char *text);

static int match_star(int c, const char *re, const char *text)
{
    do {
        if (match_here(re, text))
            return 1;
    } while (*text != '\0' && (*text++ == c || c == '.'));
    return 0;
}

static int match_here(const char *re, const char *text)
{
    if (re[0] == '\0')
        return 1;
    if (re[1] == '*')
        return match_star(re[0], re + 2, text);
    if (re[0] == '$' && re[1] == '\0')
        return *text == '\0';
    if (*text != '\0' && (re[0] == '.' || re[0] == *text))
        return match_here(re + 1, text + 1);
    return 0;
}

int match(const char *re, const char *text)
{
    if (re[0] == '^')
        return match_here(re + 1, text);
    do {
        if (match_here(re, text))
            return 1;
    } while (*text++ != '\0');
    return 0;
}

int glob(const char *pattern, const char *name)
{
    const char *star = 0, *resume = 0;
    while (*name) {
        if (*pattern == '?' || *pattern == *name) {
            pattern++;
            name++;
        } else if (*pattern == '*') {
            star = pattern++;
            resume = name;
        } else if (star) {
            pattern = star + 1;
            name = ++resume;
        } else {
            return 0;
        }
    }
    while (*pattern == '*')
        pattern++;
    return *pattern == '\0';
}

/* ---------------------------------------------------------------- base64 */

static const char b64_alphabet[] =
    "ABCDEFGHIJKLMNOPQRSTUVWXYZ"
    "abcdefghijklmnopqrstuvwxyz"
    "0123456789+/";

size_t base64_encode(const unsigned char *in, size_t n, char *out)
{
    size_t i, o = 0;
    for (i = 0; i + 2 < n; i += 3) {
        unsigned long v = ((unsigned long)in[i] << 16) | ((unsigned long)in[i + 1] << 8) | in[i + 2];
        out[o++] = b64_alphabet[(v >> 18) & 63];
        out[o++] = b64_alphabet[(v >> 12) & 63];
        out[o++] = b64_alphabet[(v >> 6) & 63];
        out[o++] = b64_alphabet[v & 63];
    }
    if (i < n) {
        unsigned long v = (unsigned long)in[i] << 16;
        if (i + 1 < n)
            v |= (unsigned long)in[i + 1] << 8;
        out[o++] = b64_alphabet[(v >> 18) & 63];
        out[o++] = b64_alphabet[(v >> 12) & 63];
        out[o++] = i + 1 < n ? b64_alphabet[(v >> 6) & 63] : '=';
        out[o++] = '=';
    }
    out[o] = '\0';
    return o;
}

static int b64_value(int c)
{
    if (c >= 'A' && c <= 'Z') return c - 'A';
    if (c >= 'a' && c <= 'z') return c - 'a' + 26;
    if (c >= '0' && c <= '9') return c - '0' + 52;
    if (c == '+') return 62;
    if (c == '/') return 63;
    return -1;
}

long base64_decode(const char *in, unsigned char *out)
{
    long o = 0;
    unsigned long acc = 0;
    int bits = 0, v;
    for (; *in && *in != '='; in++) {
        if ((v = b64_value((unsigned char)*in)) < 0)
            return -1;
        acc = (acc << 6) | (unsigned long)v;
        bits += 6;
        if (bits >= 8) {
            bits -= 8;
            out[o++] = (unsigned char)((acc >> bits) & 0xff);
        }
    }
    return o;
}

/* ---------------------------------------------------------------- binary heap */

struct heap {
    int *items;
    size_t size, cap;
    int (*less)(int, int);
};

static int int_less(int a, int b) { return a < b; }

int heap_init(struct heap *h, size_t cap, int (*less)(int, int))
{
    h->items = (int *)malloc((cap ? cap : 1) * sizeof(int));
    h->size = 0;
    h->cap = cap ? cap : 1;
    h->less = less ? less : int_less;
    return h->items != 0;
}

static void heap_swap(int *a, int *b)
{
    int t = *a;
    *a = *b;
    *b = t;
}

int heap_push(struct heap *h, int v)
{
    size_t i;
    if (h->size == h->cap) {
        int *p = (int *)realloc(h->items, h->cap * 2 * sizeof(int));
        if (p == 0)
            return 0;
        h->items = p;
        h->cap *= 2;
    }
    i = h->size++;
    h->items[i] = v;
    while (i > 0 && h->less(h->items[i], h->items[(i - 1) / 2])) {
        heap_swap(&h->items[i], &h->items[(i - 1) / 2]);
        i = (i - 1) / 2;
    }
    return 1;
}

int heap_pop(struct heap *h, int *out)
{
    size_t i = 0;
    if (h->size == 0)
        return 0;
    *out = h->items[0];
    h->items[0] = h->items[--h->size];
    for (;;) {
        size_t l = 2 * i + 1, r = l + 1, m = i;
        if (l < h->size && h->less(h->items[l], h->items[m]))
            m = l;
        if (r < h->size && h->less(h->items[r], h->items[m]))
            m = r;
        if (m == i)
            break;
        heap_swap(&h->items[i], &h->items[m]);
        i = m;
    }
    return 1;
}

/* ---------------------------------------------------------------- bit set */

typedef struct {
    unsigned long words[8];
} BitSet;

enum { BITS_PER_WORD = sizeof(unsigned long) * 8 };

void bits_clear(BitSet *s)
{
    unsigned i;
    for (i = 0; i < sizeof s->words / sizeof s->words[0]; i++)
        s->words[i] = 0UL;
}

void bits_set(BitSet *s, unsigned n)
{
    s->words[n / BITS_PER_WORD % 8] |= 1UL << (n % BITS_PER_WORD);
}

int bits_test(const BitSet *s, unsigned n)
{
    return (s->words[n / BITS_PER_WORD % 8] >> (n % BITS_PER_WORD)) & 1UL ? 1 : 0;
}

unsigned bits_count(const BitSet *s)
{
    unsigned i, total = 0;
    for (i = 0; i < 8; i++) {
        unsigned long w = s->words[i];
        while (w) {
            w &= w - 1;
            total++;
        }
    }
    return total;
}

void bits_union(BitSet *dst, const BitSet *a, const BitSet *b)
{
    int i;
    for (i = 7; i >= 0; --i)
        dst->words[i] = a->words[i] | b->words[i];
}

int text_utils_selftest(void)
{
    StrBuf sb;
    char *s, enc[16];
    unsigned char dec[16];
    struct heap h;
    BitSet bs;
    int v, prev = -1, bad = 0;

    sb_init(&sb);
    sb_puts(&sb, "n=");
    sb_put_int(&sb, -42L);
    s = sb_finish(&sb);
    bad += s == 0;
    free(s);

    bad += !match("^a.c$", "abc") + match("^a.c$", "abcd") + !glob("*.c", "main.c");
    bad += base64_encode((const unsigned char *)"hi!", 3, enc) != 4;
    bad += base64_decode(enc, dec) != 3 || dec[0] != 'h';

    if (heap_init(&h, 2, 0)) {
        heap_push(&h, 5);
        heap_push(&h, 1);
        heap_push(&h, 3);
        while (heap_pop(&h, &v)) {
            bad += v < prev;
            prev = v;
        }
        free(h.items);
    }
    bits_clear(&bs);
    bits_set(&bs, 3);
    bits_set(&bs, 200);
    bad += bits_count(&bs) != 2 || !bits_test(&bs, 3);
    return bad;
}
