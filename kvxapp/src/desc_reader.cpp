/*
 * desc_reader.cpp - the grammar of description files: the definitions part,
 * values blocks and tuples, column maps, type checks and error codes.
 *
 * Reading stops at the first error; warnings (unknown entities and
 * attributes) are reported and reading goes on.
 */
#include "desc_reader.h"

#include "desc_lexer.h"
#include "internal.h"

#include <cstdio>

namespace kvxapp::desc {

namespace {

std::string last_code, last_text;

/* Per-entity state filled while reading the definitions part. */
struct Columns {
  bool defined = false;
  std::vector<int> map; /* declared column -> built-in attribute, or -1 */
};

/* Thrown inside the reader only, to unwind to read() with a code. */
struct Stop {
  int code;
  int line;
};

class Reader {
 public:
  Reader(const std::string &text, const char *source, const std::vector<Entity> &entities)
      : lex_(text), source_(source), entities_(entities), columns_(entities.size()) {}

  void run();

 private:
  void advance() {
    tok_ = lex_.next();
    if (tok_.kind == TK_ERROR) throw Stop{tok_.code, tok_.line};
  }
  [[noreturn]] void fail(int code) { throw Stop{code, tok_.line}; }
  void expect_punct(int c, int code) {
    if (!tok_.is_punct(c)) fail(code);
    advance();
  }
  void expect_keyword(int k, int code) {
    if (!tok_.is_keyword(k)) fail(code);
    advance();
  }
  int find_entity(const std::string &name) const {
    for (size_t i = 0; i < entities_.size(); i++)
      if (name == entities_[i].name) return (int)i;
    return -1;
  }
  void warn_ignored(const std::string &name, int line) {
    report_located(REPORT_WARNING, source_, line, "%s ignore\n", name.c_str());
  }

  void definition(int entity);
  void attribute(int entity, Columns &cols);
  void values_block(int entity);
  void tuple(int entity);
  void value(const Attribute &a, Value &v);
  void scalar(int type, Value &v);
  void skip_value();

