"""Checks `ombrel-cli report --json` against docs/report-json.schema.json.

    check_report_json.py CLI SCHEMA FILE...

Each FILE is a document (.omd), whose JSON the tool prints, or a JSON file
(the golden JSON of the report tests). Every one must parse without NaN or
Infinity and validate against the schema. Exits 1 naming each failure.
"""
import json
import subprocess
import sys

import jsonschema


def reject_constant(name):
    raise ValueError(f"{name} is not a JSON number")


def load(cli, path):
    if path.endswith(".omd"):
        text = subprocess.run([cli, "report", "--json", path], check=True, capture_output=True, text=True).stdout
    else:
        with open(path, encoding="utf-8") as f:
            text = f.read()
    return json.loads(text, parse_constant=reject_constant)


def unique_keys(pairs):
    """An object of the schema that names a key twice would keep only the last."""
    keys = [key for key, _ in pairs]
    repeated = sorted({key for key in keys if keys.count(key) > 1})
    if repeated:
        raise ValueError("the schema names these keys twice: " + ", ".join(repeated))
    return dict(pairs)


def main(cli, schema_path, paths):
    with open(schema_path, encoding="utf-8") as f:
        schema = json.load(f, object_pairs_hook=unique_keys)
    validator_class = jsonschema.validators.validator_for(schema)
    validator_class.check_schema(schema)
    validator = validator_class(schema)
    failures = 0
    for path in paths:
        try:
            errors = sorted(validator.iter_errors(load(cli, path)), key=lambda e: list(e.absolute_path))
        except (ValueError, subprocess.CalledProcessError) as error:
            errors = [error]
        for error in errors:
            failures += 1
            where = "/".join(str(p) for p in getattr(error, "absolute_path", []))
            print(f"{path}: {where}: {getattr(error, 'message', error)}")
    if not paths:
        print("no files to check")
        return 1
    print(f"{len(paths)} files checked, {failures} failures")
    return 1 if failures else 0


if __name__ == "__main__":
    sys.exit(main(sys.argv[1], sys.argv[2], sys.argv[3:]))
