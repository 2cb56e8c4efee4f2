# procedures.tcl - shared procedures of the rule scripts.
#
# The checker evaluates this file once, before any source is analysed; every
# procedure and global variable it defines is visible to every rule.

# The rule's key, or "" when the rule file has none.
proc kvx_rule_key {} {
    global thisRule
    if {[info exists thisRule]} { return $thisRule }
    return ""
}

# Prints an informative line of a rule on standard output.
proc kvx_note {text} {
    puts "[kvx_rule_key]: $text"
}

# True when the command is available (model commands come from the engine).
proc kvx_has_command {name} {
    return [expr {[llength [info commands $name]] > 0}]
}
