/*
 * model.cpp - the model context: pools, the fixed part, handles, object
 * ids and attribute text.
 */
#include "model/model.h"

#include <atomic>
#include <cerrno>
#include <climits>
#include <cstdio>
#include <cstdlib>
#include <cstring>

#include "driver/diag.h"

namespace kvx {

namespace {

constexpr unsigned HANDLE_FAMILY_SHIFT = 28;
constexpr uint32_t HANDLE_INDEX_MASK = (1u << HANDLE_FAMILY_SHIFT) - 1;
constexpr size_t TEXT_CHUNK = 64 * 1024;

std::atomic<unsigned long> next_serial{1};

/* Record size and log2 of the records per block of each family: the
 * large-volume families get big blocks, the rare ones small ones. */
struct PoolShape {
  size_t size;
  unsigned shift;
};
const PoolShape pool_shapes[FAM_COUNT] = {
    /* FAM_APP */ {sizeof(AppRec), 0},
    /* FAM_COMMENT */ {sizeof(CommentRec), 10},
    /* FAM_ENUMVALUE */ {sizeof(EnumValueRec), 9},
    /* FAM_EXPR */ {sizeof(ExprRec), 12},
    /* FAM_FILE */ {sizeof(FileRec), 7},
    /* FAM_INCLUSION */ {sizeof(InclusionRec), 8},
    /* FAM_FUNCTION */ {sizeof(FunctionRec), 10},
    /* FAM_INSTR */ {sizeof(InstrRec), 11},
    /* FAM_LABEL */ {sizeof(LabelRec), 9},
    /* FAM_ORIGIN */ {sizeof(OriginRec), 4},
    /* FAM_QUALIFIER */ {sizeof(QualifierRec), 8},
    /* FAM_SCOPE */ {sizeof(ScopeRec), 10},
    /* FAM_SYMBOL */ {sizeof(SymbolRec), 11},
    /* FAM_TYPE */ {sizeof(TypeRec), 11},
    /* FAM_FIELD */ {sizeof(FieldRec), 10},
    /* FAM_VARIABLE */ {sizeof(VariableRec), 11},
};

const int builtin_type_order[] = {TYPE_INT, TYPE_UNSIGNED_INT, TYPE_LONG, TYPE_UNSIGNED_LONG,
                                  TYPE_DOUBLE, TYPE_FLOAT, TYPE_LONG_DOUBLE, TYPE_CHAR,
                                  TYPE_VARARG};

inline bool is_hex(char c) {
  return (c >= '0' && c <= '9') || (c >= 'a' && c <= 'f') || (c >= 'A' && c <= 'F');
}
inline unsigned hex_value(char c) {
  return c <= '9' ? (unsigned)(c - '0') : (unsigned)((c | 0x20) - 'a' + 10);
}

/* The id pattern "i.%d.%lx%n" read the way the C library's scanning
 * reads it (blanks and a sign before each number, a "0x" prefix before
 * the hexadecimal one), for the texts that the quick reading does not
 * take.  Numbers out of range are refused instead of being clamped. */
bool scan_id_slowly(std::string_view text, int *cls, unsigned long *handle) {
  if (text.size() < 2 || text[0] != 'i' || text[1] != '.') return false;
  std::string copy(text.substr(2));
  if (copy.size() != std::strlen(copy.c_str())) return false; /* embedded null */
  const char *p = copy.c_str();
  char *end;
  errno = 0;
  long id = std::strtol(p, &end, 10);
  if (end == p || errno == ERANGE || *end != '.' || id < INT_MIN || id > INT_MAX) return false;
  p = end + 1;
  errno = 0;
  unsigned long h = std::strtoul(p, &end, 16);
  if (end == p || errno == ERANGE || *end != '\0') return false;
  *cls = (int)id;
  *handle = h;
  return true;
}

}  // namespace

Model::Model(Diagnostics &diag) : diag_(diag), serial_(next_serial++) {
  for (int f = 1; f < FAM_COUNT; f++)
    pools_[f].init(pool_shapes[f].size, pool_shapes[f].shift, sizeof(Obj));
  links_.init(sizeof(Link), 12, 0);
  create_fixed_part();
}

Model::~Model() {
  for (char *c : text_chunks_) std::free(c);
}

void Model::release() {
  serial_ = next_serial++;
  for (int f = 1; f < FAM_COUNT; f++) pools_[f].reset();
  links_.reset();
  for (char *c : text_chunks_) std::free(c);
  text_chunks_.clear();
  texts_.clear();
  symbol_slots_.clear();
  symbol_count_ = 0;
  text_next_ = nullptr;
  text_left_ = 0;
  expansions_.clear();
  expansion_index_.clear();
  expansions_indexed_ = 0;
  create_fixed_part();
}

static uint64_t expansion_key(uint32_t file, uint32_t line, uint8_t number) {
  return (uint64_t)file << 40 | (uint64_t)line << 8 | number;
}

const char *Model::expansion_macro(const Obj *obj) const {
  if (!obj->origin) return nullptr;
  for (; expansions_indexed_ < expansions_.size(); expansions_indexed_++) {
    const Expansion &x = expansions_[expansions_indexed_];
    expansion_index_.emplace(expansion_key(x.file, x.line, x.number), x.name);
  }
  const Located *l = static_cast<const Located *>(obj);
  auto it = expansion_index_.find(expansion_key(l->file, l->line, obj->origin));
  return it == expansion_index_.end() ? nullptr : texts_.c_str(it->second);
}

void Model::create_fixed_part() {
  std::memset(static_cast<void *>(&app_), 0, sizeof app_);
  app_.family = FAM_APP;
  app_.live = 1;
  files_.assign(1, nullptr);
  std::memset(builtin_functions_, 0, sizeof builtin_functions_);
  std::memset(builtin_types_, 0, sizeof builtin_types_);

  ScopeRec *g = static_cast<ScopeRec *>(allocate(FAM_SCOPE, SCOPE_GLOBAL));
  app_.global = g;
  for (int k = 1; k <= FN_BUILTIN_COUNT; k++) {
    FunctionRec *fn = static_cast<FunctionRec *>(allocate(FAM_FUNCTION, k));
    fn->defined_in = g;
    g->functions.append(fn);
    builtin_functions_[k] = fn;
  }
  for (int k : builtin_type_order) {
    TypeRec *t = static_cast<TypeRec *>(allocate(FAM_TYPE, k));
    app_.types.prepend(t);
    builtin_types_[k] = t;
  }
}

Obj *Model::allocate(Family family, int kind) {
  uint32_t index;
  void *rec = pools_[family].allocate(&index);
  if (!rec || index >= HANDLE_INDEX_MASK) diag_.report_fatal("Insufficient memory allocation.");
  Obj *o = static_cast<Obj *>(rec);
  o->handle = ((uint32_t)family << HANDLE_FAMILY_SHIFT) | (index + 1);
  o->family = family;
  o->kind = (uint8_t)kind;
  o->live = 1;
  return o;
}

void Model::discard(Obj *obj) {
  if (obj && obj->family != FAM_APP && obj->live) pools_[obj->family].release(obj);
}

Link *Model::new_link(Obj *obj) {
  uint32_t index;
  Link *l = static_cast<Link *>(links_.allocate(&index));
  if (!l) diag_.report_fatal("Insufficient memory allocation.");
  l->obj = obj;
  return l;
}

const char *Model::store_string(std::string_view text) {
  size_t need = text.size() + 1;
  if (need > text_left_) {
    size_t size = need > TEXT_CHUNK ? need : TEXT_CHUNK;
    char *chunk = static_cast<char *>(std::malloc(size));
    if (!chunk) diag_.report_fatal("Insufficient memory allocation.");
    text_chunks_.push_back(chunk);
    text_next_ = chunk;
    text_left_ = size;
  }
  char *s = text_next_;
  std::memcpy(s, text.data(), text.size());
  s[text.size()] = '\0';
  text_next_ += need;
  text_left_ -= need;
  return s;
}

FunctionRec *Model::builtin_function(int kind) const {
  return kind >= 1 && kind <= FN_BUILTIN_COUNT ? builtin_functions_[kind] : nullptr;
}

TypeRec *Model::builtin_type(int kind) const {
  return kind >= 1 && kind <= TYPE_KIND_COUNT ? builtin_types_[kind] : nullptr;
}

Obj *Model::lookup(uint32_t handle) const {
  unsigned family = handle >> HANDLE_FAMILY_SHIFT;
  uint32_t index = handle & HANDLE_INDEX_MASK;
  if (family == FAM_APP || family >= FAM_COUNT || index == 0) return nullptr;
  const Pool &p = pools_[family];
  if (index - 1 >= p.used()) return nullptr;
  Obj *o = static_cast<Obj *>(p.at(index - 1));
  return o->live && o->handle == handle ? o : nullptr;
}

size_t Model::format_id(const Obj *obj, const ClassInfo *cls, char *buf) const {
  if (obj->family == FAM_APP) {
    std::memcpy(buf, "application", 12);
    return 11;
  }
  int id = class_of(obj, cls)->id;
  char *p = buf;
  *p++ = 'i';
  *p++ = '.';
  if (id >= 100) *p++ = (char)('0' + id / 100);
  if (id >= 10) *p++ = (char)('0' + id / 10 % 10);
  *p++ = (char)('0' + id % 10);
  *p++ = '.';
  char hex[16];
  int n = 0;
  unsigned long h = obj->handle;
  do {
    hex[n++] = "0123456789abcdef"[h & 15];
    h >>= 4;
  } while (h);
  while (n) *p++ = hex[--n];
  *p = '\0';
  return (size_t)(p - buf);
}

std::string Model::object_id(const Obj *obj, const ClassInfo *cls) const {
  char buf[OBJECT_ID_MAX + 1];
  size_t n = format_id(obj, cls, buf);
  return std::string(buf, n);
}

bool Model::parse_object_id(std::string_view text, Obj **obj, const ClassInfo **cls) const {
  if (text == "application") {
    *obj = const_cast<AppRec *>(&app_);
    *cls = class_by_id(K_Application);
    return true;
  }
  /* Quick reading of the form the engine writes: "i.", decimal digits,
   * ".", hexadecimal digits, nothing else. */
  int id = 0;
  unsigned long handle = 0;
  size_t i = 2, n = text.size();
  bool quick = n >= 5 && text[0] == 'i' && text[1] == '.';
  if (quick) {
    size_t start = i;
    while (i < n && i - start < 4 && text[i] >= '0' && text[i] <= '9') id = id * 10 + (text[i++] - '0');
    quick = i > start && i < n && text[i] == '.';
    start = ++i;
    while (quick && i < n && i - start < 8 && is_hex(text[i])) handle = handle * 16 + hex_value(text[i++]);
    quick = quick && i > start && i == n;
  }
  if (!quick && !scan_id_slowly(text, &id, &handle)) return false;
  const ClassInfo *c = class_by_id(id);
  if (!c || handle > 0xffffffffUL) return false;
  Obj *o = lookup((uint32_t)handle);
  if (!o || o->family != c->family) return false;
  /* A concrete class must be the object's own; a generic class takes any
   * object of its family. */
  if (!c->resolve && class_for_kind((Family)o->family, o->kind) != c->id) return false;
  *obj = o;
  *cls = c;
  return true;
}

std::string_view Model::spelling(const Obj *obj) const {
  if (obj->family == FAM_EXPR && obj->kind == EXPR_CONSTANT)
    return texts_.view(static_cast<const ExprRec *>(obj)->spelling);
  if (obj->family == FAM_TYPE && is_builtin_type_kind(obj->kind))
    return texts_.view(static_cast<const TypeRec *>(obj)->spelling);
  return {};
}

const char *Model::attribute_text(const AttrInfo *attr, const Obj *obj) const {
  AttrValue v = attr->read(*this, obj);
  switch (attr->type) {
    case ATTR_LINE:
      std::snprintf(attr_text_, sizeof attr_text_, "%u", (unsigned)v.num);
      return attr_text_;
    case ATTR_INT:
      std::snprintf(attr_text_, sizeof attr_text_, "%d", (int)v.num);
      return attr_text_;
    case ATTR_STRING:
      return v.str ? v.str : "";
    case ATTR_BOOL:
      return v.num ? "1" : "0";
  }
  return "";
}

}  // namespace kvx
