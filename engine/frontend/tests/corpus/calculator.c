/*
 * calculator.c - a small expression calculator: tokenizer, recursive
 * descent parser, evaluator with variables and an error channel.
 */
typedef unsigned long size_t;

extern int printf(const char *format, ...);
extern int sprintf(char *buffer, const char *format, ...);
extern double strtod(const char *text, char **end);
extern void *malloc(size_t n);
extern void free(void *p);
extern char *strcpy(char *dst, const char *src);
extern int strcmp(const char *a, const char *b);
extern size_t strlen(const char *s);
extern double pow(double x, double y);
extern double sqrt(double x);

enum token_kind {
    TOK_END,
    TOK_NUMBER,
    TOK_NAME,
    TOK_PLUS = '+',
    TOK_MINUS = '-',
    TOK_STAR = '*',
    TOK_SLASH = '/',
    TOK_PERCENT = '%',
    TOK_CARET = '^',
    TOK_LPAREN = '(',
    TOK_RPAREN = ')',
    TOK_COMMA = ',',
    TOK_ASSIGN = '=',
    TOK_ERROR = 256
};

struct token {
    enum token_kind kind;
    double number;
    char name[32];
    const char *start;
};

struct lexer {
    const char *text;
    const char *pos;
    struct token current;
};

struct variable {
    char name[32];
    double value;
    struct variable *next;
};

typedef double (*builtin_fn)(double);

struct builtin {
    const char *name;
    builtin_fn fn;
};

struct calculator {
    struct lexer lex;
    struct variable *vars;
    char error[128];
    int failed;
    int depth;
};

static double fn_sqrt(double x) { return x < 0 ? 0.0 : sqrt(x); }
static double fn_abs(double x) { return x < 0 ? -x : x; }
static double fn_neg(double x) { return -x; }
static double fn_square(double x) { return x * x; }

static const struct builtin builtins[] = {
    { "sqrt", fn_sqrt },
    { "abs", fn_abs },
    { "neg", fn_neg },
    { "square", fn_square },
    { 0, 0 }
};

static int is_space(int c) { return c == ' ' || c == '\t' || c == '\n' || c == '\r'; }
static int is_letter(int c) { return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || c == '_'; }
static int is_digit(int c) { return c >= '0' && c <= '9'; }

static void fail(struct calculator *calc, const char *message)
{
    if (!calc->failed) {
        calc->failed = 1;
        sprintf(calc->error, "error at %d: %s",
                (int)(calc->lex.current.start - calc->lex.text), message);
    }
}

static void next_token(struct lexer *lx)
{
    const char *p = lx->pos;
    struct token *t = &lx->current;

    while (is_space(*p))
        p++;
    t->start = p;
    if (*p == '\0') {
        t->kind = TOK_END;
    } else if (is_digit(*p) || (*p == '.' && is_digit(p[1]))) {
        char *end;
        t->number = strtod(p, &end);
        t->kind = TOK_NUMBER;
        p = end;
    } else if (is_letter(*p)) {
        size_t n = 0;
        while ((is_letter(*p) || is_digit(*p)) && n + 1 < sizeof t->name)
            t->name[n++] = *p++;
        t->name[n] = '\0';
        while (is_letter(*p) || is_digit(*p))
            p++;
        t->kind = TOK_NAME;
    } else {
        switch (*p) {
        case '+': case '-': case '*': case '/': case '%':
        case '^': case '(': case ')': case ',': case '=':
            t->kind = (enum token_kind)*p++;
            break;
        default:
            t->kind = TOK_ERROR;
            p++;
            break;
        }
    }
    lx->pos = p;
}

static struct variable *find_variable(struct calculator *calc, const char *name, int create)
{
    struct variable *v;
    for (v = calc->vars; v != 0; v = v->next)
        if (strcmp(v->name, name) == 0)
            return v;
    if (!create)
        return 0;
    v = (struct variable *)malloc(sizeof *v);
    if (v == 0)
        return 0;
    strcpy(v->name, name);
    v->value = 0.0;
    v->next = calc->vars;
    calc->vars = v;
    return v;
}

static const struct builtin *find_builtin(const char *name)
{
    const struct builtin *b;
    for (b = builtins; b->name; b++)
        if (!strcmp(b->name, name))
            return b;
    return (const struct builtin *)0;
}

static double parse_expression(struct calculator *calc);

