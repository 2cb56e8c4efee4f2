/*
 * containers.c - lists, a hash table and a growable array, written without
 * any header so that it parses without preprocessing.
 */
typedef unsigned long size_t;
typedef int (*compare_fn)(const void *, const void *);
typedef unsigned int (*hash_fn)(const void *key);
typedef void (*free_fn)(void *);

extern void *malloc(size_t size);
extern void *realloc(void *ptr, size_t size);
extern void free(void *ptr);
extern void *memset(void *dst, int c, size_t n);
extern void *memcpy(void *dst, const void *src, size_t n);
extern int strcmp(const char *a, const char *b);
extern size_t strlen(const char *s);

/* ---------------------------------------------------------------- lists */

struct list_node {
    struct list_node *next;
    struct list_node *prev;
    void *data;
};

struct list {
    struct list_node head;
    size_t count;
    free_fn release;
};

typedef struct list List;
typedef struct list_node ListNode;

void list_init(List *l, free_fn release)
{
    l->head.next = &l->head;
    l->head.prev = &l->head;
    l->head.data = 0;
    l->count = 0;
    l->release = release;
}

static ListNode *node_new(void *data)
{
    ListNode *n = (ListNode *)malloc(sizeof *n);
    if (n == 0)
        return 0;
    n->next = n->prev = 0;
    n->data = data;
    return n;
}

int list_push_back(List *l, void *data)
{
    ListNode *n = node_new(data);
    if (!n)
        return -1;
    n->prev = l->head.prev;
    n->next = &l->head;
    l->head.prev->next = n;
    l->head.prev = n;
    ++l->count;
    return 0;
}

int list_push_front(List *l, void *data)
{
    ListNode *n = node_new(data);
    if (!n)
        return -1;
    n->next = l->head.next;
    n->prev = &l->head;
    l->head.next->prev = n;
    l->head.next = n;
    l->count++;
    return 0;
}

void *list_pop_front(List *l)
{
    ListNode *n;
    void *data;
    if (l->count == 0)
        return 0;
    n = l->head.next;
    data = n->data;
    n->prev->next = n->next;
    n->next->prev = n->prev;
    free(n);
    l->count--;
    return data;
}

void list_clear(List *l)
{
    void *d;
    while ((d = list_pop_front(l)) != 0) {
        if (l->release)
            (*l->release)(d);
    }
}

ListNode *list_find(const List *l, const void *key, compare_fn cmp)
{
    ListNode *n;
    for (n = l->head.next; n != &l->head; n = n->next)
        if (cmp(n->data, key) == 0)
            return n;
    return (ListNode *)0;
}

void list_foreach(List *l, void (*visit)(void *data, void *arg), void *arg)
{
    ListNode *n, *next;
    for (n = l->head.next; n != &l->head; n = next) {
        next = n->next;
        visit(n->data, arg);
    }
}

static void list_reverse(List *l)
{
    ListNode *n = &l->head;
    do {
        ListNode *t = n->next;
        n->next = n->prev;
        n->prev = t;
        n = t;
    } while (n != &l->head);
}

/* Merge sort on the list's data pointers through an array of them. */
static void merge(void **a, void **tmp, size_t lo, size_t mid, size_t hi, compare_fn cmp)
{
    size_t i = lo, j = mid, k = lo;
    while (i < mid && j < hi)
        tmp[k++] = cmp(a[i], a[j]) <= 0 ? a[i++] : a[j++];
    while (i < mid)
        tmp[k++] = a[i++];
    while (j < hi)
        tmp[k++] = a[j++];
    for (k = lo; k < hi; k++)
        a[k] = tmp[k];
}

static void sort_range(void **a, void **tmp, size_t lo, size_t hi, compare_fn cmp)
{
    size_t mid;
    if (hi - lo < 2)
        return;
    mid = lo + (hi - lo) / 2;
    sort_range(a, tmp, lo, mid, cmp);
    sort_range(a, tmp, mid, hi, cmp);
    merge(a, tmp, lo, mid, hi, cmp);
}

