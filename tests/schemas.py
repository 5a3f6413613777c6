"""Validates linkora's JSON documents against the schemas in docs/schemas with a real
validator (python3-jsonschema), each schema file on its own as it ships:
errors_against(document, "scan") lists what does not hold."""

import json
from pathlib import Path

import jsonschema

FOLDER = Path(__file__).resolve().parent.parent / "docs" / "schemas"
SCHEMAS = {path.name: json.loads(path.read_text()) for path in FOLDER.glob("*.schema.json")}


def _refuse(uri):
    raise LookupError(f"{uri}: a shipped schema must not refer outside itself")


def _validator(name):
    """Each shipped file alone (packaging/bundle_schemas.py bundles what it
    refers to): a reference to anything outside it fails instead of a fetch."""
    schema = SCHEMAS[name + ".schema.json"]
    try:  # jsonschema 4.18 and later resolve references through a registry
        from referencing import Registry
        return jsonschema.Draft202012Validator(schema, registry=Registry(retrieve=_refuse))
    except ImportError:  # Debian 12's 4.10
        resolver = jsonschema.RefResolver.from_schema(
            schema, handlers={"http": _refuse, "https": _refuse})
        return jsonschema.Draft202012Validator(schema, resolver=resolver)


def errors_against(document, name):
    return [f"{list(e.absolute_path)}: {e.message}" for e in _validator(name).iter_errors(document)]
