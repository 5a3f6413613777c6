#!/usr/bin/env python3
"""Makes every JSON Schema in a folder stand on its own, so that a validator
needs that one file and no network: a "$ref" to another schema of the folder
("module.schema.json") becomes "#/$defs/module.schema.json", where a copy of
that schema is kept. Run it after changing a schema that others refer to;
--check changes nothing and fails when a file is not as this would write it."""

import argparse
import json
import sys
from pathlib import Path

SUFFIX = ".schema.json"
WIDTH = 100


def refs(value):
    """Every "$ref" in the schema, however deep."""
    if isinstance(value, dict):
        for key, item in value.items():
            if key == "$ref" and isinstance(item, str):
                yield item
            else:
                yield from refs(item)
    elif isinstance(value, list):
        for item in value:
            yield from refs(item)


def rewritten(value, rewrite):
    """The schema with every "$ref" passed through rewrite."""
    if isinstance(value, dict):
        return {key: rewrite(item) if key == "$ref" and isinstance(item, str)
                else rewritten(item, rewrite) for key, item in value.items()}
    if isinstance(value, list):
        return [rewritten(item, rewrite) for item in value]
    return value


def embedded_name(ref):
    """The schema file a "$ref" names, directly or as its embedded copy; None for a local one."""
    if not ref.startswith("#"):
        return ref.split("#", 1)[0]
    prefix = "#/$defs/"
    if ref.startswith(prefix) and ref[len(prefix):].split("/", 1)[0].endswith(SUFFIX):
        return ref[len(prefix):].split("/", 1)[0]
    return None


def standalone(name, schemas, seen=()):
    """The schema of that file with every schema it refers to copied into its $defs."""
    if name in seen:
        sys.exit(f"bundle_schemas: {name} refers to itself through {' -> '.join(seen)}")
    schema = schemas[name]
    names = sorted({n for n in map(embedded_name, refs(schema)) if n is not None})
    for other in names:
        if other not in schemas:
            sys.exit(f"bundle_schemas: {name} refers to {other}, which the folder does not hold")

    def local(ref):
        other = embedded_name(ref)
        if other is None or ref.startswith("#"):
            return ref
        fragment = ref.split("#", 1)[1] if "#" in ref else ""
        return f"#/$defs/{other}{fragment}"

    bundled = rewritten(schema, local)
    if names:
        definitions = {key: item for key, item in bundled.get("$defs", {}).items()
                       if not key.endswith(SUFFIX)}
        for other in names:
            copy = standalone(other, schemas, (*seen, name))
            copy = {key: item for key, item in copy.items() if key not in ("$schema", "$id")}
            # Its own local references now point below its place in this file.
            definitions[other] = rewritten(
                copy, lambda ref, o=other: f"#/$defs/{o}{ref[1:]}" if ref.startswith("#") else ref)
        bundled["$defs"] = definitions
    return bundled


def formatted(value, indent=0, lead=0):
    """JSON as the schemas are written: what fits in a line on one line; lead
    counts what stands before the value on its first line."""
    one_line = json.dumps(value, ensure_ascii=False)
    if indent + lead + len(one_line) <= WIDTH or not isinstance(value, (dict, list)) or not value:
        return one_line
    inner = " " * (indent + 2)
    if isinstance(value, dict):
        items = []
        for key, item in value.items():
            head = f"{json.dumps(key, ensure_ascii=False)}: "
            items.append(inner + head + formatted(item, indent + 2, len(head)))
    else:
        items = [inner + formatted(item, indent + 2) for item in value]
    opening, closing = ("{", "}") if isinstance(value, dict) else ("[", "]")
    return opening + "\n" + ",\n".join(items) + "\n" + " " * indent + closing


def unresolved(schema):
    """The local references that point at nothing in the schema."""
    missing = []
    for ref in refs(schema):
        target = schema
        for part in ref[1:].split("/")[1:]:
            part = part.replace("~1", "/").replace("~0", "~")
            if isinstance(target, dict) and part in target:
                target = target[part]
            elif isinstance(target, list) and part.isdigit() and int(part) < len(target):
                target = target[int(part)]
            else:
                missing.append(ref)
                break
    return missing


def main():
    parser = argparse.ArgumentParser(description=__doc__)
    parser.add_argument("folder", help="the folder of the *.schema.json files")
    parser.add_argument("--check", action="store_true",
                        help="change nothing; fail when a file would be written otherwise")
    options = parser.parse_args()
    paths = {path.name: path for path in sorted(Path(options.folder).glob(f"*{SUFFIX}"))}
    schemas = {name: json.loads(path.read_text(encoding="utf-8")) for name, path in paths.items()}
    stale, broken = [], []
    for name, path in paths.items():
        bundled = standalone(name, schemas)
        broken += [f"{name}: {ref} points at nothing" for ref in unresolved(bundled)]
        if bundled == schemas[name]:
            continue  # current: its author's layout is kept
        if options.check:
            stale.append(name)
        else:
            path.write_text(formatted(bundled) + "\n", encoding="utf-8")
            print(f"bundle_schemas: wrote {path}")
    if broken:
        sys.exit("bundle_schemas: " + "; ".join(broken))
    if stale:
        sys.exit(f"bundle_schemas: not current: {', '.join(stale)}; "
                 f"run packaging/bundle_schemas.py {options.folder}")


if __name__ == "__main__":
    main()