int list_sort(List *l, compare_fn cmp)
{
    void **items, **tmp;
    size_t i;
    ListNode *n;
    if (l->count < 2)
        return 0;
    items = (void **)malloc(l->count * sizeof(void *));
    tmp = (void **)malloc(l->count * sizeof(void *));
    if (items == 0 || tmp == 0) {
        free(items);
        free(tmp);
        return -1;
    }
    for (i = 0, n = l->head.next; n != &l->head; n = n->next, i++)
        items[i] = n->data;
    sort_range(items, tmp, 0, l->count, cmp);
    for (i = 0, n = l->head.next; n != &l->head; n = n->next)
        n->data = items[i++];
    free(items);
    free(tmp);
    list_reverse(l);
    list_reverse(l);
    return 0;
}

/* ---------------------------------------------------------------- hash table */

enum { HT_MIN_BUCKETS = 16, HT_MAX_LOAD = 3 };

struct ht_entry {
    struct ht_entry *chain;
    unsigned int hash;
    const char *key;
    void *value;
};

typedef struct hash_table {
    struct ht_entry **buckets;
    unsigned int nbuckets;
    unsigned int count;
    hash_fn hash;
} HashTable;

unsigned int string_hash(const void *key)
{
    const unsigned char *p = (const unsigned char *)key;
    unsigned int h = 2166136261u;
    while (*p) {
        h ^= *p++;
        h *= 16777619u;
    }
    return h;
}

int ht_init(HashTable *t, hash_fn hash)
{
    t->nbuckets = HT_MIN_BUCKETS;
    t->count = 0;
    t->hash = hash ? hash : string_hash;
    t->buckets = (struct ht_entry **)malloc(t->nbuckets * sizeof t->buckets[0]);
    if (!t->buckets)
        return -1;
    memset(t->buckets, 0, t->nbuckets * sizeof t->buckets[0]);
    return 0;
}

static int ht_grow(HashTable *t)
{
    unsigned int n = t->nbuckets << 1, i;
    struct ht_entry **nb = (struct ht_entry **)malloc(n * sizeof *nb);
    if (nb == 0)
        return -1;
    memset(nb, 0, n * sizeof *nb);
    for (i = 0; i < t->nbuckets; i++) {
        struct ht_entry *e = t->buckets[i], *next;
        for (; e; e = next) {
            next = e->chain;
            e->chain = nb[e->hash & (n - 1)];
            nb[e->hash & (n - 1)] = e;
        }
    }
    free(t->buckets);
    t->buckets = nb;
    t->nbuckets = n;
    return 0;
}

void **ht_lookup(HashTable *t, const char *key, int create)
{
    unsigned int h = t->hash(key);
    struct ht_entry **slot = &t->buckets[h & (t->nbuckets - 1)];
    struct ht_entry *e;
    for (e = *slot; e != 0; e = e->chain)
        if (e->hash == h && strcmp(e->key, key) == 0)
            return &e->value;
    if (!create)
        return 0;
    if (t->count >= t->nbuckets * HT_MAX_LOAD) {
        if (ht_grow(t) < 0)
            return 0;
        slot = &t->buckets[h & (t->nbuckets - 1)];
    }
    e = (struct ht_entry *)malloc(sizeof(struct ht_entry));
    if (e == 0)
        return 0;
    e->hash = h;
    e->key = key;
    e->value = 0;
    e->chain = *slot;
    *slot = e;
    t->count++;
    return &e->value;
}

int ht_remove(HashTable *t, const char *key)
{
    unsigned int h = t->hash(key);
    struct ht_entry **pp = &t->buckets[h & (t->nbuckets - 1)];
    while (*pp) {
        struct ht_entry *e = *pp;
        if (e->hash == h && !strcmp(e->key, key)) {
            *pp = e->chain;
            free(e);
            t->count--;
            return 1;
        }
        pp = &e->chain;
    }
    return 0;
}

void ht_destroy(HashTable *t, free_fn release)
{
    unsigned int i;
    for (i = 0; i < t->nbuckets; ++i) {
        struct ht_entry *e = t->buckets[i];
        while (e) {
            struct ht_entry *next = e->chain;
            if (release != 0)
                release(e->value);
            free(e);
            e = next;
        }
    }
    free(t->buckets);
    t->buckets = 0;
    t->nbuckets = t->count = 0;
}

