/*
 * list.cpp - the generic singly linked list of untyped item pointers.
 *
 * A list may keep its items ordered by an order function, refuse items
 * equal to one it holds, and frees its items with a caller-chosen function.
 * It has one cursor, so one iteration at a time.  Operations on a null list
 * do nothing and answer as for an empty list.
 */
#include "internal.h"

#include <cstdlib>
#include <cstring>

struct Cell {
  void *item;
  Cell *next;
};

struct KvxList {
  Cell *first;
  Cell *cursor;
  Cell *before_cursor;
  Cell *last;
  int count;
  int unique;
  KvxListEqual equal;
  KvxListBefore before;
  KvxListFree free_item;
};

static void *alloc(size_t n) {
  void *p = malloc(n);
  if (!p) report_message(REPORT_FATAL, "Insufficient memory allocation.");
  return p;
}

static Cell *new_cell(void *item, Cell *next) {
  Cell *c = (Cell *)alloc(sizeof(Cell));
  c->item = item;
  c->next = next;
  return c;
}

static void reset_cursor(KvxList *l) {
  l->cursor = nullptr;
  l->before_cursor = nullptr;
}

static int equal_items(const KvxList *l, const void *a, const void *b) {
  return l->equal ? l->equal(a, b) : a == b;
}

extern "C" {

KvxList *_list_new(KvxListEqual equal) {
  KvxList *l = (KvxList *)alloc(sizeof(KvxList));
  memset(l, 0, sizeof *l);
  l->equal = equal;
  l->free_item = default_free;
  return l;
}

void list_set_free(KvxList *l, KvxListFree f) {
  if (l) l->free_item = f;
}
void list_set_sorted(KvxList *l, KvxListBefore before) {
  if (l) l->before = before;
}
void list_set_unique(KvxList *l, int unique) {
  if (l) l->unique = unique != 0;
}
void list_set_cmp(KvxList *l, KvxListEqual equal) {
  if (l) l->equal = equal;
}

int list_insert(KvxList *l, void *item) {
  if (!l) return -1;
  if (l->before) return list_insert_sorted(l, item);
  if (l->unique)
    for (Cell *c = l->first; c; c = c->next)
      if (equal_items(l, c->item, item)) return -1;
  list_insert_last(l, item);
  return l->count;
}

int list_insert_sorted(KvxList *l, void *item) {
  if (!l) return -1;
  Cell *prev = nullptr, *c = l->first;
  int pos = 1;
  for (; c; prev = c, c = c->next, pos++) {
    if (l->unique && equal_items(l, c->item, item)) return -1;
    if (l->before && !l->before(c->item, item)) break;
  }
  /* Past the stop an equal item may still follow when the order function
   * does not separate them; a unique list refuses it too. */
  if (l->unique)
    for (Cell *d = c; d; d = d->next)
      if (equal_items(l, d->item, item)) return -1;
  Cell *n = new_cell(item, c);
  if (prev)
    prev->next = n;
  else
    l->first = n;
  if (!c) l->last = n;
  l->count++;
  return pos;
}

int list_insert_first(KvxList *l, void *item) {
  if (!l) return 0;
  l->first = new_cell(item, l->first);
  if (!l->last) l->last = l->first;
  return ++l->count;
}

int list_insert_last(KvxList *l, void *item) {
  if (!l) return 0;
  Cell *n = new_cell(item, nullptr);
  if (l->last)
    l->last->next = n;
  else
    l->first = n;
  l->last = n;
  l->count++;
  return 1;
}

void *list_first(KvxList *l) {
  if (!l) return nullptr;
  l->before_cursor = nullptr;
  l->cursor = l->first;
  return l->cursor ? l->cursor->item : nullptr;
}

void *list_next(KvxList *l) {
  if (!l || !l->cursor) return nullptr;
  l->before_cursor = l->cursor;
  l->cursor = l->cursor->next;
  return l->cursor ? l->cursor->item : nullptr;
}

void *list_go_pos(KvxList *l, int n) {
  if (!l) return nullptr;
  reset_cursor(l);
  if (n < 1 || n > l->count) return nullptr;
  Cell *prev = nullptr, *c = l->first;
  for (int i = 1; i < n; i++) prev = c, c = c->next;
  l->before_cursor = prev;
  l->cursor = c;
  return c->item;
}

void *list_get_ieme(KvxList *l, int n) {
  if (!l || n < 1 || n > l->count) return nullptr;
  Cell *c = l->first;
  for (int i = 1; i < n; i++) c = c->next;
  return c->item;
}

void *list_get_item(KvxList *l, const void *probe) {
  if (!l) return nullptr;
  for (Cell *c = l->first; c; c = c->next)
    if (equal_items(l, c->item, probe)) return c->item;
  return nullptr;
}

void *list_get_item_on_string(KvxList *l, const char *text) {
  if (!l || !text) return nullptr;
  for (Cell *c = l->first; c; c = c->next) {
    const char *s = c->item ? *(const char *const *)c->item : nullptr;
    if (s && strcmp(s, text) == 0) return c->item;
  }
  return nullptr;
}

int list_nb_items(const KvxList *l) { return l ? l->count : 0; }

int list_remove_item(KvxList *l, void *item) {
  if (!l) return 0;
  Cell *prev = nullptr;
  int pos = 1;
  for (Cell *c = l->first; c; prev = c, c = c->next, pos++) {
    if (c->item != item) continue;
    if (prev)
      prev->next = c->next;
    else
      l->first = c->next;
    if (l->last == c) l->last = prev;
    free(c);
    l->count--;
    reset_cursor(l);
    return pos;
  }
  return 0;
}

int list_remove_matching_item(KvxList *l, KvxListMatch match, KvxListFree free_item) {
  if (!l || !match) return 0;
  int removed = 0;
  Cell *prev = nullptr, *c = l->first;
  while (c) {
    Cell *next = c->next;
    if (match(c->item)) {
      if (prev)
        prev->next = next;
      else
        l->first = next;
      if (l->last == c) l->last = prev;
      if (free_item) free_item(c->item);
      free(c);
      l->count--;
      removed++;
    } else {
      prev = c;
    }
    c = next;
  }
  reset_cursor(l);
  return removed;
}

void list_minus_list(KvxList *a, KvxList *b) {
  if (!a || !b) return;
  Cell *c = b->first;
  while (c && a->count > 0) {
    Cell *next = c->next; /* a and b may be one list */
    list_remove_item(a, c->item);
    c = next;
  }
}

KvxList *list_duplicate(KvxList *l) {
  KvxList *d = _list_new(default_cmp);
  if (l)
    for (Cell *c = l->first; c; c = c->next) list_insert_last(d, c->item);
  return d;
}

/* Merges two sorted chains; an item of the second chain goes first only
 * when the order function puts it strictly before the first chain's item,
 * so items it does not separate keep their order. */
static Cell *merge(Cell *a, Cell *b, KvxListBefore before) {
  Cell head{nullptr, nullptr};
  Cell *tail = &head;
  while (a && b) {
    if (before(b->item, a->item) && !before(a->item, b->item)) {
      tail->next = b;
      b = b->next;
    } else {
      tail->next = a;
      a = a->next;
    }
    tail = tail->next;
  }
  tail->next = a ? a : b;
  return head.next;
}

static Cell *merge_sort(Cell *c, int n, KvxListBefore before) {
  if (n < 2) {
    if (c) c->next = nullptr;
    return c;
  }
  int n1 = (n + 1) / 2;
  Cell *second = c;
  for (int i = 0; i < n1; i++) second = second->next;
  Cell *a = merge_sort(c, n1, before);
  Cell *b = merge_sort(second, n - n1, before);
  return merge(a, b, before);
}

void list_sort(KvxList *l, KvxListBefore before) {
  if (!l || !before) return;
  l->first = merge_sort(l->first, l->count, before);
  Cell *c = l->first;
  while (c && c->next) c = c->next;
  l->last = c;
  reset_cursor(l);
}

void list_wipe_out(KvxList *l) {
  if (!l) return;
  Cell *c = l->first;
  while (c) {
    Cell *n = c->next;
    free(c);
    c = n;
  }
  l->first = l->last = nullptr;
  l->count = 0;
  reset_cursor(l);
}

void list_free(KvxList *l) {
  if (!l) return;
  list_wipe_out(l);
  free(l);
}

void list_free_all(KvxList *l) {
  if (!l) return;
  if (l->free_item)
    for (Cell *c = l->first; c; c = c->next) l->free_item(c->item);
  list_free(l);
}

int default_cmp(const void *a, const void *b) {
  if (!a || !b) return a == b;
  const char *sa = *(const char *const *)a, *sb = *(const char *const *)b;
  if (!sa || !sb) return sa == sb;
  return strcmp(sa, sb) == 0;
}

void default_free(void *item) { free(item); }
void no_object_free(void *) {}
int unavailable_cmp(const void *, const void *) { return 0; }

}  // extern "C"
