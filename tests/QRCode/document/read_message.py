"""Reads a vCard or an iCalendar event with standard parsers and prints its
fields as JSON, so the tests can compare them with what went in.

    read_message.py vcard FILE | vevent FILE
"""
import json
import sys


def vcard(text):
    import vobject
    card = vobject.readOne(text)
    c = card.contents
    n = card.n.value
    out = {
        "n": [n.family, n.given, n.additional, n.prefix, n.suffix],
        "fn": card.fn.value,
        "adr": [[a.params.get("TYPE", [""])[0], a.value.box, a.value.extended, a.value.street, a.value.city,
                 a.value.region, a.value.code, a.value.country] for a in c.get("adr", [])],
        "org": [o.value for o in c.get("org", [])],
        "title": [t.value for t in c.get("title", [])],
        "email": [e.value for e in c.get("email", [])],
        "tel": [t.value for t in c.get("tel", [])],
        "url": [u.value for u in c.get("url", [])],
        "note": [x.value for x in c.get("note", [])],
    }
    return out


def vevent(text):
    import icalendar
    event = icalendar.Event.from_ical(text)
    return {
        "summary": str(event["SUMMARY"]),
        "location": str(event["LOCATION"]),
        "start": event.decoded("DTSTART").isoformat(),
        "end": event.decoded("DTEND").isoformat(),
    }


if __name__ == "__main__":
    mode, path = sys.argv[1], sys.argv[2]
    with open(path, encoding="utf-8", newline="") as f:
        text = f.read()
    print(json.dumps({"vcard": vcard, "vevent": vevent}[mode](text)))