/* ---------------------------------------------------------------- growable array */

typedef struct {
    char *data;
    size_t size;     /* elements used */
    size_t capacity; /* elements allocated */
    size_t elem;     /* bytes per element */
} Vector;

int vec_init(Vector *v, size_t elem)
{
    v->data = 0;
    v->size = v->capacity = 0;
    v->elem = elem;
    return elem == 0 ? -1 : 0;
}

static int vec_reserve(Vector *v, size_t want)
{
    size_t cap = v->capacity ? v->capacity : 8;
    char *p;
    if (want <= v->capacity)
        return 0;
    while (cap < want)
        cap += cap / 2 + 1;
    p = (char *)realloc(v->data, cap * v->elem);
    if (p == (char *)0)
        return -1;
    v->data = p;
    v->capacity = cap;
    return 0;
}

void *vec_push(Vector *v, const void *item)
{
    char *slot;
    if (vec_reserve(v, v->size + 1) != 0)
        return 0;
    slot = v->data + v->size++ * v->elem;
    memcpy(slot, item, v->elem);
    return slot;
}

void *vec_at(const Vector *v, size_t i)
{
    return i < v->size ? (void *)(v->data + i * v->elem) : (void *)0;
}

int vec_pop(Vector *v, void *out)
{
    if (v->size == 0)
        return 0;
    v->size--;
    if (out)
        memcpy(out, v->data + v->size * v->elem, v->elem);
    return 1;
}

void vec_free(Vector *v)
{
    free(v->data);
    v->data = 0;
    v->size = v->capacity = 0;
}

size_t vec_bsearch(const Vector *v, const void *key, compare_fn cmp)
{
    size_t lo = 0, hi = v->size;
    while (lo < hi) {
        size_t mid = (lo + hi) >> 1;
        int c = cmp(v->data + mid * v->elem, key);
        if (c < 0)
            lo = mid + 1;
        else if (c > 0)
            hi = mid;
        else
            return mid;
    }
    return (size_t)-1;
}

/* ---------------------------------------------------------------- a ring buffer */
struct ring {
    unsigned char buf[256];
    unsigned int head, tail;
};

int ring_put(struct ring *r, unsigned char c)
{
    unsigned int next = (r->head + 1) % sizeof r->buf;
    if (next == r->tail)
        return 0;
    r->buf[r->head] = c;
    r->head = next;
    return 1;
}

int ring_get(struct ring *r)
{
    int c;
    if (r->head == r->tail)
        return -1;
    c = r->buf[r->tail];
    r->tail = (r->tail + 1) % (unsigned int)sizeof(r->buf);
    return c;
}

unsigned int ring_used(const struct ring *r)
{
    return (r->head + sizeof r->buf - r->tail) % sizeof r->buf;
}

static int cmp_int(const void *a, const void *b)
{
    int x = *(const int *)a, y = *(const int *)b;
    return (x > y) - (x < y);
}

int containers_selftest(void)
{
    List l;
    Vector v;
    HashTable t;
    static int values[] = { 5, 3, 9, 1, 7 };
    int i, failures = 0;
    void **slot;

    list_init(&l, 0);
    for (i = 0; i < (int)(sizeof values / sizeof values[0]); i++)
        list_push_back(&l, &values[i]);
    list_sort(&l, cmp_int);
    if (*(int *)l.head.next->data != 1)
        failures++;
    list_clear(&l);

    vec_init(&v, sizeof(int));
    for (i = 0; i < 100; i++)
        vec_push(&v, &i);
    if (vec_bsearch(&v, &values[2], cmp_int) != 9)
        failures++;
    vec_free(&v);

    if (ht_init(&t, 0) == 0) {
        slot = ht_lookup(&t, "alpha", 1);
        if (slot)
            *slot = &values[0];
        slot = ht_lookup(&t, "alpha", 0);
        failures += slot == 0 || *slot != &values[0];
        failures += !ht_remove(&t, "alpha");
        ht_destroy(&t, (free_fn)0);
    }
    return failures;
}
