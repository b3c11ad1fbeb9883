#!/usr/bin/python3
"""Fixtures and expected results for the save-file sort (SortAos).

The expected files come from a plain stable sort written independently of the
C++ code:
  - the block from the start offset on is cut into pieces the way a line
    reader with a 160-byte buffer cuts it (at most 159 characters, ending after
    a line feed when there is one);
  - pieces shorter than 3 characters are dropped; pieces starting with
    'm', 'G', 'Y', '=' or a blank are header lines; other pieces with at least
    17 characters are pass lines, shorter ones are dropped;
  - key = month letter (A..K for JAN..NOV, M for DEC, X otherwise) + the first
    16 bytes; Python's sort is stable;
  - output = bytes before the block + header lines + pass lines with an empty
    line before the 1st, 6th, 11th ...; with at most one pass line the file
    stays as it is.

Run from the repository root:
    /usr/bin/python3 tests/tools/sortaos_oracle.py
It writes tests/data/sortaos/<case>.in, <case>.start (decimal offset) and
<case>.out. The generator is seeded, so the files are reproducible.
"""
import os
import random

OUT = os.path.join(os.path.dirname(__file__), "..", "data", "sortaos")
MONTHS = ["JAN", "FEB", "MAR", "APR", "MAY", "JUN",
          "JUL", "AUG", "SEP", "OCT", "NOV", "DEC"]
LETTERS = "ABCDEFGHIJKM"


def pieces(block):
    out, pos = [], 0
    while pos < len(block):
        chunk = block[pos:pos + 159]
        nl = chunk.find(b"\n")
        if nl >= 0:
            chunk = chunk[:nl + 1]
        out.append(chunk)
        pos += len(chunk)
    return out


def key(line):
    head = line[:3]
    letter = b"X"
    for m, name in enumerate(MONTHS):
        if head == name.encode():
            letter = LETTERS[m].encode()
            break
    return letter + line[:16].ljust(16, b"\0")


def oracle(data, start):
    prefix, block = data[:start], data[start:]
    headers, passes = [], []
    for p in pieces(block):
        if len(p) < 3:
            continue
        if p[:1] in (b"m", b"G", b"Y", b"=", b" "):
            headers.append(p)
        elif len(p) >= 17:
            passes.append(p)
    if len(passes) <= 1:
        return data
    passes.sort(key=key)
    body = []
    for i, p in enumerate(passes):
        if i % 5 == 0:
            body.append(b"\n")
        body.append(p)
    return prefix + b"".join(headers) + b"".join(body)


def aos(rng, month=None, day=None):
    m = month if month is not None else rng.randrange(12)
    d = day if day is not None else rng.randint(1, 28)
    h, mi, s = rng.randrange(24), rng.randrange(60), rng.randrange(60)
    az, el = rng.randrange(360), rng.randrange(90)
    return "%s %2i  %2i:%02i:%02i (%3.0f,%3.0f)" % (MONTHS[m], d, h, mi, s, az, el)


def tonly(rng):
    return "  %2i:%02i:%02i (%3.0f,%3.0f)" % (rng.randrange(24), rng.randrange(60),
                                             rng.randrange(60), rng.randrange(360),
                                             rng.randrange(90))


def header(event=False):
    s = ("Geographic Location: Munich\n"
         " Lat.: 48.15   Long.: 11.58   Height: 520 \n\n"
         " min.Sat.Elev.: 10   max.Sun Elev.: -6   visible passes only\n"
         " Year: 2009  +++ Timezone: 1 +++ \n" + "=" * 71)
    if event:
        s += "\n    Event Time (Azim.,Elev.)\n"
    else:
        s += "\n  Start (Azim.,Elev.)    Maximum (Azim.,MaxElev.)     End (Azim.,Elev.)\n"
    return s


def allsat_block(rng, counts):
    s = header()
    for i, n in enumerate(counts):
        name = ("SAT-%03d" % i).ljust(20)
        for k in range(n):
            line = aos(rng) + tonly(rng) + tonly(rng) + "   " + name
            s += ("\n" if k == 0 else "") + line + "\n"
    return s


