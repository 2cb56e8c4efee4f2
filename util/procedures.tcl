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
# The engine's Targets command does the work, with no script call per
# target.
proc kvx_collect {object role {classes {}}} {
    Targets $object $role {*}$classes
}

# kvx_id_filter class
# A MapRole filter that accepts the objects of exactly that class: the
# class is written in every object id ("i.<class number>.<handle>"), so
# the filter is a plain string match (the command itself, not the
# "string" ensemble, which costs twice as much), with no procedure call
# per target.
proc kvx_id_filter {class} {
    global kvx_id_prefix
    if {![info exists kvx_id_prefix($class)]} {
        set n [lsearch -exact [Classes] $class]
        if {$n < 0} { error "no class $class" }
        set kvx_id_prefix($class) "i.[expr {$n + 1}].*"
    }
    list ::tcl::string::match $kvx_id_prefix($class)
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
    global kvx_switch_labels_of
    if {[info exists kvx_switch_labels_of($switch)]} { return $kvx_switch_labels_of($switch) }
    set labels {}
    set body [GetRole $switch body]
    if {$body ne ""} { kvx_switch_labels_walk $body labels }
    # The labels of one statement are listed innermost first; the walk
    # keeps statements in source order, the sort by line (lsort is stable) settles
    # labels of different lines.  Kept for the run.
    if {[llength $labels] > 1} {
        set keyed {}
        foreach l $labels { lappend keyed [list [Get $l line] $l] }
        set labels {}
        foreach k [lsort -integer -index 0 $keyed] { lappend labels [lindex $k 1] }
    }
    set kvx_switch_labels_of($switch) $labels
    return $labels
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
    kvx_function_walk $function {}
}

# kvx_function_walk function via ?classes?
# The expressions of a defined function's body (as kvx_function_expressions),
# each once; with via (a role name) and classes, only those whose via
# target is of one of the classes, as Targets selects them.  The block
# sequences hold the local declarations; the scopes add the parameters and
# the declarations of for headers and statement expressions.
proc kvx_function_walk {function via {classes {}}} {
    set body [kvx_function_body $function]
    if {$body eq ""} { return {} }
    set select {}
    if {$via ne ""} { set select [list -via $via {*}$classes] }
    set result [Targets $body {allInstruction expression allExpression} {*}$select]
    set more [Targets [GetRole $function scopeFunction] {allScope instructionDef expression allExpression} {*}$select]
    if {[llength $more] == 0} { return $result }
    foreach e $result { set seen($e) {} }
    foreach e $more {
        if {![info exists seen($e)]} { lappend result $e }
    }
    return $result
}

# kvx_calls function
# The call expressions in the body of a defined function whose callee is a
# function of the analysed code (FunctionBuiltout), statements and
# initializers of local declarations alike, ordered by line.
proc kvx_calls {function} {
    set calls [kvx_function_ops $function FunctionBuiltout]
    if {[llength $calls] < 2} { return $calls }
    set keyed {}
    foreach c $calls { lappend keyed [list [Get $c line] $c] }
    set result {}
    foreach k [lsort -integer -index 0 $keyed] { lappend result [lindex $k 1] }
    return $result
}

# kvx_callees function
# The distinct functions that a defined function calls directly.
proc kvx_callees {function} {
    global kvx_callees_of
    if {![info exists kvx_callees_of($function)]} {
        set result {}
        foreach c [kvx_function_ops $function FunctionBuiltout] {
            set g [GetRole $c function]
            if {![info exists seen($g)]} {
                set seen($g) {}
                lappend result $g
            }
        }
        set kvx_callees_of($function) $result
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
            set todo [lreplace $todo[set todo {}] end end]
            foreach g [kvx_callees $f] {
                if {![info exists got($g)]} { set got($g) 1; lappend reached $g }
                if {![info exists seen($g)]} {
                    set seen($g) 1
                    lappend todo $g
                }
            }
        }
        set kvx_reach_of($from) $reached
    }
    expr {$to in $kvx_reach_of($from)}
}

