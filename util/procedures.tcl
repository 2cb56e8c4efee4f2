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

# ---------------------------------------------------------------------------
# Iteration helpers.  MapRole wants a procedure that answers true to go on;
# these wrap the common cases so that a rule can use plain Tcl loops.

# kvx_collect object role ?classes?
# The targets of a role of the object, in the role's order, as a list of
# ids; with classes (a list of class names) only targets of those classes.
#   foreach g [kvx_collect application instruction InstructionGoto] { ... }
proc kvx_collect {object role {classes {}}} {
    set ::kvx_collected {}
    if {[llength $classes] == 0} {
        MapRole $object $role kvx_collect_add
    } else {
        set ::kvx_collect_classes $classes
        MapRole $object $role -filter kvx_collect_match kvx_collect_add
    }
    set result $::kvx_collected
    set ::kvx_collected {}
    return $result
}
proc kvx_collect_add {o} { lappend ::kvx_collected $o; return 1 }
proc kvx_collect_match {o} {
    expr {[lsearch -exact $::kvx_collect_classes [Class $o]] >= 0}
}

# kvx_is_class object classes
# True when the object's class is one of the class names listed.
proc kvx_is_class {object classes} {
    expr {[lsearch -exact $classes [Class $object]] >= 0}
}

# kvx_line object
# The object's line number (0 when it has none).
proc kvx_line {object} {
    if {[catch {Get $object line} line]} { return 0 }
    return $line
}

# kvx_switch_labels switch
# The case and default labels (LabelCase, LabelDefault) that belong to the
# switch statement, in source order.  Labels of switch statements nested
# in its body belong to those and are left out.
proc kvx_switch_labels {switch} {
    set labels {}
    set body [GetRole $switch body]
    if {$body ne ""} { kvx_switch_labels_walk $body labels }
    # The labels of one statement are listed innermost first; the walk
    # keeps statements in source order, the sort by line (lsort is stable) settles
    # labels of different lines.
    return [lsort -command kvx_compare_lines $labels]
}
proc kvx_compare_lines {a b} {
    expr {[Get $a line] - [Get $b line]}
}
proc kvx_switch_labels_walk {instruction varName} {
    upvar 1 $varName labels
    set tags [kvx_collect $instruction tag {LabelCase LabelDefault}]
    foreach label [lreverse $tags] { lappend labels $label }
    if {[Class $instruction] eq "InstructionSwitch"} { return }
    foreach sub [kvx_collect $instruction subInstruction] {
        kvx_switch_labels_walk $sub labels
    }
}

# kvx_switch_clauses switch
# The number of clauses of a switch statement: the statements of its body
# that carry at least one of its case or default labels ("case 1: case 2:"
# before one statement make one clause).
proc kvx_switch_clauses {switch} {
    set seen {}
    foreach label [kvx_switch_labels $switch] {
        set target [GetRole $label instruction]
        if {[lsearch -exact $seen $target] < 0} { lappend seen $target }
    }
    return [llength $seen]
}

# ---------------------------------------------------------------------------
# Rule parameters.  A check run prepared by the configuration library sets
# each parameter of a rule as a global variable of its name before the
# rule's code runs; run by hand, the rule falls back to the default.

# kvx_param name default
# The value of the rule parameter, or the default when it is not set.
proc kvx_param {name default} {
    upvar #0 $name value
    if {[info exists value]} { return $value }
    return $default
}

# kvx_param_num name default
# An integer parameter; a value that is not an integer is an error of the
# rule that names the parameter.
proc kvx_param_num {name default} {
    set v [string trim [kvx_param $name $default]]
    if {![string is integer -strict $v]} {
        error "parameter $name: \"$v\" is not an integer"
    }
    return $v
}

# ---------------------------------------------------------------------------
# Functions.

# kvx_function_body function
# The InstructionBlock of a defined function (FunctionBuiltout), or ""
# for a function that is only declared.
# The model does not change while rules run: the results of this and the
# next procedures are kept for the run (global arrays kvx_body_of,
# kvx_expressions_of and the list kvx_defined_list).
proc kvx_function_body {function} {
    global kvx_body_of
    if {[info exists kvx_body_of($function)]} { return $kvx_body_of($function) }
    set body ""
    set scope [GetRole $function scopeFunction]
    if {$scope ne ""} {
        foreach sub [kvx_collect $scope subScope ScopeBlock] {
            set block [GetRole $sub instructionBlock]
            if {$block ne ""} { set body $block; break }
        }
    }
    set kvx_body_of($function) $body
    return $body
}

# kvx_defined_functions
# Every function defined in the analysed sources that has a body.
proc kvx_defined_functions {} {
    global kvx_defined_list
    if {[info exists kvx_defined_list]} { return $kvx_defined_list }
    set result {}
    foreach f [kvx_collect application function FunctionBuiltout] {
        if {[kvx_function_body $f] ne ""} { lappend result $f }
    }
    set kvx_defined_list $result
    return $result
}

# kvx_own_labels instruction
# The case and default labels written in front of the statement itself.
proc kvx_own_labels {instruction} {
    kvx_collect $instruction tag {LabelCase LabelDefault}
}

# ---------------------------------------------------------------------------
# Call graph.  Only calls of functions named directly are known; a call
# through a pointer or of an undeclared name has no callee in the model.

