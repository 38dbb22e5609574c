#!/usr/bin/env python3
"""Renders every document of the given folders to a PDF through qrtool, at
the tool's own page size, and has qpdf check each PDF written: a strict
reader must accept all of them. A document the tool refuses (status 1, one
line) must leave no file. Usage: check_pdfs.py QRTOOL FOLDER..."""
import concurrent.futures
import os
import subprocess
import sys
import tempfile


def check(qrtool, document, scratch):
    pdf = os.path.join(scratch, os.path.basename(document) + ".pdf")
    run = subprocess.run([qrtool, "render", "--document", document, "-o", pdf], capture_output=True, text=True)
    if run.returncode != 0:
        if run.returncode == 1 and run.stderr.count("\n") == 1 and not os.path.exists(pdf):
            return None
        return "qrtool ended with status %d: %s" % (run.returncode, run.stderr.strip())
    qpdf = subprocess.run(["qpdf", "--check", pdf], capture_output=True, text=True)
    os.remove(pdf)
    if qpdf.returncode != 0:
        return "qpdf --check: " + (qpdf.stderr.strip() or qpdf.stdout.strip()).replace("\n", " | ")
    return None


def main():
    qrtool, folders = sys.argv[1], sys.argv[2:]
    documents = sorted(os.path.join(folder, name) for folder in folders for name in os.listdir(folder))
    failed = 0
    with tempfile.TemporaryDirectory() as scratch, concurrent.futures.ThreadPoolExecutor(os.cpu_count()) as pool:
        for document, problem in zip(documents, pool.map(lambda d: check(qrtool, d, scratch), documents)):
            if problem:
                failed += 1
                print("%s: %s" % (os.path.basename(document), problem))
    print("%d passed, %d failed" % (len(documents) - failed, failed))
    return 1 if failed else 0


if __name__ == "__main__":
    sys.exit(main())
