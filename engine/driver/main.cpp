/*
 * main.cpp - kvx_zkck_cc, the rule checker.
 */
#include "driver/engine.h"
#include "driver/run.h"

int main(int argc, char **argv) {
  kvx::Engine engine;
  return kvx::run_checker(argc, argv, engine);
}
