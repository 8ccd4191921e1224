#!/usr/bin/env python3
"""Checks JSON documents against a JSON Schema (draft 2020-12).

    validate_json.py SCHEMA DOCUMENT...

The schema must itself be valid and describe every property it names (a "description" of its
own or in the definition it refers to). Exit status: 0 when the schema and every document are
valid, 1 otherwise (the reasons on stderr), 77 when the jsonschema module is missing.
"""
import json
import sys

try:
    import jsonschema
except ImportError:
    print("the jsonschema module (python3-jsonschema) is missing", file=sys.stderr)
    sys.exit(77)


def undescribed(schema):
    """The properties, anywhere in the schema, that carry no description."""
    definitions = schema.get("$defs", {})

    def described(entry):
        if "description" in entry:
            return True
        reference = entry.get("$ref", "")
        return reference.startswith("#/$defs/") and "description" in definitions.get(
            reference[len("#/$defs/"):], {})

    found = []

    def walk(node, path):
        if isinstance(node, dict):
            for name, entry in node.get("properties", {}).items():
                if isinstance(entry, dict) and not described(entry):
                    found.append(f"{path}/properties/{name}")
            for key, value in node.items():
                if key != "if":  # a condition names properties, it documents none
                    walk(value, f"{path}/{key}")
        elif isinstance(node, list):
            for index, value in enumerate(node):
                walk(value, f"{path}/{index}")

    walk(schema, "#")
    return found


def main(arguments):
    if len(arguments) < 2:
        print(__doc__, file=sys.stderr)
        return 2
    with open(arguments[0], encoding="utf-8") as file:
        schema = json.load(file)
    validator_class = jsonschema.Draft202012Validator
    validator_class.check_schema(schema)
    failed = False
    for path in undescribed(schema):
        print(f"{arguments[0]}: {path} has no description", file=sys.stderr)
        failed = True
    validator = validator_class(schema)
    for document_path in arguments[1:]:
        with open(document_path, encoding="utf-8") as file:
            document = json.load(file)
        for error in validator.iter_errors(document):
            location = "/".join(str(part) for part in error.absolute_path)
            print(f"{document_path}: /{location}: {error.message}", file=sys.stderr)
            failed = True
    return 1 if failed else 0


if __name__ == "__main__":
    sys.exit(main(sys.argv[1:]))