  Lexer lex_;
  Token tok_;
  const char *source_;
  const std::vector<Entity> &entities_;
  std::vector<Columns> columns_;
};

int type_of_keyword(const Token &t) {
  if (t.kind != TK_KEYWORD) return -1;
  switch (t.code) {
    case KW_INTEGER: return TYPE_INTEGER;
    case KW_REAL: return TYPE_REAL;
    case KW_BOOLEAN: return TYPE_BOOLEAN;
    case KW_CHARACTER: return TYPE_CHARACTER;
    case KW_STRING:
    case KW_TEXT: return TYPE_STRING;
    case KW_OID: return TYPE_OID;
    case KW_META_ENTITY: return TYPE_META_ENTITY;
    case KW_BITS: return TYPE_BITS;
    default: return -1;
  }
}

void Reader::run() {
  advance();
  while (!tok_.is_keyword(KW_ENTITIES_DEFINITIONS) && !tok_.is_keyword(KW_ENTITIES_VALUES)) {
    if (tok_.kind == TK_EOF) return; /* read as empty */
    advance();
  }
  advance();
  expect_keyword(KW_DEFINITIONS, 21);
  expect_punct(':', 22);
  expect_keyword(KW_BEGIN, 23);
  while (tok_.kind == TK_IDENT) {
    std::string name = tok_.text;
    int line = tok_.line;
    int entity = find_entity(name);
    if (entity < 0) warn_ignored(name, line);
    advance();
    expect_punct(':', 22);
    if (tok_.is_keyword(KW_SEQUENCE))
      definition(entity);
    else if (tok_.is_punct('{'))
      values_block(entity);
    else
      fail(25);
  }
  expect_keyword(KW_END, 24);
}

/* SEQUENCE OF { SEQUENCE { attribute, ... } } */
void Reader::definition(int entity) {
  advance();
  expect_keyword(KW_OF, 26);
  expect_punct('{', 27);
  expect_keyword(KW_SEQUENCE, 28);
  expect_punct('{', 27);
  Columns cols;
  cols.defined = true;
  if (!tok_.is_punct('}')) {
    for (;;) {
      attribute(entity, cols);
      if (tok_.is_punct(',')) {
        advance();
        continue;
      }
      break;
    }
  }
  expect_punct('}', 29);
  expect_punct('}', 29);
  if (entity >= 0) columns_[entity] = std::move(cols);
}

void Reader::attribute(int entity, Columns &cols) {
  /* Attribute names may be spelt like keywords ("t", "text"). */
  if (tok_.kind != TK_IDENT && tok_.kind != TK_KEYWORD) fail(29);
  std::string name = tok_.text;
  int line = tok_.line;
  advance();
  bool sequence = false;
  if (tok_.is_keyword(KW_SEQUENCE)) {
    advance();
    expect_keyword(KW_OF, 26);
    sequence = true;
  }
  int type = type_of_keyword(tok_);
  if (type < 0) fail(25);
  if ((int)cols.map.size() >= MAX_ATTRIBUTES) fail(42);
  int index = -1;
  if (entity >= 0) {
    const auto &attrs = entities_[entity].attributes;
    for (size_t i = 0; i < attrs.size(); i++)
      if (name == attrs[i].name) index = (int)i;
    if (index < 0) {
      warn_ignored(name, line);
    } else {
      const Attribute &a = attrs[index];
      bool same = type == a.type || (a.type == TYPE_BITS && type == TYPE_INTEGER);
      if (!same) fail(40);
      if (sequence != a.sequence) fail(46);
    }
  }
  cols.map.push_back(index);
  advance();
}

/* { tuple, tuple, ... } */
void Reader::values_block(int entity) {
  if (entity >= 0 && !columns_[entity].defined) fail(41);
  advance();
  if (tok_.is_punct('}')) {
    advance();
    return;
  }
  for (;;) {
    if (entity >= 0) {
      tuple(entity);
    } else {
      if (!tok_.is_punct('{')) fail(27);
      skip_value();
    }
    if (tok_.is_punct(',')) {
      advance();
      continue;
    }
    break;
  }
  expect_punct('}', 29);
}

void Reader::tuple(int entity) {
  const Entity &e = entities_[entity];
  const Columns &cols = columns_[entity];
  expect_punct('{', 27);
  std::vector<Value> values(e.attributes.size());
  int line = tok_.line;
  size_t col = 0;
  if (!tok_.is_punct('}')) {
    for (;;) {
      if (col >= cols.map.size()) fail(45);
      int index = cols.map[col];
      if (index < 0)
        skip_value();
      else
        value(e.attributes[index], values[index]);
      col++;
      if (tok_.is_punct(',')) {
        advance();
        continue;
      }
      if (!tok_.is_punct('}')) fail(30);
      break;
    }
  }
  if (col < cols.map.size()) fail(44);
  int end_line = tok_.line;
  advance();
  if (e.handler) {
    int code = e.handler(values, line);
    if (code) throw Stop{code, end_line};
  }
}

static bool is_null(const Token &t) { return t.is_keyword(KW_NULL) || t.is_punct('#'); }

void Reader::value(const Attribute &a, Value &v) {
  if (is_null(tok_)) {
    v = Value();
    if (a.type == TYPE_CHARACTER && !a.sequence) v.text = " ", v.null = false;
    if (a.type == TYPE_META_ENTITY && !a.sequence) v.null = false;
    advance();
    return;
  }
  if (!a.sequence) {
    scalar(a.type, v);
    return;
  }
  if (!tok_.is_punct('{')) fail(43);
  advance();
  v = Value();
  v.null = false;
  if (!tok_.is_punct('}')) {
    for (;;) {
      Value item;
      if (is_null(tok_))
        advance();
      else
        scalar(a.type, item);
      v.items.push_back(std::move(item));
      if (tok_.is_punct(',')) {
        advance();
        continue;
      }
      break;
    }
  }
  expect_punct('}', 29);
}

void Reader::scalar(int type, Value &v) {
  v = Value();
  bool ok = false;
  switch (type) {
    case TYPE_INTEGER:
      ok = tok_.kind == TK_INTEGER;
      v.ival = tok_.ival;
      break;
    case TYPE_REAL:
      ok = tok_.kind == TK_INTEGER || tok_.kind == TK_REAL;
      v.rval = tok_.kind == TK_INTEGER ? (double)tok_.ival : tok_.rval;
      break;
    case TYPE_BOOLEAN:
      ok = tok_.is_keyword(KW_TRUE) || tok_.is_keyword(KW_FALSE);
      v.ival = tok_.is_keyword(KW_TRUE);
      break;
    case TYPE_CHARACTER:
      ok = tok_.kind == TK_CHAR;
      v.text = tok_.text;
      break;
    case TYPE_STRING:
      ok = tok_.kind == TK_STRING;
      v.text = tok_.text;
      break;
    case TYPE_OID:
      ok = tok_.kind == TK_STRING && tok_.text.size() <= 255;
      v.text = tok_.text;
      break;
    case TYPE_META_ENTITY:
      ok = tok_.kind == TK_IDENT;
      v.text = tok_.text;
      break;
    case TYPE_BITS:
      ok = tok_.kind == TK_STRING || tok_.kind == TK_INTEGER;
      v.text = tok_.kind == TK_STRING ? tok_.text : std::to_string(tok_.ival);
      v.ival = tok_.ival;
      break;
  }
  if (!ok) fail(43);
  v.null = false;
  advance();
}

/* Any value of a column or entity the program does not know. */
void Reader::skip_value() {
  if (!tok_.is_punct('{')) {
    if (tok_.kind == TK_EOF || (tok_.kind == TK_PUNCT && !tok_.is_punct('#'))) fail(43);
    advance();
    return;
  }
  advance();
  if (!tok_.is_punct('}')) {
    for (;;) {
      skip_value();
      if (tok_.is_punct(',')) {
        advance();
        continue;
      }
      break;
    }
  }
  expect_punct('}', 29);
}

}  // namespace

const char *error_text(int code) {
  switch (code) {
    case 1: return "extension expected";
    case 10: return "illegal character";
    case 11: return "unexpected end of file";
    case 12: return "illegal quoted character";
    case 21: return "'definitions' expected";
    case 22: return "'::=' expected";
    case 23: return "'begin' expected";
    case 24: return "'end' expected";
    case 25: return "syntax error bad type declaration";
    case 26: return "'of' expected";
    case 27: return "'{' expected";
    case 28: return "'sequence' expected";
    case 29: return "'}' expected";
    case 30: return "',' expected";
    case 31: return "bad attribute name";
    case 32: return "bad entity name";
    case 33: return "logic reference expected";
    case 34: return "file name expected";
    case 40: return "bad attribute type";
    case 41: return "missing entity definition";
    case 42: return "too much attributes";
    case 43: return "type mismatch";
    case 44: return "missing values";
    case 45: return "too many values";
    case 46: return "bad constructor";
    case 47: return "constructor mistmatch";
    case 48: return "bad description";
    default: return "unknown error";
  }
}

const char *type_name(int type) {
  switch (type) {
    case TYPE_INTEGER: return "integer";
    case TYPE_REAL: return "real";
    case TYPE_BOOLEAN: return "boolean";
    case TYPE_CHARACTER: return "character";
    case TYPE_STRING: return "string";
    case TYPE_OID: return "oid";
    case TYPE_META_ENTITY: return "meta_entity";
    case TYPE_BITS: return "bits";
    default: return "string";
  }
}

void clear_error() {
  last_code.clear();
  last_text.clear();
}

int read(const std::string &text, const char *source, const std::vector<Entity> &entities) {
  clear_error();
  Reader r(text, source, entities);
  try {
    r.run();
  } catch (const Stop &s) {
    const char *msg = error_text(s.code);
    report_located(REPORT_ERROR, source, s.line, "%s", msg);
    char code[16];
    snprintf(code, sizeof code, "F%03d", s.code);
    last_code = code;
    last_text = "\"" + std::string(source) + "\", line " + std::to_string(s.line) + ": " + msg;
    return s.code;
  }
  return 0;
}

}  // namespace kvxapp::desc

extern "C" {
const char *desc_get_error_code(void) { return kvxapp::desc::last_code.c_str(); }
const char *desc_get_error_text(void) { return kvxapp::desc::last_text.c_str(); }
}