# kvx_call_component function
# The number of the function's cycle of calls (its strongly connected
# component of the call graph): a call from f to g closes a cycle exactly
# when f and g have the same number.  "" for a function that is not
# defined with a body.  The components are found once per run, in time
# linear in the size of the call graph.
proc kvx_call_component {function} {
    global kvx_component_of
    if {![info exists kvx_component_of]} { kvx_call_components }
    if {[info exists kvx_component_of($function)]} { return $kvx_component_of($function) }
    return ""
}
# kvx_in_cycle function
# True when the defined function is part of a cycle of calls: it calls
# itself, or its cycle (kvx_call_component) holds other functions too.
proc kvx_in_cycle {function} {
    global kvx_component_size
    set cycle [kvx_call_component $function]
    if {$cycle eq ""} { return 0 }
    expr {$kvx_component_size($cycle) > 1 || $function in [kvx_callees $function]}
}
proc kvx_call_components {} {
    global kvx_component_of kvx_component_size
    array set kvx_component_of {}
    array set kvx_component_size {}
    set count 0
    set stack {}
    foreach root [kvx_defined_functions] {
        if {[info exists num($root)]} continue
        set num($root) $count
        set low($root) $count
        incr count
        lappend stack $root
        set on($root) 1
        # Each frame: the function, its callees, the next callee to visit.
        set work [list [list $root [kvx_callees $root] 0]]
        while {[llength $work] > 0} {
            lassign [lindex $work end] v callees pos
            if {$pos < [llength $callees]} {
                lset work end 2 [expr {$pos + 1}]
                set w [lindex $callees $pos]
                if {![info exists num($w)]} {
                    set num($w) $count
                    set low($w) $count
                    incr count
                    lappend stack $w
                    set on($w) 1
                    lappend work [list $w [kvx_callees $w] 0]
                } elseif {[info exists on($w)] && $num($w) < $low($v)} {
                    set low($v) $num($w)
                }
                continue
            }
            set work [lreplace $work[set work {}] end end]
            if {[llength $work] > 0} {
                set u [lindex $work end 0]
                if {$low($v) < $low($u)} { set low($u) $low($v) }
            }
            if {$low($v) == $num($v)} {
                while 1 {
                    set w [lindex $stack end]
                    set stack [lreplace $stack[set stack {}] end end]
                    unset on($w)
                    set kvx_component_of($w) $num($v)
                    incr kvx_component_size($num($v))
                    if {$w eq $v} break
                }
            }
        }
    }
}

# ---------------------------------------------------------------------------
# Shared indexes.  The model does not change while rules run: these keep
# what they found for every rule of the run.

# kvx_class_of object
# The object's class, kept for the run ("" for ""); for the few objects
# asked about again and again, such as the operators of expressions.
proc kvx_class_of {object} {
    global kvx_class_memo
    if {![info exists kvx_class_memo($object)]} {
        set kvx_class_memo($object) [expr {$object eq "" ? "" : [Class $object]}]
    }
    return $kvx_class_memo($object)
}

# kvx_objects role classes
# The targets of the application's role (instruction, symbol, scope,
# variable, label, fileInclusion...) that are of the listed classes: those
# of each class in the role's order, the classes one after the other;
# classes "*" gives every target in the role's order.
proc kvx_objects {role classes} {
    global kvx_objects_of
    if {$classes eq "*"} { return [Targets application $role] }
    set result {}
    foreach c $classes {
        if {![info exists kvx_objects_of($role,$c)]} {
            set kvx_objects_of($role,$c) [Targets application $role $c]
        }
        lappend result {*}$kvx_objects_of($role,$c)
    }
    return $result
}

# kvx_ops classes
# The ExpressionComplex objects of the whole application whose operator
# is of one of the classes (FunctionAssign, FunctionSequence, FunctionEq,
# FunctionBuiltout for calls of the analysed code...), in the role's
# order.  Each list of classes asked for is gathered once per run.
proc kvx_ops {classes} {
    global kvx_ops_of
    if {![info exists kvx_ops_of($classes)]} {
        set kvx_ops_of($classes) [Targets application expression -via function {*}$classes]
    }
    return $kvx_ops_of($classes)
}

# kvx_function_ops function classes
# The ExpressionComplex objects of a defined function's body (statements
# and initializers of local declarations, as kvx_function_expressions)
# whose operator is of one of the classes.
proc kvx_function_ops {function classes} {
    kvx_function_walk $function function $classes
}

# kvx_count object role classes
# The number of targets of the role (a role path, as Targets takes it)
# that are of one of the classes.
proc kvx_count {object role classes} {
    llength [Targets $object $role {*}$classes]
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
    kvx_class_of [GetRole $expression function]
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
        foreach v [Targets application {expression symbol variable}] {
            set kvx_used_variables($v) 1
        }
    }
    info exists kvx_used_variables($variable)
}

# ---------------------------------------------------------------------------
# Files.