static double parse_primary(struct calculator *calc)
{
    struct lexer *lx = &calc->lex;
    double value = 0.0;

    if (++calc->depth > 200) {
        fail(calc, "expression too deep");
        return 0.0;
    }
    switch (lx->current.kind) {
    case TOK_NUMBER:
        value = lx->current.number;
        next_token(lx);
        break;
    case TOK_NAME: {
        char name[32];
        strcpy(name, lx->current.name);
        next_token(lx);
        if (lx->current.kind == TOK_LPAREN) {
            const struct builtin *b = find_builtin(name);
            next_token(lx);
            value = parse_expression(calc);
            if (lx->current.kind != TOK_RPAREN)
                fail(calc, "missing ')'");
            else
                next_token(lx);
            if (b == 0)
                fail(calc, "unknown function");
            else
                value = (*b->fn)(value);
        } else if (lx->current.kind == TOK_ASSIGN) {
            struct variable *v;
            next_token(lx);
            value = parse_expression(calc);
            v = find_variable(calc, name, 1);
            if (v)
                v->value = value;
            else
                fail(calc, "out of memory");
        } else {
            struct variable *v = find_variable(calc, name, 0);
            if (v == 0)
                fail(calc, "unknown variable");
            else
                value = v->value;
        }
        break;
    }
    case TOK_LPAREN:
        next_token(lx);
        value = parse_expression(calc);
        if (lx->current.kind == TOK_RPAREN)
            next_token(lx);
        else
            fail(calc, "missing ')'");
        break;
    case TOK_MINUS:
        next_token(lx);
        value = -parse_primary(calc);
        break;
    case TOK_PLUS:
        next_token(lx);
        value = +parse_primary(calc);
        break;
    default:
        fail(calc, "unexpected token");
        break;
    }
    calc->depth--;
    return value;
}

static double parse_power(struct calculator *calc)
{
    double base = parse_primary(calc);
    if (calc->lex.current.kind == TOK_CARET) {
        next_token(&calc->lex);
        return pow(base, parse_power(calc));
    }
    return base;
}

static double parse_term(struct calculator *calc)
{
    double value = parse_power(calc);
    for (;;) {
        enum token_kind k = calc->lex.current.kind;
        double rhs;
        if (k != TOK_STAR && k != TOK_SLASH && k != TOK_PERCENT)
            return value;
        next_token(&calc->lex);
        rhs = parse_power(calc);
        if (k == TOK_STAR) {
            value *= rhs;
        } else if (rhs == 0.0) {
            fail(calc, "division by zero");
        } else if (k == TOK_SLASH) {
            value /= rhs;
        } else {
            long q = (long)(value / rhs);
            value -= (double)q * rhs;
        }
    }
}

static double parse_expression(struct calculator *calc)
{
    double value = parse_term(calc);
    while (calc->lex.current.kind == TOK_PLUS || calc->lex.current.kind == TOK_MINUS) {
        int plus = calc->lex.current.kind == TOK_PLUS;
        next_token(&calc->lex);
        if (plus)
            value += parse_term(calc);
        else
            value -= parse_term(calc);
    }
    return value;
}

void calc_init(struct calculator *calc)
{
    calc->vars = 0;
    calc->error[0] = '\0';
    calc->failed = 0;
    calc->depth = 0;
}

int calc_eval(struct calculator *calc, const char *text, double *result)
{
    double value;
    calc->lex.text = calc->lex.pos = text;
    calc->failed = 0;
    calc->depth = 0;
    calc->error[0] = 0;
    next_token(&calc->lex);
    if (calc->lex.current.kind == TOK_END) {
        *result = 0.0;
        return 0;
    }
    value = parse_expression(calc);
    if (calc->lex.current.kind != TOK_END)
        fail(calc, "trailing input");
    if (calc->failed)
        return -1;
    *result = value;
    return 1;
}

void calc_free(struct calculator *calc)
{
    struct variable *v = calc->vars, *next;
    while (v) {
        next = v->next;
        free(v);
        v = next;
    }
    calc->vars = 0;
}

static const char *const samples[] = {
    "1 + 2 * 3",
    "(1 + 2) * 3",
    "x = 4",
    "y = x ^ 2 - 1",
    "sqrt(y + 1)",
    "10 % 4 + -2",
    "abs(neg(5))",
    "1 / 0",
    "unknown + 1",
    "square(3) = 2",
    0
};

int calc_demo(void)
{
    struct calculator calc;
    const char *const *s;
    int failures = 0;

    calc_init(&calc);
    for (s = samples; *s != 0; ++s) {
        double result;
        int rc = calc_eval(&calc, *s, &result);
        if (rc > 0)
            printf("%-20s = %g\n", *s, result);
        else if (rc < 0) {
            printf("%-20s : %s\n", *s, calc.error);
            failures++;
        }
    }
    calc_free(&calc);
    return failures;
}

static size_t format_number(char *out, size_t size, double v)
{
    char tmp[64];
    size_t n;
    if (v != v)
        strcpy(tmp, "nan");
    else if (v > 1e300 || v < -1e300)
        strcpy(tmp, v > 0 ? "inf" : "-inf");
    else
        sprintf(tmp, "%.6g", v);
    n = strlen(tmp);
    if (n >= size)
        n = size ? size - 1 : 0;
    if (size) {
        size_t i;
        for (i = 0; i < n; i++)
            out[i] = tmp[i];
        out[n] = '\0';
    }
    return n;
}

size_t calc_format(struct calculator *calc, const char *text, char *out, size_t size)
{
    double r;
    switch (calc_eval(calc, text, &r)) {
    case 1:
        return format_number(out, size, r);
    case 0:
        if (size)
            out[0] = '\0';
        return 0;
    default:
        return format_number(out, size, -1.0);
    }
}
