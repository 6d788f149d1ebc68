"""Validates velmora-cli's JSON against docs/velmora-chart.schema.json: one chart, and every
answer of a batch of 1,000 births spread over the supported range, bad lines and ids among them.

Usage: python3 check_json_schema.py VELMORA_CLI SCHEMA
"""
import json
import random
import subprocess
import sys

import jsonschema


def main() -> int:
    cli, schema_path = sys.argv[1], sys.argv[2]
    with open(schema_path, encoding="utf-8") as f:
        validator = jsonschema.Draft202012Validator(json.load(f))
    random.seed(20000204)
    lines = ["# a comment, skipped", ""]
    for i in range(1000):
        line = "%04d-%02d-%02d %02d:%02d" % (
            random.randint(1902, 2051), random.randint(1, 12), random.randint(1, 31),
            random.randint(0, 23), random.randint(0, 59))
        lines.append(line + ("\tperson %d" % i if i % 3 == 0 else ""))
    batch = subprocess.run([cli, "--batch", "-"], input="\n".join(lines) + "\n",
                           capture_output=True, text=True, check=False)
    answers = batch.stdout.splitlines()
    # Births with a birth place: daylight saving time, mean and apparent solar time, a refusal.
    places = ["1988-07-15 09:30 Asia/Shanghai", "1990-01-15 12:00 Asia/Shanghai 87.6",
              "2021-11-07 01:30 America/New_York", "1960-06-01 12:00 Europe/London -3.2"]
    placed = subprocess.run([cli, "--batch", "-", "--solar", "apparent"],
                            input="\n".join(places) + "\n", capture_output=True, text=True,
                            check=False).stdout.splitlines()
    placed += subprocess.run([cli, "--batch", "-"], input=places[0] + "\n", capture_output=True,
                             text=True, check=False).stdout.splitlines()
    single = subprocess.run([cli, "--date", "2000-02-04", "--time", "23:00", "--format", "json"],
                            capture_output=True, text=True, check=True)
    documents = [json.loads(single.stdout)] + [json.loads(a) for a in answers + placed]
    failed = 0
    for number, document in enumerate(documents):
        for error in validator.iter_errors(document):
            failed += 1
            print("answer %d: %s" % (number, error.message))
    errors = sum(1 for d in documents if "error" in d)
    print("%d answers validated, %d of them error objects" % (len(documents), errors))
    if len(answers) != 1000 or errors == 0:
        print("expected 1,000 answers with some error objects among them")
        failed += 1
    if sum(1 for d in documents if "correction" in d) != 3:
        print("expected three corrected charts")
        failed += 1
    print("%d passed, %d failed" % (len(documents) - min(failed, len(documents)), failed))
    return 1 if failed else 0


if __name__ == "__main__":
    sys.exit(main())