# kvx_file_extent file
# A list {first last object} for a File: the first and last lines that
# hold a symbol, a statement or declaration, or an inclusion of the file,
# and the object on the first of them ({0 0 ""} for a file with none).
# Everything of a function lies after the function's own symbol, so the
# first line is found among the file-level objects (inclusions, symbols
# and declarations of the global and translation-unit scopes, members of
# structures), and the last one among those and the statements of the
# last function defined in the file.  One pass serves every file.
proc kvx_file_extent {file} {
    global kvx_extent_of
    if {![info exists kvx_extent_of]} {
        array set kvx_extent_of {}
        set units [list [GetRole application scopeGlobal] {*}[kvx_objects scope ScopeTranslationUnit]]
        set objects [Targets $units symbolDef]
        lappend objects {*}[Targets $units instructionDef]
        lappend objects {*}[Targets [kvx_objects scope ScopeStructure] symbolDef]
        lappend objects {*}[kvx_objects fileInclusion *]
        # The function of each file that begins last (the loops name their
        # file fnFile: the file asked about is the parameter).
        foreach f [kvx_defined_functions] {
            set scope [GetRole $f scopeFunction]
            set fnFile [GetRole $scope file]
            set line [Get $scope line]
            if {$fnFile ne "" && (![info exists lastFn($fnFile)] || $line > [lindex $lastFn($fnFile) 0])} {
                set lastFn($fnFile) [list $line $scope]
            }
        }
        foreach fnFile [array names lastFn] {
            set scope [lindex $lastFn($fnFile) 1]
            lappend objects {*}[Targets $scope {allScope instructionDef}]
            lappend objects {*}[Targets [kvx_function_body [GetRole $scope function]] allInstruction]
        }
        foreach o $objects {
            set f [GetRole $o file]
            if {$f eq ""} continue
            set line [Get $o line]
            if {$line == 0} continue
            if {![info exists first($f)]} {
                set first($f) $line
                set last($f) $line
                set at($f) $o
            } elseif {$line < $first($f)} {
                set first($f) $line
                set at($f) $o
            } elseif {$line > $last($f)} {
                set last($f) $line
            }
        }
        foreach f [array names first] {
            set kvx_extent_of($f) [list $first($f) $last($f) $at($f)]
        }
    }
    if {[info exists kvx_extent_of($file)]} { return $kvx_extent_of($file) }
    return {0 0 {}}
}

# kvx_comment_spans file
# The comments of a File as a flat list of first and last lines, in
# ascending first line, read once per run for all rules.
proc kvx_comment_spans {file} {
    global kvx_comment_spans_of
    if {![info exists kvx_comment_spans_of($file)]} {
        set spans {}
        foreach c [Targets $file comment] {
            set first [Get $c line]
            lappend spans $first [expr {$first + max(1, [Get $c lineCount]) - 1}]
        }
        set kvx_comment_spans_of($file) $spans
    }
    return $kvx_comment_spans_of($file)
}

# kvx_included_files file
# Every File that the file includes, directly or through other files
# (without the file itself unless it includes itself).  The inclusion graph
# is read once per run.
proc kvx_included_files {file} {
    global kvx_includes_of kvx_included_of
    if {![info exists kvx_includes_of]} {
        array set kvx_includes_of {}
        foreach i [kvx_objects fileInclusion *] {
            set from [GetRole $i file]
            set to [GetRole $i included]
            if {$from ne "" && $to ne ""} { lappend kvx_includes_of($from) $to }
        }
    }
    if {![info exists kvx_included_of($file)]} {
        set result {}
        set todo [list $file]
        while {[llength $todo] > 0} {
            set f [lindex $todo end]
            set todo [lreplace $todo[set todo {}] end end]
            if {![info exists kvx_includes_of($f)]} continue
            foreach g $kvx_includes_of($f) {
                if {[info exists seen($g)]} continue
                set seen($g) 1
                lappend result $g
                lappend todo $g
            }
        }
        set kvx_included_of($file) $result
    }
    return $kvx_included_of($file)
}

# ---------------------------------------------------------------------------
# Bit-fields.

# kvx_bitfields
# Every bit-field member (TypeBitField) of the structures and unions
# written in the analysed files.
proc kvx_bitfields {} {
    global kvx_bitfield_list kvx_bitfield_owner
    if {![info exists kvx_bitfield_list]} {
        set kvx_bitfield_list {}
        foreach s [kvx_objects type {TypeStruct TypeUnion}] {
            if {[GetRole $s file] eq ""} continue
            foreach f [kvx_collect $s typeField TypeBitField] {
                lappend kvx_bitfield_list $f
                set kvx_bitfield_owner($f) $s
            }
        }
    }
    return $kvx_bitfield_list
}

# kvx_bitfield_place field
# Where to report a bit-field: its member name, or for an unnamed member
# the structure or union that holds it.
proc kvx_bitfield_place {field} {
    global kvx_bitfield_owner
    set s [GetRole $field symbol]
    if {$s ne ""} { return $s }
    kvx_bitfields
    return $kvx_bitfield_owner($field)
}

# kvx_bitfield_width field
# The width of a bit-field written as an integer constant (decimal, octal
# or hexadecimal, with or without suffixes); "" for any other width.
proc kvx_bitfield_width {field} {
    set w [GetRole $field length]
    if {$w eq "" || [Class $w] ne "ExpressionConstant"} { return "" }
    kvx_integer_value [Spelling $w]
}

# kvx_integer_value text
# The value of an integer constant as written in C ("0x1F", "010", "3u"),
# "" when the text is not one.
proc kvx_integer_value {text} {
    set digits [string trimright $text uUlL]
    if {[regexp {^0[xX][0-9a-fA-F]+$} $digits]} { return [expr {$digits}] }
    if {[regexp {^0[0-7]*$} $digits]} { return [expr "0o0$digits"] }
    if {[regexp {^[1-9][0-9]*$} $digits]} { return [expr {$digits}] }
    return ""
}
