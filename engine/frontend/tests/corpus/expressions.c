/*
 * expressions.c - every operator at every precedence level, casts, sizeof,
 * the comma operator, nested conditionals and calls through pointers.
 */
typedef unsigned long size_t;
typedef long ptrdiff_t;

struct vec3 { double x, y, z; };
union number { long i; double d; unsigned char bytes[8]; };

static int counter;
static long total = 0L;
double scale = 1.5e0;
float ratio = .25f;
long double precise = 3.14159265358979L;
unsigned long mask = 0xFFFF0000UL;
int octal = 0777;
char letter = 'A', newline = '\n', quote = '\'', nul = '\0', hexc = '\x41', backslash = '\\';
const char *greeting = "hello, " "world" "\n";
const char *escaped = "tab\there \"quoted\" \\ end";

int add(int a, int b) { return a + b; }
int sub(int a, int b) { return a - b; }
int mul(int a, int b) { return a * b; }

int (*ops[3])(int, int) = { add, sub, mul };

int primary_and_postfix(int *p, struct vec3 *v, struct vec3 w, int i)
{
    int r;
    r = p[i];
    r = p[i + 1] + i[p];
    r = (int)v->x + (int)w.y;
    r = (int)(v + 1)->z;
    r = ops[i % 3](r, 2);
    r = (*ops[0])(1, 2);
    r = (ops[1])(r, 1);
    p[i]++;
    p[i]--;
    r = p[i]++ + p[i]--;
    v->x++;
    w.z--;
    r = (r);
    r = ((((r))));
    return r;
}

int unary(int a, int *p, unsigned u)
{
    int r = 0;
    r = -a;
    r = +a;
    r = !a;
    r = ~a;
    r = ~u;
    r = *p;
    r = *&a;
    r = ++a;
    r = --a;
    r = ++*p;
    r = --p[0];
    r = - -a;
    r = !!a;
    r = -~a;
    r = (int)sizeof a;
    r = (int)sizeof(int);
    r = (int)sizeof(int *);
    r = (int)sizeof(struct vec3);
    r = (int)sizeof(int (*)(int, char **));
    r = (int)sizeof(char[10]);
    r = (int)sizeof *p;
    r = (int)sizeof p[0] + (int)sizeof(p[0]);
    r = (int)sizeof(union number);
    r = (int)sizeof -a;
    return r;
}

double casts(int i, void *vp, long l)
{
    double d;
    char *cp;
    const unsigned char *ucp;
    d = (double)i;
    d = (double)(float)i;
    cp = (char *)vp;
    ucp = (const unsigned char *)cp;
    d += (double)*ucp;
    l = (long)(unsigned short)l;
    i = (int)(l >> 3);
    d = (double)(i + l) / (double)(i - l + 1);
    vp = (void *)(size_t)l;
    i = ((int (*)(int, int))ops[0])(1, 2);
    return d * (unsigned)i;
}

int multiplicative(int a, int b, int c)
{
    int r = a * b / c % 7;
    r = a * (b / c) % (c + 1);
    r = a % b * c / 3;
    r = -a * -b;
    r = *&a * *&b;
    return r;
}

int additive_and_shift(int a, int b, unsigned u)
{
    int r = a + b - a + b;
    r = a - (b - a);
    r = a << 2;
    r = a >> b;
    r = a + b << 1;
    r = (a + b) << (b - 1);
    u = u << 3 >> 1;
    r = a << b + 1 >> 2;
    return r + (int)u;
}

int relational_equality(int a, int b, int c)
{
    int r;
    r = a < b;
    r = a > b;
    r = a <= b;
    r = a >= b;
    r = a < b == b < c;
    r = a != b;
    r = a == b != c;
    r = (a < b) < c;
    r = a + 1 < b << 2;
    r = a < b > c <= a >= b;
    return r;
}

unsigned bitwise(unsigned a, unsigned b, unsigned c)
{
    unsigned r;
    r = a & b;
    r = a ^ b;
    r = a | b;
    r = a & b | c;
    r = a | b & c;
    r = a ^ b & c | a;
    r = a & b == c;
    r = (a & b) == c;
    r = ~a & mask | b ^ c;
    return r;
}

int logical(int a, int b, int c)
{
    int r;
    r = a && b;
    r = a || b;
    r = a && b || c;
    r = a || b && c;
    r = !a && !b || !(c && a);
    r = a == 1 && b != 2 || c < 3;
    r = (a | b) && (b & c) || a ^ c;
    return r;
}

int conditional(int a, int b, int c)
{
    int r;
    r = a ? b : c;
    r = a ? b ? 1 : 2 : c ? 3 : 4;
    r = a < b ? a : b;
    r = (a ? b : c) + 1;
    r = a || b ? c : a && b;
    r = a ? (b, c) : (c, b);
    return r ? r : -1;
}

int assignment(int a, int b, unsigned u)
{
    int r = 0, s = 1, t;
    r = s = t = a;
    r += a;
    r -= b;
    r *= 2;
    r /= 3;
    r %= 5;
    r <<= 1;
    r >>= 2;
    r &= 0x7f;
    r |= 0x80;
    r ^= a;
    u <<= 4;
    u >>= 1;
    r += s -= t *= 2;
    r = (s += 1) + (t -= 1);
    return r + (int)u;
}

int comma(int a, int b)
{
    int r, i, j;
    r = (a++, b++, a + b);
    for (i = 0, j = 10; i < j; i++, j--)
        r += i, r -= j;
    return r, a, b;
}

long mixed(long a, long b, int *p, struct vec3 *v)
{
    long r;
    r = a * b + a / (b | 1) - (a % (b + 1)) << 2 >> 1;
    r = r < a ? r : a && b || !r ? ~r & 0xff : -r | 1;
    r += p[0] * p[1] - *p++ / (*p ? *p : 1);
    r -= (long)(v->x * v->y + v[1].z);
    r = (a = b) , (b = r);
    r = a > b ? a : b > 0 ? b : 0;
    r = ((a + b) * (a - b)) / ((a * a) - (b * b) + 1);
    return r;
}

ptrdiff_t pointer_arithmetic(char *a, char *b, int n)
{
    char *p = a + n;
    char *q = b - n;
    char **pp = &p;
    char ***ppp = &pp;
    **pp = 'x';
    ***ppp = 'y';
    p = *pp + 1;
    q = &(*pp)[2];
    if (p > q || p == 0 || !q)
        return 0;
    return (p - q) + (&a[n] - &b[0]);
}

struct vec3 vec_add(struct vec3 a, struct vec3 b)
{
    struct vec3 r;
    r.x = a.x + b.x;
    r.y = a.y + b.y;
    r.z = a.z + b.z;
    return r;
}

double vec_dot(const struct vec3 *a, const struct vec3 *b)
{
    return a->x * b->x + a->y * b->y + a->z * b->z;
}

double evaluate(double x)
{
    union number n;
    n.d = x;
    n.i ^= 1L << 62;
    n.bytes[0] |= (unsigned char)0x01;
    return n.d * scale + (double)ratio - precise / 2.0 + (x > 0 ? 1e-9 : -1e-9);
}

int call_chain(int (*f)(int, int), int (**g)(int, int), int x)
{
    return f(g[0](x, 1), (*g[1])(x, 2)) + ops[(x & 1) + 1](f(x, x), x);
}
