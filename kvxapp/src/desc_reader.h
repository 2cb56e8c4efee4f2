/*
 * desc_reader.h - the table-driven reader of description files.
 *
 * A kind of file is described by its built-in entity table; the file
 * declares the attributes of its entities in any order, and the reader maps
 * each declared column to the built-in attribute of the same name.  After
 * each tuple the entity's handler runs with the values of the built-in
 * attributes in built-in order.
 */
#ifndef KVXAPP_DESC_READER_H
#define KVXAPP_DESC_READER_H

#include <functional>
#include <string>
#include <vector>

namespace kvxapp::desc {

enum Type {
  TYPE_INTEGER = 13,
  TYPE_REAL = 14,
  TYPE_BOOLEAN = 15,
  TYPE_CHARACTER = 16,
  TYPE_STRING = 17, /* also "text" */
  TYPE_OID = 19,
  TYPE_META_ENTITY = 20,
  TYPE_BITS = 21
};

/* Most attributes an entity may declare in a file. */
const int MAX_ATTRIBUTES = 20;

struct Attribute {
  const char *name;
  int type;
  bool sequence;
};

/* Value of one attribute in a tuple.  Unset and null values have
 * null == true; strings hold their text, integers and booleans ival. */
struct Value {
  bool null = true;
  long ival = 0;
  double rval = 0;
  std::string text;
  std::vector<Value> items; /* list-valued attributes */

  const char *str() const { return null ? nullptr : text.c_str(); }
};

/* Returns 0, or an error code to stop reading. */
using Handler = std::function<int(const std::vector<Value> &values, int line)>;

struct Entity {
  const char *name;
  std::vector<Attribute> attributes;
  Handler handler;
};

/* Reads text; source names the file in messages.  Returns 0 or the error
 * code, after reporting it and recording it for desc_get_error_code(). */
int read(const std::string &text, const char *source, const std::vector<Entity> &entities);

/* Type keyword written for a type ("string" for text). */
const char *type_name(int type);
/* Text of an error code. */
const char *error_text(int code);
/* Records a successful read. */
void clear_error();

}  // namespace kvxapp::desc

#endif
