#!/usr/bin/python3
# SPDX-FileCopyrightText: 2026 Tarvio developers
# SPDX-License-Identifier: GPL-3.0-or-later
# The mutation runner over a sample whose every mutant's fate is known.
# Usage: test_mutants.py RUNNER WORKDIR
import json
import os
import shutil
import subprocess
import sys

runner, work = sys.argv[1], sys.argv[2]
here = os.path.dirname(os.path.abspath(__file__))
shutil.rmtree(work, ignore_errors=True)
shutil.copytree(os.path.join(here, 'sample'), os.path.join(work, 'src'))
source = os.path.join(work, 'src', 'Clamp.cpp')
with open(source) as f:
    pristine = f.read()
matrixPath = os.path.join(work, 'matrix.json')
run = subprocess.run([runner, '--all', '--source', os.path.join(work, 'src'), '--build', os.path.join(work, 'build'),
                      '--targets', 'sample_logic', '--matrix', matrixPath, '--minutes', '5', '--jobs', '2'],
                     stdout=subprocess.PIPE, stderr=subprocess.STDOUT, text=True)
print(run.stdout)
failures = []


def Check(what, actual, expected):
    if actual != expected:
        failures.append('%s: %r, expected %r' % (what, actual, expected))


with open(source) as f:
    Check('source restored', f.read() == pristine, True)
Check('exit status', run.returncode, 0)
matrix = json.load(open(matrixPath))
status = {}
for m in matrix['mutants']:
    status.setdefault(m['status'], []).append((m['line'], m['rule']))
Check('counts', {s: len(v) for s, v in status.items()}, {'killed': 8, 'survived': 2, 'nocompile': 5, 'equivalent': 8})
Check('survivors', sorted(status.get('survived', [])), [(10, 'relational'), (21, 'relational')])
Check('score', round(matrix['score'], 1), 80.0)
Check('kills', {t: (len(v['kills']), len(v['alone'])) for t, v in matrix['tests'].items()},
      {'test_clamp::Clamps': (5, 5), 'test_clamp::Within_': (3, 1), 'test_clamp::WithinAgain': (2, 0)})
Check('redundant', matrix['redundant'], ['test_clamp::WithinAgain'])
Check('printed score', 'Score: 80.0% (8 killed of 10; 5 did not compile, 8 equivalent, apart)' in run.stdout, True)
for f in failures:
    print('FAIL', f)
sys.exit(1 if failures else 0)
