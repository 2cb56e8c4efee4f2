# rule_list.tcl - writes the rule list of a check run from a rule set file
# (TARQUIN ZKL 1.0 RULES FILE), as the workbench prepares it: for each rule
# a parameter file that sets the rule's parameter values as Tcl globals,
# then the rule's description file.
# Usage: tclsh rule_list.tcl RULESET WORKDIR
lassign $argv ruleset work
set dir [file dirname [file normalize $ruleset]]
set in [open $ruleset r]
set list [open [file join $work rules.lst] w]
set n 0
while {[gets $in line] >= 0} {
    if {![string match {"*} [string trim $line]]} continue
    set path [file join $dir [lindex $line 1]]
    set params [file join $work param[incr n].rule]
    set f [open $params w]
    puts $f ".NAME [lindex $line 0] parameters"
    puts $f ".CODE"
    foreach {name value} [lrange $line 2 end] {
        puts $f [list global $name]
        puts $f [list set $name $value]
    }
    close $f
    puts $list "\"$params\""
    puts $list "\"$path\""
}
close $in
close $list
