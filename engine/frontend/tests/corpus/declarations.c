/*
 * declarations.c - declarators of every shape, typedef chains, bit-fields,
 * enumerations, unions, initializers and storage classes.
 */
typedef unsigned long size_t;
typedef int Int;
typedef Int *IntPtr;
typedef IntPtr IntPtrArray[8];
typedef void (*Handler)(int signal_number);
typedef Handler HandlerTable[16];
typedef int (*Compare)(const void *, const void *);
typedef char Name[32], *NamePtr;
typedef struct pair { int first, second; } Pair, *PairPtr;
typedef union value { long l; double d; void *p; } Value;
typedef enum { LOW, MEDIUM = 5, HIGH } Level;
typedef const volatile unsigned int Register;

/* arrays of pointers to functions, and their relatives */
int (*fp_array[10])(int);
int (*(*fp_array_ptr)[10])(int);
int *(*fp_ret_ptr)(int, int);
char (*(*x_fn(void))[5])(void);
void (*signal_like(int sig, void (*func)(int)))(int);
double (*matrix_rows[4])[4];
int **ptr_ptr;
int *const const_ptr = 0;
const int *ptr_to_const;
const int *const both_const = 0;
volatile int *volatile vv;
int (*const cfp)(void) = 0;
char *strings[] = { "one", "two", "three", 0 };
int matrix[3][4] = { { 1, 2, 3, 4 }, { 5, 6, 7, 8 }, { 9, 10, 11, 12 } };
int partial[10] = { 1, 2, };
char text[] = "text";
char letters[4] = { 'a', 'b', 'c', 'd' };
Pair pairs[] = { { 1, 2 }, { 3, 4 }, { 5 } };
HandlerTable handlers;
IntPtrArray pointers;
Name user_name;
NamePtr name_pointer;
Register status_register = 0;

/* storage classes */
static int file_static;
static const char version[] = "1.0";
extern int external_count;
extern double external_table[];
extern struct pair external_pair;
int tentative;
int tentative;
int defined_twice = 1;

/* struct and union bodies */
struct flags {
    unsigned int ready : 1;
    unsigned int error : 1;
    unsigned int mode : 3;
    unsigned int : 0;
    unsigned int count : 8;
    signed int delta : 4;
    int : 3;
    int plain;
};

struct node {
    struct node *left, *right;
    union {
        int integer;
        double real;
        struct {
            char *text;
            size_t length;
        } string;
    } payload;
    enum node_kind { NODE_INT, NODE_REAL, NODE_STRING } kind;
    int (*visit)(struct node *self, void *context);
    struct node *(*clone)(const struct node *);
    char tag[8];
};

struct incomplete;
struct incomplete *forward_pointer;
union incomplete_union;

struct with_arrays {
    int fixed[4];
    int (*fns[2])(void);
    char *names[3];
    struct pair pairs[2][2];
};

/* enumerations */
enum color { RED, GREEN, BLUE };
enum color favourite = GREEN;
enum weekday {
    MONDAY = 1,
    TUESDAY,
    WEDNESDAY,
    THURSDAY = MONDAY + 3,
    FRIDAY,
    SATURDAY = 0x10,
    SUNDAY = SATURDAY << 1
};
enum { ANON_A, ANON_B = ANON_A + 10, ANON_C, };
enum color another_color;
enum sizes { SMALL = sizeof(char), LARGE = sizeof(double) * 2 };

/* prototypes of every form */
void no_params();
void void_params(void);
int one_param(int);
int named_params(int count, char **values);
int variadic(const char *format, ...);
int array_params(int a[], int b[10], int m[][4]);
int function_param(int (*callback)(int, void *), void *context);
int abstract_function_param(int (*)(int), int (*)[3], int *[3]);
struct pair make_pair(int, int);
struct pair *find_pair(struct pair *, int);
union value to_value(long);
Level classify(int);
static int helper(int);
extern int external_function(void);
const char *const *names_of(enum color c);
unsigned long hash_string(const char *);
long double long_double_fn(long double);
short short_fn(short, unsigned short);
signed char schar_fn(signed char);
unsigned char uchar_fn(unsigned char);

/* old-style definitions */
int old_style(a, b, c)
int a;
char *b;
double c;
{
    return a + (int)c + (b != 0);
}

old_style_implicit(x, y)
int x;
{
    return x + y;
}

char *old_style_pointer(s, n)
    char *s;
    unsigned n;
{
    return s + n;
}

/* definitions using what was declared */
static int helper(int x)
{
    static int calls;
    auto int local = x;
    register int r = local * 2;
    calls++;
    return r + calls;
}

struct pair make_pair(int a, int b)
{
    struct pair p;
    p.first = a;
    p.second = b;
    return p;
}

Level classify(int v)
{
    if (v < 3)
        return LOW;
    return v < 8 ? MEDIUM : HIGH;
}

int array_params(int a[], int b[10], int m[][4])
{
    return a[0] + b[9] + m[1][3];
}

void (*signal_like(int sig, void (*func)(int)))(int)
{
    handlers[sig & 15] = func;
    return func;
}

int function_param(int (*callback)(int, void *), void *context)
{
    return callback ? callback(1, context) : 0;
}

void declarations_in_blocks(void)
{
    int a = 1, b = a + 1, *c = &a, d[2] = { 1, 2 };
    struct local_struct { int x; } ls = { 3 };
    enum local_enum { LE_A, LE_B } le = LE_B;
    typedef int LocalInt;
    LocalInt li = 4;
    static const char *const table[] = { "x", "y" };
    extern int external_count;
    union value v;
    void (*fn)(void) = 0;
    int (*afp[2])(int) = { 0, 0 };
    {
        double a = 2.0;
        LocalInt inner = (LocalInt)a;
        {
            char a = 'a';
            inner += a;
        }
        li += inner;
    }
    v.l = a + b + *c + d[1] + ls.x + le + li + (table[0] != 0) + external_count;
    if (fn)
        fn();
    if (afp[0])
        afp[0](1);
}

IntPtr pointer_of(Int *p)
{
    IntPtr q = p;
    Int value = *q;
    Pair pr = make_pair(value, value);
    PairPtr pp = &pr;
    Value val;
    val.p = pp;
    return (IntPtr)val.p == q ? q : (Int *)0;
}
