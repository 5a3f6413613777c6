"""Validates linkora's JSON documents against the schemas in docs/schemas with a real
validator (python3-jsonschema): errors_against(document, "scan") lists what does not hold."""

import json
from pathlib import Path

import jsonschema

FOLDER = Path(__file__).resolve().parent.parent / "docs" / "schemas"
SCHEMAS = {path.name: json.loads(path.read_text()) for path in FOLDER.glob("*.schema.json")}


def _validator(name):
    schema = SCHEMAS[name + ".schema.json"]
    try:  # jsonschema 4.18 and later resolve references through a registry
        from referencing import Registry, Resource
        registry = Registry().with_resources(
            (s["$id"], Resource.from_contents(s)) for s in SCHEMAS.values())
        return jsonschema.Draft202012Validator(schema, registry=registry)
    except ImportError:  # Debian 12's 4.10
        store = {s["$id"]: s for s in SCHEMAS.values()}
        resolver = jsonschema.RefResolver(schema["$id"], schema, store=store)
        return jsonschema.Draft202012Validator(schema, resolver=resolver)


def errors_against(document, name):
    return [f"{list(e.absolute_path)}: {e.message}" for e in _validator(name).iter_errors(document)]
