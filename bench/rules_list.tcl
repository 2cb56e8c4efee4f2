# rules_list.tcl - writes the rule list of the rule benchmark from a rule
# set file: before each rule a timing file that notes the clock and sets the
# rule's parameter values as a check run does, and one more timing file at
# the end that writes the time of every rule to a result file.
# The run's start (clock microseconds) comes in the environment variable
# KVX_BENCH_START.
# Usage: tclsh rules_list.tcl RULESET RULESDIR WORKDIR RESULT
lassign $argv ruleset rulesdir work result
set in [open $ruleset r]
set entries {}
while {[gets $in line] >= 0} {
    if {![string match {"*} $line]} continue
    lappend entries [lrange $line 1 end]
}
close $in
# Each timing file charges the time since the previous one to the rule
# that ran in between (the first one charges the analysis).
set mark {
    set kvx_bench_t [clock microseconds]
    lappend ::kvx_bench_times [list $::kvx_bench_what [expr {$kvx_bench_t - $::kvx_bench_last}]]
    set ::kvx_bench_last $kvx_bench_t
}
set list [open [file join $work rules.lst] w]
set n 0
foreach e $entries {
    set path [file join $rulesdir [lindex $e 0]]
    set f [open [file join $work mark[incr n].rule] w]
    puts $f ".CODE"
    if {$n == 1} {
        puts $f "set ::kvx_bench_times {}"
        puts $f "set ::kvx_bench_last \$::env(KVX_BENCH_START)"
        puts $f "set ::kvx_bench_what analysis"
    }
    puts $f $mark
    puts $f "set ::kvx_bench_what [list [file rootname [file tail $path]]]"
    foreach {name value} [lrange $e 1 end] {
        puts $f [list set ::$name $value]
    }
    close $f
    puts $list "\"[file join $work mark$n.rule]\""
    puts $list "\"$path\""
}
set f [open [file join $work markend.rule] w]
puts $f ".CODE"
puts $f $mark
puts $f "set kvx_bench_out \[open [list $result] w\]"
puts $f "foreach t \$::kvx_bench_times { puts \$kvx_bench_out \$t }"
puts $f "close \$kvx_bench_out"
close $f
puts $list "\"[file join $work markend.rule]\""
close $list
