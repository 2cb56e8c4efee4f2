/*
 * desc_app.h - the entities of application description files.
 */
#ifndef KVXAPP_DESC_APP_H
#define KVXAPP_DESC_APP_H

#include "desc_reader.h"

namespace kvxapp::desc {

struct EntitySchema {
  const char *name;
  std::vector<Attribute> attributes;
};

/* application, file and kavexo_options, in the order written. */
const std::vector<EntitySchema> &application_schema();

}  // namespace kvxapp::desc

#endif
