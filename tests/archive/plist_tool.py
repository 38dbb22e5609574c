#!/usr/bin/env python3
"""An independent reader and writer of binary property lists for the tests
(Python's plistlib).

    plist_tool.py dump FILE        prints the property list as tagged JSON
    plist_tool.py write NAME FILE  writes the sample property list NAME
"""
import datetime
import json
import plistlib
import struct
import sys

REFERENCE = datetime.datetime(2001, 1, 1)


def tagged(value):
    """JSON for a plist value; the kinds JSON lacks become one-key objects."""
    if isinstance(value, plistlib.UID):
        return {"UID": value.data}
    if isinstance(value, bytes):
        return {"data": value.hex()}
    if isinstance(value, datetime.datetime):
        return {"date": (value - REFERENCE).total_seconds()}
    if isinstance(value, dict):
        return {key: tagged(item) for key, item in value.items()}
    if isinstance(value, list):
        return [tagged(item) for item in value]
    return value


def keyed_archive(objects):
    return {"$archiver": "NSKeyedArchiver", "$version": 100000, "$top": {"root": plistlib.UID(1)},
            "$objects": objects}


def class_info(name):
    return {"$classname": name, "$classes": [name, "NSObject"]}


def samples():
    UID = plistlib.UID
    return {
        "kinds": {
            "bool": True, "no": False, "small": 7, "byte": 200, "short": 40000, "int": 3000000000,
            "negative": -5, "big": 2**63 + 5, "real": 0.25, "date": datetime.datetime(2020, 5, 17, 12, 0, 0),
            "data": bytes(range(20)), "ascii": "plain text that is longer than fifteen",
            "unicode": "gr\u00fc\u00dfe \u2603 \U0001F600", "empty": "",
            "array": list(range(300)), "nested": {"inner": [[], {}, [1, [2, [3]]]]},
        },
        # A swatch (the tests' archivable class) as another archiver writes it.
        "swatch": keyed_archive([
            "$null",
            {"$class": UID(2), "name": UID(3), "alpha": 0.5, "count": 3, "flag": True, "bytes": b"\x01\x02",
             "blob": UID(4), "child": UID(5)},
            class_info("Swatch"),
            "outer \u00e9",
            b"\xff\x00",
            {"$class": UID(2), "name": UID(6), "alpha": 1, "child": UID(0)},
            "inner",
        ]),
        # A colour without a named colour space, as the settings store archives it.
        "colour": keyed_archive([
            "$null",
            {"$class": UID(2), "components": b"".join(
                struct.pack(">d", c) for c in (0.25, 0.5, 0.75, 1.0))},
            class_info("NSColor"),
        ]),
        # The same colour with its own colour space's name.
        "named-colour": keyed_archive([
            "$null",
            {"$class": UID(2), "colorSpaceName": UID(3), "components": b"".join(
                struct.pack(">d", c) for c in (0.5, 1.0))},
            class_info("NSColor"),
            "kCGColorSpaceExtendedGray",
        ]),
    }


def main():
    if sys.argv[1] == "dump":
        with open(sys.argv[2], "rb") as f:
            print(json.dumps(tagged(plistlib.load(f)), sort_keys=True))
    elif sys.argv[1] == "write":
        with open(sys.argv[3], "wb") as f:
            plistlib.dump(samples()[sys.argv[2]], f, fmt=plistlib.FMT_BINARY, sort_keys=False)
    else:
        sys.exit("unknown command")


if __name__ == "__main__":
    main()
