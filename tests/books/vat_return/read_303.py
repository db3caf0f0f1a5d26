#!/usr/bin/env python3
"""Reads model 303 import files by the field lengths of the agency's design
DR303e26v101, independently of the program's own table, and prints what
they hold: for each file a line "file NAME", then "KEY<TAB>VALUE" for every
field that is not fixed text or reserved space (numbers as integers, "N"
meaning minus; texts without their padding, as UTF-8). Checks on the way that
the file is one line of ISO-8859-1 without line ends, that every fixed text
is where the design puts it, that reserved space is blank, and that the
pieces add up; exits 1 with the reason otherwise.

    read_303.py FILE...
"""
import os
import sys


def rows(*boxes):
    """Rows of base (17), rate (5) and quota (17)."""
    out = []
    for base, rate, quota in boxes:
        out += [(17, base), (5, rate), (17, quota)]
    return out


def boxes(length, names):
    return [(length, n) for n in names.split()]


# (length, key): key "=TEXT" is fixed text, "" reserved space.
ENVELOPE = [(2, "=<T"), (3, "=303"), (1, "=0"), (4, "year"), (2, "period"), (5, "=0000>"), (5, "=<AUX>"),
            (70, ""), (4, "version"), (4, ""), (9, "developer"), (213, ""), (6, "=</AUX>")]
PAGE1 = ([(2, "=<T"), (3, "=303"), (5, "=01000"), (1, "=>"), (1, "complementary"), (1, "type"), (9, "nif"),
          (80, "name"), (4, "year"), (2, "period")]
         + boxes(1, "foral redeme simplified joint cash cash_recipient prorrata revocation insolvency")
         + [(8, "insolvency_date"), (1, "insolvency_kind")]
         + boxes(1, "sii exempt_390 volume_mark fuel")
         + rows(("150", "151", "152"), ("165", "166", "167"), ("01", "02", "03"), ("153", "154", "155"),
                ("04", "05", "06"), ("07", "08", "09"))
         + boxes(17, "10 11 12 13 14 15")
         + rows(("156", "157", "158"), ("168", "169", "170"), ("16", "17", "18"), ("19", "20", "21"),
                ("22", "23", "24"))
         + boxes(17, "25 26 27 28 29 30 31 32 33 34 35 36 37 38 39 40 41 42 43 44 45 46")
         + [(521, ""), (13, ""), (12, "=</T30301000>")])
PAGE3 = ([(2, "=<T"), (3, "=303"), (5, "=03000"), (1, "=>")]
         + boxes(17, "59 60 120 122 123 124 62 63 74 75 76 64") + [(5, "65")]
         + boxes(17, "66 77 110 78 87 68 108 69 70 109 112 71")
         + [(1, "without_activity"), (1, "rectifying"), (13, "earlier_receipt"), (1, "cancel_debit"), (17, "111"),
            (1, "reason_rectification"), (1, "reason_discrepancy"), (546, ""), (12, "=</T30303000>")])
PAGE4 = ([(2, "=<T"), (3, "=303"), (5, "=04000"), (1, "=>"), (1, "complementary")]
         + [f for i in range(1, 7) for f in ((3, "activity%d" % i), (4, "epigraph%d" % i))]
         + [(1, "mark_347")] + boxes(5, "89 90 91 92 107")
         + boxes(17, "80 81 93 94 83 84 125 126 127 128 86 95 96 97 98 79 99 88")
         + [(600, ""), (12, "=</T30304000>")])
DID = [(2, "=<T"), (3, "=303"), (5, "=DID00"), (1, "=>"), (11, "bic"), (34, "iban"), (70, "bank"),
       (35, "bank_address"), (30, "bank_town"), (2, "bank_country"), (1, "sepa"), (617, ""),
       (12, "=</T303DID00>")]
TOTALS = {"envelope": 328, "page 1": 1581, "page 3": 1017, "page 4": 998, "page DID": 823}


def fail(name, why):
    sys.stderr.write("%s: %s\n" % (name, why))
    sys.exit(1)


def cut(name, data, at, piece, fields, out):
    total = sum(length for length, _ in fields)
    if total != TOTALS[piece]:
        fail(name, "%s adds up to %d, not %d" % (piece, total, TOTALS[piece]))
    for length, key in fields:
        text = data[at:at + length]
        if len(text) != length:
            fail(name, "%s ends early at %d" % (piece, at))
        if key.startswith("="):
            if text != key[1:]:
                fail(name, "%s at %d: %r instead of %r" % (piece, at + 1, text, key[1:]))
        elif key == "":
            if text.strip(" "):
                fail(name, "%s at %d: reserved space holds %r" % (piece, at + 1, text))
        elif key[0].isdigit() or key in ("year", "foral", "redeme", "simplified", "joint", "cash", "cash_recipient",
                                         "prorrata", "revocation", "insolvency", "sii", "exempt_390",
                                         "volume_mark", "fuel", "sepa"):
            sign = -1 if text.startswith("N") else 1
            digits = text[1:] if sign < 0 else text
            if not digits.isdigit():
                fail(name, "%s at %d (%s): %r is not a number" % (piece, at + 1, key, text))
            value = str(sign * int(digits))
            if out.get(key, value) != value:
                fail(name, "%s: %s is %s here and %s before" % (piece, key, value, out[key]))
            out[key] = value
        else:
            value = text.rstrip(" ")
            if out.get(key, value) != value:
                fail(name, "%s: %s is %r here and %r before" % (piece, key, value, out[key]))
            out[key] = value
        at += length
    return at


def read(path):
    name = os.path.basename(path)
    raw = open(path, "rb").read()
    if b"\r" in raw or b"\n" in raw:
        fail(name, "line ends in the file")
    data = raw.decode("iso-8859-1")
    out = {}
    at = cut(name, data, 0, "envelope", ENVELOPE, out)
    at = cut(name, data, at, "page 1", PAGE1, out)
    at = cut(name, data, at, "page 3", PAGE3, out)
    if data.startswith("<T30304000>", at):
        at = cut(name, data, at, "page 4", PAGE4, out)
    at = cut(name, data, at, "page DID", DID, out)
    closing = "</T3030%s%s0000>" % (out["year"].zfill(4), out["period"])
    if data[at:] != closing:
        fail(name, "ends with %r instead of %r" % (data[at:], closing))
    print("file\t" + name)
    for key, value in out.items():
        print("%s\t%s" % (key, value))


for p in sys.argv[1:]:
    read(p)
