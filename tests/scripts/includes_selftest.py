#!/usr/bin/env python3
"""Plants forbidden includes in a copy of the sources and checks that
scripts/includes.py refuses each, and passes the copy as it is."""
import os
import shutil
import subprocess
import sys
import tempfile

SOURCE = os.path.dirname(os.path.dirname(os.path.dirname(os.path.abspath(__file__))))
# (file to plant in, line planted, offence expected; None: none)
CASES = [
    (None, None, None),
    ('src/browser/BookTree.cpp', '#include "bookcare/BookSchema.h"',
     'layer: src/browser/BookTree includes src/bookcare/BookSchema'),
    ('src/data/BookReader.cpp', '#include "bookcare/DirectSql.h"',
     'layer: src/data/BookReader includes src/bookcare/DirectSql'),
    ('src/bookcare/BookScan.cpp', '#include "search/TextMarks.h"',
     'layer: src/bookcare/BookScan includes src/search/TextMarks'),
    ('src/common/Labels.cpp', '#include "widgets/MessageBoxes.h"',
     'layer: src/common/Labels includes src/widgets/MessageBoxes'),
    ('src/data/BookReader.cpp', '#include "widgets/WaitCursor.h"',
     'layer: src/data/BookReader includes src/widgets/WaitCursor'),
    ('src/widgets/BookNode.cpp', '#include "data/BookOutline.h"',
     'layer: src/widgets/BookNode includes src/data/BookOutline'),
    ('src/widgets/PaneText.cpp', '#include "bookcare/BookScan.h"',
     'layer: src/widgets/PaneText includes src/bookcare/BookScan'),
    ('src/extra/Stray.cpp', 'int stray();', 'folder without a layer: extra'),
]


def check(copy, planted_in, line, expected):
    if planted_in:
        path = os.path.join(copy, planted_in)
        os.makedirs(os.path.dirname(path), exist_ok=True)
        with open(path, 'a', encoding='utf-8') as source:
            source.write('\n' + line + '\n')
    run = subprocess.run([sys.executable, os.path.join(copy, 'scripts', 'includes.py')],
                         capture_output=True, text=True)
    offences = [l for l in run.stdout.splitlines() if not l.endswith(' offences')]
    wanted = [expected] if expected else []
    if offences != wanted or run.returncode != (1 if expected else 0):
        print('planted %r in %s: exit %d, offences %r, wanted %r'
              % (line, planted_in, run.returncode, offences, wanted))
        return False
    return True


def main():
    failures = 0
    for planted_in, line, expected in CASES:
        with tempfile.TemporaryDirectory() as copy:
            for top in ('src', 'tools', 'scripts'):
                shutil.copytree(os.path.join(SOURCE, top), os.path.join(copy, top))
            failures += not check(copy, planted_in, line, expected)
    print('%d cases, %d failed' % (len(CASES), failures))
    return 1 if failures else 0


if __name__ == '__main__':
    sys.exit(main())
