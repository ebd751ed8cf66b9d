#!/usr/bin/env python3
"""Checks the GraphML brenlo writes with other tools: the GraphML schema (xmllint) and networkx.

Usage: GraphMLInterop.py BRENLO XSD WORKDIR
Exits 77 (skipped) when xmllint or networkx is missing.
"""
import os
import shutil
import subprocess
import sys

HEAD = ("MIME-Version: 1.0\r\nContent-Type: multipart/mixed; boundary=****QORDeLiMiTER****\r\n\r\n"
        "--****QORDeLiMiTER****\r\nContent-Type: application/x-CMap; version=0.1\r\n\r\n")
TAIL = ";\r\n\r\n--****QORDeLiMiTER****--\r\n"

# name: (component lines, nodes and edges networkx should read)
MAPS = {
    # The example of the map file chapter: a context holding two nodes, and a maplet joining them.
    "example": ([
        '5,"ContextBox",1,"frame",10 10 210 160,"Topic",ffffff,0,,,0,0',
        '1,"Node",2,"default",30 40 60 60,"idea",ffffff,0,,,0,0',
        '1,"Node",3,"Ellipse-Red",120 40 150 60,"",ff,0,,,0,0',
        '2,"SMaplet",4,"default",90 50 90 50,2,(2,0),(3,0),,,,,3',
    ], 3, 1),
    # A context, a three-legged maplet with a floating leg (a node and two leg edges), arcs
    # with and without arrowheads in one directed graph, and a label with markup in it.
    "context-and-maplets": ([
        '5,"ContextBox",1,"frame",0 0 300 200,"Kitchen & <co>",ffffff,0,,,0,0',
        '1,"Node",2,"Rectangle",20 40 100 70,"stove",ffffff,0,,,0,0',
        '1,"Node",3,"Rectangle",180 40 260 70,"kettle",ffffff,0,,,0,0',
        '1,"Node",4,"Ellipse-Red",400 40 480 70,"tea",ff,0,,,0,0',
        '2,"SMaplet",5,"BTWN",140 120 140 120,3,(2,0),(3,0),(0),"BTWN",ffffff,0,0,2',
        '2,"SMaplet",6,"Directed",330 55 330 55,2,(3,0),(4,0),,,,,3',
        '2,"SMaplet",7,"Undirected",250 100 250 100,2,(2,0),(4,0),,,,,3',
    ], 5, 4),
}


def main():
    if len(sys.argv) != 4:
        sys.exit(__doc__)
    brenlo, xsd, work = sys.argv[1:]
    if not shutil.which("xmllint"):
        print("skipped: xmllint is not installed (Debian package libxml2-utils)")
        return 77
    try:
        import networkx as nx
    except ImportError:
        print("skipped: networkx is not installed (Debian package python3-networkx)")
        return 77
    os.makedirs(work, exist_ok=True)
    env = dict(os.environ, BRENLO_LOG=os.environ.get("BRENLO_LOG", os.path.join(work, "brenlo.log")))
    failed = []
    for name, (lines, nodes, edges) in MAPS.items():
        cm, graphml = os.path.join(work, name + ".CM"), os.path.join(work, name + ".graphml")
        with open(cm, "w", newline="") as out:
            out.write(HEAD + "9\r\n;\r\n" + "".join(line + "\r\n" for line in lines) + TAIL)
        subprocess.run([brenlo, "--export", graphml, cm], check=True, env=env)
        valid = subprocess.run(["xmllint", "--noout", "--schema", xsd, graphml], capture_output=True, text=True)
        if valid.returncode != 0:
            failed.append("%s does not validate: %s" % (name, valid.stderr.strip()))
        g = nx.read_graphml(graphml)
        if (g.number_of_nodes(), g.number_of_edges()) != (nodes, edges):
            failed.append("%s: networkx reads %d nodes and %d edges, not %d and %d"
                          % (name, g.number_of_nodes(), g.number_of_edges(), nodes, edges))
    for f in failed:
        print(f)
    return 1 if failed else 0


if __name__ == "__main__":
    sys.exit(main())
