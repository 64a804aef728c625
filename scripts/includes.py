#!/usr/bin/env python3
"""Checks the include graph of src/ and tools/: no circles among units (a
header and its source count as one unit) and folders in layers; and that
only the engine units tell a book file from a server book.
Prints each offence; exit status 1 when there is one."""
import os
import re
import sys

ROOT = os.path.dirname(os.path.dirname(os.path.abspath(__file__)))
# What each folder may include besides itself; a folder not named here is
# an offence until it is given its place.
# Each folder is one library (its own CMakeLists.txt), so this is also the
# link order: common needs Qt Core alone, widgets hold what needs Qt Widgets.
ALLOWED = {
    'common': set(),
    'widgets': {'common'},
    'data': {'common'},
    'bookcare': {'common', 'data'},
    'search': {'common', 'widgets', 'data'},
    'maintenance': {'common', 'widgets', 'data'},
    'browser': {'common', 'widgets', 'data', 'search', 'maintenance'},
    'app': {'common', 'widgets', 'data', 'browser', 'search', 'maintenance'},
    'tools': {'common', 'data', 'bookcare'},
}
# The reader's folders: the making and mending of books stays out of it.
READER = {'common', 'widgets', 'data', 'search', 'maintenance', 'browser', 'app'}
assert not any('bookcare' in ALLOWED[name] for name in READER)
# Telling the engines apart: the engine units alone do it (Engines chooses).
ENGINE_TEST = re.compile(r'dbmsType\(|driverName\(|isServerConfigPath\(|isServerAddress\(')
ENGINE_UNITS = {'src/data/Engines', 'src/data/FileEngine', 'src/data/ServerEngine', 'src/data/ServerConfig'}
INCLUDE = re.compile(r'^\s*#\s*include\s+"([^"]+)"', re.M)


ENGINE_OFFENCES = []


def units():
    graph = {}
    for top in ('src', 'tools'):
        for folder, _, files in os.walk(os.path.join(ROOT, top)):
            for name in files:
                if not name.endswith(('.h', '.cpp')):
                    continue
                path = os.path.relpath(os.path.join(folder, name), ROOT)
                unit = os.path.splitext(path)[0]
                with open(os.path.join(ROOT, path), encoding='utf-8') as source:
                    text = source.read()
                    if unit not in ENGINE_UNITS and ENGINE_TEST.search(text):
                        ENGINE_OFFENCES.append('engine test outside the engines: ' + path)
                    for target in INCLUDE.findall(text):
                        resolved = target if top == 'tools' and '/' not in target else target
                        candidates = ['src/' + target, 'tools/' + target, os.path.join(os.path.dirname(path), target)]
                        found = next((c for c in candidates if os.path.exists(os.path.join(ROOT, c))), None)
                        if found:
                            other = os.path.splitext(os.path.normpath(found))[0]
                            if other != unit:
                                graph.setdefault(unit, set()).add(other)
                graph.setdefault(unit, set())
    return graph


def folder(unit):
    parts = unit.split('/')
    return parts[1] if parts[0] == 'src' else 'tools'


def circles(graph):
    """Strongly connected components of more than one unit (Tarjan)."""
    index, low, stack, on_stack, found = {}, {}, [], set(), []
    counter = [0]

    def visit(v):
        index[v] = low[v] = counter[0]
        counter[0] += 1
        stack.append(v)
        on_stack.add(v)
        for w in graph.get(v, ()):
            if w not in index:
                visit(w)
                low[v] = min(low[v], low[w])
            elif w in on_stack:
                low[v] = min(low[v], index[w])
        if low[v] == index[v]:
            component = []
            while True:
                w = stack.pop()
                on_stack.discard(w)
                component.append(w)
                if w == v:
                    break
            if len(component) > 1:
                found.append(sorted(component))

    sys.setrecursionlimit(10000)
    for v in sorted(graph):
        if v not in index:
            visit(v)
    return found


def main():
    graph = units()
    offences = list(ENGINE_OFFENCES)
    for component in circles(graph):
        offences.append('circle: ' + ' <-> '.join(component))
    for name in sorted({folder(unit) for unit in graph} - set(ALLOWED)):
        offences.append('folder without a layer: ' + name)
    for unit, targets in sorted(graph.items()):
        for target in sorted(targets):
            mine, theirs = folder(unit), folder(target)
            if mine != theirs and theirs not in ALLOWED.get(mine, set()):
                offences.append('layer: %s includes %s' % (unit, target))
    for offence in offences:
        print(offence)
    print('%d units, %d offences' % (len(graph), len(offences)))
    return 1 if offences else 0


if __name__ == '__main__':
    sys.exit(main())
