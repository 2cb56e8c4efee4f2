#!/usr/bin/env python3
"""Validates kvx_check's SARIF against the SARIF 2.1.0 schema of a package
and checks the properties GitHub code scanning requires of an upload.

Usage: sarif_valid.py SCHEMA SARIF...
Exit status 77 (skipped) when the jsonschema module is missing."""
import json
import sys

try:
    import jsonschema
except ImportError:
    print("python3-jsonschema is not installed: skipped")
    sys.exit(77)


def github_problems(log):
    """What GitHub code scanning would refuse or ignore."""
    out = []
    if log.get("version") != "2.1.0":
        out.append("version is not 2.1.0")
    for run in log.get("runs", []):
        driver = run.get("tool", {}).get("driver", {})
        if not driver.get("name"):
            out.append("tool.driver.name missing")
        ids = [r.get("id") for r in driver.get("rules", [])]
        if len(set(ids)) != len(ids) or not all(ids):
            out.append("rule ids missing or repeated")
        for rule in driver.get("rules", []):
            if not rule.get("shortDescription", {}).get("text"):
                out.append("rule %s without shortDescription" % rule.get("id"))
        for res in run.get("results", []):
            if not res.get("ruleId"):
                out.append("result without ruleId")
            if res.get("ruleId") not in ids:
                out.append("result of an unknown rule %s" % res.get("ruleId"))
            if not res.get("message", {}).get("text"):
                out.append("result without message.text")
            if not res.get("partialFingerprints"):
                out.append("result without partialFingerprints")
            locs = res.get("locations", [])
            if not 1 <= len(locs) <= 10:
                out.append("result of %s without a location" % res.get("ruleId"))
            for loc in locs:
                phys = loc.get("physicalLocation", {})
                uri = phys.get("artifactLocation", {}).get("uri", "")
                if not uri:
                    out.append("location without artifactLocation.uri")
                if uri.startswith("/") or "://" in uri and not uri.startswith("file:"):
                    out.append("uri %s is not a relative or file URI" % uri)
                if phys.get("region", {}).get("startLine", 1) < 1:
                    out.append("region.startLine below 1")
    return out


def main():
    with open(sys.argv[1]) as f:
        schema = json.load(f)
    validator = jsonschema.Draft4Validator(schema)
    broken = {"version": "2.1.0", "runs": [{"tool": {"driver": {}}}]}
    if validator.is_valid(broken):
        print("the schema accepts a log without tool name: not the SARIF schema")
        return 1
    failed = 0
    for path in sys.argv[2:]:
        with open(path) as f:
            log = json.load(f)
        errors = sorted(validator.iter_errors(log), key=lambda e: list(e.path))
        for e in errors[:20]:
            print("%s: %s at %s" % (path, e.message, "/".join(str(p) for p in e.path)))
        problems = github_problems(log)
        for p in problems:
            print("%s: %s" % (path, p))
        if errors or problems:
            failed = 1
        else:
            print("%s: valid, %d results" % (path, sum(len(r.get("results", [])) for r in log["runs"])))
    return failed


sys.exit(main())
