/*
 * statements.c - every statement kind: loops, switches with fall-through,
 * labels and goto, nested conditionals, early exits and a state machine.
 */
typedef unsigned long size_t;

extern int getchar(void);
extern int putchar(int c);
extern void abort(void);

enum state { START, IN_WORD, IN_NUMBER, IN_STRING, ESCAPE, DONE, FAILED };

struct counts {
    long words, numbers, strings, lines, errors;
};

static int is_alpha(int c)
{
    return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || c == '_';
}

static int is_digit(int c)
{
    return c >= '0' && c <= '9';
}

int scan(const char *p, struct counts *out)
{
    enum state st = START;
    int c;

    out->words = out->numbers = out->strings = out->lines = out->errors = 0;
    for (;;) {
        c = *p ? *p++ : -1;
        switch (st) {
        case START:
            if (c < 0) {
                st = DONE;
                break;
            }
            if (is_alpha(c))
                st = IN_WORD;
            else if (is_digit(c))
                st = IN_NUMBER;
            else if (c == '"')
                st = IN_STRING;
            else if (c == '\n')
                out->lines++;
            continue;
        case IN_WORD:
            if (is_alpha(c) || is_digit(c))
                continue;
            out->words++;
            st = START;
            if (c < 0)
                st = DONE;
            break;
        case IN_NUMBER:
            if (is_digit(c))
                continue;
            out->numbers++;
            /* fall through */
        case FAILED:
            st = c < 0 ? DONE : START;
            break;
        case IN_STRING:
            switch (c) {
            case '\\':
                st = ESCAPE;
                break;
            case '"':
                out->strings++;
                st = START;
                break;
            case -1:
                out->errors++;
                st = DONE;
                break;
            default:
                break;
            }
            break;
        case ESCAPE:
            st = c < 0 ? FAILED : IN_STRING;
            break;
        case DONE:
        default:
            goto finished;
        }
        if (st == DONE)
            break;
    }
finished:
    return (int)(out->words + out->numbers + out->strings);
}

int loops(int n)
{
    int i, j, k, sum = 0;

    for (i = 0; i < n; i++)
        sum += i;
    for (i = 0; i < n; ++i) {
        if (i % 2)
            continue;
        for (j = i; j > 0; j--) {
            if (j == 3)
                break;
            sum -= j;
        }
    }
    i = 0;
    while (i < n) {
        i++;
        if (i == 5)
            continue;
        sum += i * 2;
    }
    while (n-- > 0)
        ;
    k = 10;
    do {
        k--;
        sum ^= k;
    } while (k > 0);
    do
        k++;
    while (k < 3);
    for (;;) {
        if (++k > 100)
            break;
    }
    for (i = 0; ; i++)
        if (i > 4)
            break;
    for (; k > 0;)
        k -= 7;
    return sum;
}

int dangling_else(int a, int b)
{
    if (a)
        if (b)
            return 1;
        else
            return 2;
    else if (b)
        return 3;
    if (a) {
        if (b)
            return 4;
    } else {
        return 5;
    }
    return 0;
}

int gotos(int n)
{
    int i = 0;
again:
    if (i >= n)
        goto out;
    i++;
    if (i == 2)
        goto skip;
    i += 0;
skip:
    goto again;
out:
    return i;
}

int labels_on_statements(int x)
{
    int r = 0;
    switch (x) {
    case 0:
    case 1:
    case 2:
        r = 1;
    case 3: {
        int t = x * 2;
        r += t;
        break;
    }
    case 'a':
        r = 'a';
        break;
    case 4 + 1:
    case sizeof(int) * 100:
        r = -1;
        break;
    default:
        r = 42;
    }
    switch (x)
        case 1:
            r++;
    switch (x) {
    }
    label_one:
    label_two:
        r++;
    if (r > 100)
        goto label_one;
    if (r < -100)
        goto label_two;
    return r;
}

void empty_statements(void)
{
    ;
    {
    }
    {
        ;
        ;
    }
    if (1)
        ;
    else
        ;
}

int early_exits(const int *v, size_t n)
{
    size_t i;
    if (v == 0)
        return -1;
    if (n == 0)
        return 0;
    for (i = 0; i < n; i++) {
        if (v[i] < 0)
            return (int)i;
        if (v[i] == 0)
            break;
    }
    while (i < n) {
        if (v[i] > 1000)
            abort();
        i++;
    }
    return (int)n;
}

void echo(void)
{
    int c;
    while ((c = getchar()) != -1) {
        if (c == '\r')
            continue;
        if (putchar(c) < 0)
            return;
    }
    return;
}

int nested_loops(int rows, int cols)
{
    int r, c, found = 0;
    for (r = 0; r < rows && !found; r++) {
        c = 0;
        while (c < cols) {
            do {
                if ((r * cols + c) % 17 == 16) {
                    found = 1;
                    break;
                }
            } while (0);
            if (found)
                break;
            c++;
        }
    }
    return found ? r * cols + c : -1;
}

int deep_blocks(int x)
{
    {
        int a = x;
        {
            int b = a + 1;
            {
                int c = b + 1;
                {
                    int d = c + 1;
                    {
                        x = d;
                    }
                }
            }
        }
    }
    return x;
}

int count_bits(unsigned v)
{
    int n;
    for (n = 0; v; v >>= 1)
        n += v & 1;
    return n;
}

int gcd(int a, int b)
{
    while (b != 0) {
        int t = a % b;
        a = b;
        b = t;
    }
    return a < 0 ? -a : a;
}

long factorial(int n)
{
    return n <= 1 ? 1L : n * factorial(n - 1);
}

int binary_search(const int *a, int n, int key)
{
    int lo = 0, hi = n - 1;
    while (lo <= hi) {
        int mid = lo + ((hi - lo) >> 1);
        if (a[mid] < key)
            lo = mid + 1;
        else if (a[mid] > key)
            hi = mid - 1;
        else
            return mid;
    }
    return -(lo + 1);
}

void bubble_sort(int *a, int n)
{
    int i, j, swapped;
    for (i = 0; i < n - 1; i++) {
        swapped = 0;
        for (j = 0; j < n - 1 - i; j++) {
            if (a[j] > a[j + 1]) {
                int t = a[j];
                a[j] = a[j + 1];
                a[j + 1] = t;
                swapped = 1;
            }
        }
        if (!swapped)
            break;
    }
}