# kvx_function_expressions function
# Every expression of a defined function's body, at any depth: those of
# its statements and those of the initializers of its local declarations.
proc kvx_function_expressions {function} {
    global kvx_expressions_of
    if {![info exists kvx_expressions_of($function)]} {
        set kvx_expressions_of($function) [kvx_function_expressions_of $function]
    }
    return $kvx_expressions_of($function)
}
proc kvx_function_expressions_of {function} {
    set body [kvx_function_body $function]
    if {$body eq ""} { return {} }
    set holders [kvx_collect $body allInstruction]
    foreach scope [kvx_collect [GetRole $function scopeFunction] allScope] {
        lappend holders {*}[kvx_collect $scope instructionDef]
    }
    set result {}
    foreach i $holders {
        foreach e [kvx_collect $i expression] {
            lappend result {*}[kvx_collect $e allExpression]
        }
    }
    return $result
}

# kvx_calls function
# The call expressions in the body of a defined function whose callee is a
# function of the analysed code (FunctionBuiltout), statements and
# initializers of local declarations alike, ordered by line.
proc kvx_calls {function} {
    set calls {}
    foreach x [kvx_function_expressions $function] {
        if {[kvx_operator $x] eq "FunctionBuiltout"} { lappend calls $x }
    }
    return [lsort -command kvx_compare_lines $calls]
}

# kvx_callees function
# The distinct functions that a defined function calls directly.  The
# model does not change while rules run, so the lists are kept for the
# run (in the global array kvx_callees_of).
proc kvx_callees {function} {
    global kvx_callees_of
    if {![info exists kvx_callees_of(${function})]} {
        set list {}
        foreach c [kvx_calls $function] {
            set g [GetRole $c function]
            if {[lsearch -exact $list $g] < 0} { lappend list $g }
        }
        set kvx_callees_of($function) $list
    }
    return $kvx_callees_of($function)
}

# kvx_reaches from to
# True when function "to" can be reached from function "from" through one
# or more direct calls (from itself included: a function that calls itself
# reaches itself).  The reachable set of each function is kept for the run.
proc kvx_reaches {from to} {
    global kvx_reach_of
    if {![info exists kvx_reach_of($from)]} {
        # Every function reachable from "from", gathered once per run.
        set seen($from) 1
        set reached {}
        set todo [list $from]
        while {[llength $todo] > 0} {
            set f [lindex $todo end]
            set todo [lrange $todo 0 end-1]
            foreach g [kvx_callees $f] {
                if {[lsearch -exact $reached $g] < 0} { lappend reached $g }
                if {![info exists seen($g)]} {
                    set seen($g) 1
                    lappend todo $g
                }
            }
        }
        set kvx_reach_of($from) $reached
    }
    expr {[lsearch -exact $kvx_reach_of($from) $to] >= 0}
}

# ---------------------------------------------------------------------------
# Types.

# kvx_resolve_type type
# The type behind typedef names (TypeSymbol expansions), "" for "".
proc kvx_resolve_type {type} {
    set n 0
    while {$type ne "" && [Class $type] eq "TypeSymbol" && [incr n] < 100} {
        set type [GetRole $type expansion]
    }
    return $type
}

# kvx_operator expression
# The class of the operator or built-in form of an ExpressionComplex
# (FunctionAssign, FunctionSequence, ..., FunctionBuiltout for a call of a
# function of the analysed code), "" for other expressions.
proc kvx_operator {expression} {
    if {[Class $expression] ne "ExpressionComplex"} { return "" }
    set f [GetRole $expression function]
    if {$f eq ""} { return "" }
    return [Class $f]
}

# kvx_simple_type expression
# The type of a constant or of a name of a variable (typedefs resolved);
# "" for other expressions, whose type the model does not record.
proc kvx_simple_type {expression} {
    switch -- [Class $expression] {
        ExpressionConstant { return [kvx_resolve_type [GetRole $expression type]] }
        ExpressionSymbol {
            set s [GetRole $expression symbol]
            if {$s eq "" || [Class $s] ne "SymbolVariable"} { return "" }
            set v [GetRole $s variable]
            if {$v eq ""} { return "" }
            return [kvx_resolve_type [GetRole $v type]]
        }
    }
    return ""
}

# ---------------------------------------------------------------------------
# Names.

# kvx_check_names symbolClass scopeClasses pattern what
# Reports, under the current rule, every symbol of the class whose scope
# (definedIn) is of one of the scope classes ("" accepts any scope), that
# lies in a file of the analysed sources and whose name does not match the
# regular expression pattern.  what names the kind in the message.  An
# invalid pattern is an error of the rule.
proc kvx_check_names {symbolClass scopeClasses pattern what} {
    if {[catch {regexp -- $pattern ""} msg]} {
        error "invalid name pattern \"$pattern\": $msg"
    }
    foreach s [kvx_collect application symbol $symbolClass] {
        if {[GetRole $s file] eq ""} continue
        if {[llength $scopeClasses] > 0} {
            set scope [GetRole $s definedIn]
            if {$scope eq "" || ![kvx_is_class $scope $scopeClasses]} continue
        }
        set name [Get $s name]
        if {![regexp -- $pattern $name]} {
            Violation $s [kvx_rule_key] "$what name $name does not match $pattern"
        }
    }
}

# ---------------------------------------------------------------------------
# Uses of variables.

# kvx_is_used variable
# True when some expression of the analysed sources names the Variable
# (through any of its symbols).  The set of named variables is gathered
# once per run, at the first call.
proc kvx_is_used {variable} {
    global kvx_used_variables
    if {![info exists kvx_used_variables]} {
        set kvx_used_variables(-) 1
        MapRole application expression -filter kvx_is_used_isName kvx_is_used_note
    }
    info exists kvx_used_variables($variable)
}
proc kvx_is_used_isName {e} { expr {[Class $e] eq "ExpressionSymbol"} }
proc kvx_is_used_note {e} {
    set s [GetRole $e symbol]
    if {$s ne "" && [Class $s] eq "SymbolVariable"} {
        set v [GetRole $s variable]
        if {$v ne ""} { set ::kvx_used_variables($v) 1 }
    }
    return 1
}