def write_case(name, data, start=0):
    os.makedirs(OUT, exist_ok=True)
    with open(os.path.join(OUT, name + ".in"), "wb") as f:
        f.write(data)
    with open(os.path.join(OUT, name + ".start"), "w") as f:
        f.write("%d\n" % start)
    with open(os.path.join(OUT, name + ".out"), "wb") as f:
        f.write(oracle(data, start))


def main():
    rng = random.Random(20090615)

    # A realistic list over the year end, equal keys, lines without a month word.
    s = header()
    s += "\n" + "DEC 31  23:58:10 (200, 10)  23:59:30 (150, 45)  00:01:02 ( 90, 10)   ISS (ZARYA)         \n"
    s += "JAN  1  00:10:00 ( 10, 12)  00:11:00 ( 40, 30)  00:12:00 ( 80, 12)   ISS (ZARYA)         \n"
    s += "\n" + "JAN  1  00:10:00 (300, 11)  00:11:40 (320, 20)  00:13:00 (340, 11)   HST                 \n"
    s += "DEC 31  22:00:00 (100, 11)  22:01:40 (120, 20)  22:03:00 (140, 11)   HST                 \n"
    s += "\n" + "Zarya passes are listed separately    (%d%s%n)\n"
    s += "ISS line without a month word, long enough\n"
    s += "JAN  1  00:10:00 ( 20, 12)  00:11:00 ( 50, 33)  00:12:00 ( 70, 12)   LACROSSE 5          \n"
    s += "abc\n" + "x\n" + "\n" + "short pass line\n"
    write_case("yearend", s.encode())

    # Seven pass lines: headers, blank, five lines, blank, two lines.
    write_case("seven", allsat_block(rng, [3, 0, 2, 2]).encode())

    # One pass line: the file stays as it is.
    write_case("single", allsat_block(rng, [0, 1, 0]).encode())

    # Earlier blocks (a pass list, pass details with month-led lines, a track)
    # stay untouched; only the block from the offset on is sorted.
    early = ("\n Pass list ISS (ZARYA)\n"
             ".JUN 15  21:04:11 (230, 10)  21:07:30 (150, 61)  21:10:48 ( 68, 10)\n"
             ".JUN 16  21:50:02 (260, 10)  21:52:30 (210, 22)  21:55:00 (160, 10)\n\n"
             "JUN 15  21:07:30  Az: 150.0  El: 61.0  RA: 12.3456  Dec: 23.4500\n"
             "JUN 15  21:04:11  Az: 230.0  El: 10.0  RA: 10.1111  Dec: -3.2000\n"
             "x\n"
             "Track  48.100  11.500\n")
    blk = allsat_block(rng, [rng.randint(0, 4) for _ in range(12)])
    write_case("earlier", (early + blk).encode(), len(early.encode()))

    # Long lines (split at 159 characters), pieces of exactly 159/160 bytes,
    # header-led and short pieces, bytes above 0x7f, '%' and no final line feed.
    parts = [header()]
    for i in range(60):
        r = rng.random()
        if r < 0.45:
            line = aos(rng) + tonly(rng) + tonly(rng) + "   " + ("LONG-%02d" % i).ljust(20)
        elif r < 0.55:
            line = aos(rng) + "-" * rng.choice([133, 134, 135, 150, 200, 318, 400]) + "end"
        elif r < 0.62:
            line = rng.choice(["m", "G", "Y", "=", " "]) + "header piece %d" % i
        elif r < 0.70:
            line = "".join(rng.choice("abc%XYZ") for _ in range(rng.randint(0, 20)))
        elif r < 0.78:
            line = rng.choice(["ISS", "Zarya", "zzz", "\xe9t\xe9"]) + " %d " % i + "." * 20
        elif r < 0.86:
            line = MONTHS[rng.randrange(12)] + " 1  00:00:00" + "=" * rng.randint(0, 200)
        else:
            line = ""
        parts.append(line + "\n")
    # Lines of 158, 159 and 160 characters before their line feed.
    for n in (129, 130, 131):
        parts.append(aos(rng) + "-" * n + "end\n")
    parts.append("OCT 10  10:10:10 (  1,  1) no line feed at the end")
    write_case("long", "".join(parts).encode("latin-1"))


if __name__ == "__main__":
    main()
