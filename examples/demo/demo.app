Entities_Definitions DEFINITIONS ::= BEGIN
application ::= SEQUENCE OF {
	SEQUENCE {
		identity oid,
		name string,
		language string,
		user_makefile string,
		cc_options string,
		link_options string,
		get_source string,
		source_dir string,
		object_dir string,
		exec_file string,
		suffix string,
		prefix string,
		compiler string,
		profil string,
		rules_set string,
		makefile string,
		target string
	}
}
file ::= SEQUENCE OF {
	SEQUENCE {
		identity oid,
		source_dir string,
		source_file string,
		object_dir string,
		object_file string,
		use_default_cc_options boolean,
		cc_options string,
		use_default_kvx_options boolean,
		get_source string,
		marked boolean,
		is_ok boolean,
		owner oid
	}
}
kavexo_options ::= SEQUENCE OF {
	SEQUENCE {
		owner oid,
		name string,
		value string
	}
}
application ::= {
{ "1", "demo",
 "C",
 "",
 " /D,NDEBUG,",
 "",
 "" ,
 "",
 "",
 "",
 ".inst",
 "",
 "cc",
 "../../build/util/profiles/ansi.prf",
 "../../build/rules/default.rsf",
 "",
 "" }
}
file ::= {
{ "2", "", "counter.c", "", "counter.o", f, "" , f, "", t, f , "1"},
{ "3", "", "events.c", "", "events.o", f, "" , f, "", t, f , "1"},
{ "4", "", "main.c", "", "main.o", f, "" , f, "", t, f , "1"}
}
kavexo_options ::= {
{"1", "-dial", "ansi"},
{"1", "-ign", "*"},
{"1", "-mode=noexp", "yes"},
{"1", "-mac", "*"},
{"2", "-dial", "ansi"},
{"2", "-ign", "*"},
{"2", "-mode=noexp", "yes"},
{"2", "-mac", "*"},
{"3", "-dial", "ansi"},
{"3", "-ign", "*"},
{"3", "-mode=noexp", "yes"},
{"3", "-mac", "*"},
{"4", "-dial", "ansi"},
{"4", "-ign", "*"},
{"4", "-mode=noexp", "yes"},
{"4", "-mac", "*"}
}
END
