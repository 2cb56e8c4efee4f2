# gen_source.tcl - writes a large ANSI C translation unit for the analysis
# benchmarks: varied declarations, functions, statements and expressions.
# Usage: tclsh gen_source.tcl OUTPUT [FUNCTIONS]
set out [lindex $argv 0]
set nfun [expr {[llength $argv] > 1 ? [lindex $argv 1] : 8000}]
set f [open $out w]
puts $f "/* generated benchmark source */"
puts $f "typedef unsigned long size_type;"
puts $f "struct node { int key; long weight; struct node *next; char name\[16\]; };"
puts $f "union cell { int i; double d; char *p; };"
puts $f "enum mode { MODE_A, MODE_B = 4, MODE_C };"
puts $f "extern int printf(const char *, ...);"
puts $f "static int table\[64\] = { 1, 2, 3, 5, 8, 13, 21, 34 };"
puts $f "static struct node pool\[32\];"
for {set i 0} {$i < $nfun} {incr i} {
  set k [expr {$i % 4}]
  puts $f "/* function $i */"
  puts $f "static int helper_$i (int a, int b)"
  puts $f "{"
  puts $f "  int r = a * $i + b;"
  puts $f "  r = (r << 2) ^ (a & 0x0f) | (b % 7);"
  puts $f "  return r > 100 ? r - 100 : r + table\[(a + $i) & 63\];"
  puts $f "}"
  puts $f ""
  puts $f "int work_$i (struct node *n, union cell *c, int count)"
  puts $f "{"
  puts $f "  int i, total = 0;"
  puts $f "  double acc = 0.5;"
  puts $f "  struct node *p = n;"
  puts $f "  enum mode m = MODE_B;"
  puts $f "  for (i = 0; i < count && p != 0; i++, p = p->next) {"
  puts $f "    total += helper_$i (p->key, i) + (int)p->weight;"
  puts $f "    if (p->name\[0\] == 'x') continue;"
  puts $f "    acc = acc * 1.5 + c->d / (i + 1);"
  puts $f "  }"
  if {$k == 0} {
    puts $f "  switch (total % 3) {"
    puts $f "  case 0: total -= 2; break;"
    puts $f "  case 1: total += pool\[i & 31\].key; break;"
    puts $f "  default: m = MODE_C; break;"
    puts $f "  }"
  } elseif {$k == 1} {
    puts $f "  while (total > 1000) { total = total / 2 - (total >> 3); }"
    puts $f "  do { total++; } while (total < 10);"
  } elseif {$k == 2} {
    puts $f "  if (acc > 10.0) { c->i = total; } else if (acc < 1.0) { c->p = (char *)0; } else { c->d = acc; }"
    puts $f "  total = sizeof(struct node) + sizeof total + (m == MODE_A);"
  } else {
    puts $f "  { int j; for (j = 0; j < 4; j++) total += table\[j\] * j; }"
    puts $f "  if (!total) goto done;"
    puts $f "  total = -total + ~count;"
    puts $f "done:"
    puts $f "  ;"
  }
  puts $f "  return total + (int)acc;"
  puts $f "}"
  puts $f ""
}
puts $f "int main(void)"
puts $f "{"
puts $f "  return work_0 (pool, 0, 3);"
puts $f "}"
close $f
