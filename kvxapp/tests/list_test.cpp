/*
 * list_test.cpp - the generic list: insertion results, uniqueness, order,
 * the single cursor, removal and the stable merge sort.
 */
#include "kvxapp.h"

#include <gtest/gtest.h>

#include <cstring>
#include <string>
#include <vector>

namespace {

/* Items whose first member is their key string, as the list expects. */
struct Item {
  const char *key;
  int tag;
};

int key_before(const void *a, const void *b) {
  return strcmp(((const Item *)a)->key, ((const Item *)b)->key) <= 0;
}
int key_strictly_before(const void *a, const void *b) {
  return strcmp(((const Item *)a)->key, ((const Item *)b)->key) < 0;
}

std::vector<int> tags(KvxList *l) {
  std::vector<int> out;
  for (void *p = list_first(l); p; p = list_next(l)) out.push_back(((Item *)p)->tag);
  return out;
}

int freed = 0;
void count_free(void *) { freed++; }
int is_odd(const void *p) { return ((const Item *)p)->tag % 2; }

TEST(List, InsertionResultsAndUniqueness) {
  Item a{"a", 1}, a2{"a", 2}, b{"b", 3};
  KvxList *l = _list_new(default_cmp);
  list_set_free(l, no_object_free);
  EXPECT_EQ(list_insert(l, &a), 1);
  EXPECT_EQ(list_insert(l, &a2), 2); /* not unique: equal items accepted */
  list_set_unique(l, 1);
  EXPECT_EQ(list_insert(l, &a), -1);
  EXPECT_EQ(list_nb_items(l), 2);
  EXPECT_EQ(list_insert_first(l, &b), 3);
  EXPECT_NE(list_insert_last(l, &b), 0);
  EXPECT_EQ(tags(l), (std::vector<int>{3, 1, 2, 3}));
  list_free_all(l);
}

TEST(List, SortedInsertPositionsKeepInsertionOrderOfEqualItems) {
  Item c{"c", 1}, a{"a", 2}, b1{"b", 3}, b2{"b", 4}, d{"d", 5};
  KvxList *l = _list_new(unavailable_cmp);
  list_set_free(l, no_object_free);
  list_set_sorted(l, key_before);
  EXPECT_EQ(list_insert(l, &c), 1);
  EXPECT_EQ(list_insert(l, &a), 1);
  EXPECT_EQ(list_insert(l, &b1), 2);
  EXPECT_EQ(list_insert(l, &b2), 3); /* after the equal b1 */
  EXPECT_EQ(list_insert_sorted(l, &d), 5);
  EXPECT_EQ(tags(l), (std::vector<int>{2, 3, 4, 1, 5}));
  list_free(l);
}

TEST(List, SortedUniqueRefusesEqualItem) {
  Item a{"a", 1}, b{"b", 2}, b2{"b", 3};
  KvxList *l = _list_new(default_cmp);
  list_set_free(l, no_object_free);
  list_set_sorted(l, key_strictly_before);
  list_set_unique(l, 1);
  list_insert(l, &b);
  list_insert(l, &a);
  EXPECT_EQ(list_insert(l, &b2), -1);
  EXPECT_EQ(list_insert_sorted(l, &b2), -1);
  EXPECT_EQ(list_nb_items(l), 2);
  list_free(l);
}

TEST(List, PositionsCountFromOne) {
  Item a{"a", 1}, b{"b", 2};
  KvxList *l = _list_new(default_cmp);
  list_insert(l, &a);
  list_insert(l, &b);
  EXPECT_EQ(list_get_ieme(l, 0), nullptr);
  EXPECT_EQ(list_get_ieme(l, 3), nullptr);
  EXPECT_EQ(list_get_ieme(l, -1), nullptr);
  EXPECT_EQ(list_get_ieme(l, 2), &b);
  EXPECT_EQ(list_go_pos(l, 1), &a);
  EXPECT_EQ(list_next(l), &b); /* the cursor stands on the item */
  EXPECT_EQ(list_next(l), nullptr);
  EXPECT_EQ(list_go_pos(l, 5), nullptr);
  EXPECT_EQ(list_next(l), nullptr);
  list_free(l);
}

TEST(List, SingleCursorRestartsInNestedIteration) {
  Item it[4] = {{"a", 1}, {"b", 2}, {"c", 3}, {"d", 4}};
  KvxList *l = _list_new(default_cmp);
  for (auto &i : it) list_insert(l, &i);
  std::vector<int> outer;
  for (void *p = list_first(l); p; p = list_next(l)) {
    outer.push_back(((Item *)p)->tag);
    if (((Item *)p)->tag == 1) {
      /* the inner loop leaves the cursor on "b" */
      for (void *q = list_first(l); q; q = list_next(l))
        if (((Item *)q)->tag == 2) break;
    }
  }
  EXPECT_EQ(outer, (std::vector<int>{1, 3, 4}));
  list_free(l);
}

TEST(List, LookupsByEqualityAndString) {
  Item a{"alpha", 1}, b{"beta", 2}, probe{"beta", 0};
  KvxList *l = _list_new(default_cmp);
  list_insert(l, &a);
  list_insert(l, &b);
  EXPECT_EQ(list_get_item(l, &probe), &b);
  EXPECT_EQ(list_get_item_on_string(l, "alpha"), &a);
  EXPECT_EQ(list_get_item_on_string(l, "gamma"), nullptr);
  list_set_cmp(l, unavailable_cmp);
  EXPECT_EQ(list_get_item(l, &probe), nullptr);
  list_free(l);
}

TEST(List, RemovalByIdentityAndByPredicate) {
  Item it[5] = {{"a", 1}, {"b", 2}, {"c", 3}, {"d", 4}, {"e", 5}};
  Item other{"b", 2};
  KvxList *l = _list_new(default_cmp);
  for (auto &i : it) list_insert(l, &i);
  EXPECT_EQ(list_remove_item(l, &other), 0); /* equal but not held */
  EXPECT_EQ(list_nb_items(l), 5);
  EXPECT_EQ(list_remove_item(l, &it[1]), 2);
  EXPECT_EQ(list_first(l), &it[0]);
  freed = 0;
  EXPECT_EQ(list_remove_matching_item(l, is_odd, count_free), 3);
  EXPECT_EQ(freed, 3);
  EXPECT_EQ(tags(l), (std::vector<int>{4}));
  /* the last cell is right after removals: appending still works */
  list_insert_last(l, &it[0]);
  EXPECT_EQ(tags(l), (std::vector<int>{4, 1}));
  list_free(l);
}

TEST(List, MinusDuplicateAndWipeOut) {
  Item it[4] = {{"a", 1}, {"b", 2}, {"c", 3}, {"d", 4}};
  KvxList *a = _list_new(default_cmp);
  for (auto &i : it) list_insert(a, &i);
  KvxList *b = list_duplicate(a);
  EXPECT_EQ(list_nb_items(b), 4);
  EXPECT_EQ(list_get_ieme(b, 3), &it[2]);
  list_remove_item(b, &it[0]);
  list_remove_item(b, &it[2]);
  list_minus_list(a, b);
  EXPECT_EQ(tags(a), (std::vector<int>{1, 3}));
  list_minus_list(b, b); /* stops when emptied */
  EXPECT_EQ(list_nb_items(b), 0);
  list_wipe_out(a);
  EXPECT_EQ(list_nb_items(a), 0);
  EXPECT_EQ(list_first(a), nullptr);
  list_insert(a, &it[3]);
  EXPECT_EQ(list_nb_items(a), 1);
  list_free(a);
  list_free(b);
}

TEST(List, MergeSortIsStableForBothKindsOfOrder) {
  const char *keys[] = {"d", "b", "a", "b", "c", "a", "b", "e", "a"};
  std::vector<Item> items;
  for (int i = 0; i < 9; i++) items.push_back({keys[i], i});
  for (KvxListBefore order : {key_before, key_strictly_before}) {
    KvxList *l = _list_new(default_cmp);
    for (auto &i : items) list_insert(l, &i);
    list_sort(l, order);
    EXPECT_EQ(tags(l), (std::vector<int>{2, 5, 8, 1, 3, 6, 4, 0, 7}));
    list_insert_last(l, &items[0]); /* the last cell is the sorted end */
    EXPECT_EQ(list_get_ieme(l, 10), &items[0]);
    list_free(l);
  }
}

TEST(List, FreeAllUsesTheListsFreeFunction) {
  KvxList *l = _list_new(default_cmp);
  list_set_free(l, count_free);
  Item a{"a", 1}, b{"b", 2};
  list_insert(l, &a);
  list_insert(l, &b);
  freed = 0;
  list_free_all(l);
  EXPECT_EQ(freed, 2);

  KvxList *m = _list_new(default_cmp); /* default_free releases malloc'd items */
  char **item = (char **)malloc(sizeof(char *));
  *item = nullptr;
  list_insert(m, item);
  list_free_all(m);
}

TEST(List, NullListIsEmpty) {
  EXPECT_EQ(list_nb_items(nullptr), 0);
  EXPECT_EQ(list_first(nullptr), nullptr);
  EXPECT_EQ(list_insert(nullptr, nullptr), -1);
  list_free_all(nullptr);
}

}  // namespace
