/*
 * naming.h - qualified names of model objects and their inverse lookup.
 *
 * A qualified name is a list of elements from the outermost scope inward:
 * the pathname of the file for objects local to a translation unit, the
 * function names, "block N" for nested blocks, "struct T", "union T",
 * "struct N" or "union N" for members, and last the object's own name.
 * object_by_name() reads such a list back to the object.
 */
#ifndef KVX_MODEL_NAMING_H
#define KVX_MODEL_NAMING_H

#include <string>
#include <string_view>
#include <vector>

#include "model/model.h"

namespace kvx {

enum NameResult { NAME_NONE, NAME_FOUND, NAME_INTERNAL_ERROR };

/* The qualified name of obj seen as class cls.  NAME_NONE when the object
 * has no name; NAME_INTERNAL_ERROR when a scope on the way lacks a link. */
NameResult qualified_name(const Model &m, Obj *obj, const ClassInfo *cls,
                          std::vector<std::string> &elements);

/* The object a qualified name denotes and the class of its id, or null. */
Obj *object_by_name(const Model &m, const std::vector<std::string_view> &elements,
                    const ClassInfo **cls);

}  // namespace kvx

#endif
