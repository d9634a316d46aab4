#!/usr/bin/env python3
"""Builds the golden object files of the persistence tests byte by byte from
the file layout (not with the library's writer). Run once from this folder;
the outputs are kept in the repository.

Content of model.txt / model.bin (plain files, level 0, version 104,
application 7, mode 2):
  object Model "m1"
    I "ints"  1..31          (64-bit writer)
    R "reals" 1.5 N/A -0.25
    B "flags" T F T
    C "code"  abc
    S "names" "alpha" "be ta"
    U "u" 7                  (64-bit writer)
    L "l" 9                  (64-bit writer)
    object Part "p1"
      I (numeric name 5, index 2) -3
old38.bin: a version 38 binary file (32-bit record numbers, tag N):
  object Model "m1" with N "v" 5 -6.
header<count>.bin / header<count>.txt: plain files whose headers hold fewer
numbers than today's, as earlier writers wrote them (binary counts 7, 9, 10,
11 and 12 in 32-bit numbers, 14 in 64-bit numbers; text counts 6, 8, 9, 10,
11 and 13). Each holds object Model "m1" with I "v" 5 -6 and R "r" 1.5; the
record numbers are 32-bit where the header's version is below 39 (a header
too short to hold the version gives version 0). headers.txt lists the header
fields a reader must find in each.
"""
import struct

FORMAT = b"QUELM object file format"
# maxI32 maxS maxB maxR maxC maxU32 app version level maxL32 maxI64 maxU64 maxL64 mode
FIELDS = [1, 2, 3, 3, 3, 1, 7, 104, 0, 1, 31, 1, 1, 2]

def text_file():
    head = FORMAT + b"".join(b" %10d" % n for n in [14] + FIELDS) + b"\r\n"
    ints = list(range(1, 32))
    lines = [
        b'OBJECT "Model","m1",0,0,0',
        b'  I,"ints", 0, 0, 31,' + b"".join(b" %d" % v for v in ints[:30]),
        b"      " + b" 31",
        b'  R,"reals", 0, 0, 3, 1.5 N/A -0.25',
        b'  B,"flags", 0, 0, 3, TFT',
        b'  C,"code", 0, 0, 3, abc',
        b'  S,"names", 0, 0, 2,',
        b'      "alpha"',
        b'      "be ta"',
        b'  U,"u", 0, 0, 1, 7',
        b'  L,"l", 0, 0, 1, 9',
        b'  OBJECT "Part","p1",0,0,0',
        b'    I,"", 5, 2, 1, -3',
        b'  END "Part","p1",0,0,0',
        b'END "Model","m1",0,0,0',
    ]
    return head + b"".join(l + b"\r\n" for l in lines)

def q(n):
    return struct.pack("<q", n)

def binary_file():
    head = struct.pack("<i", 15) + q(0x49967572) + b"".join(q(n) for n in FIELDS)
    undefined = struct.pack("<Q", 0x0010000000000000)
    body = b"O" + q(2) + q(5) + q(0) + b"m1" + b"Model"
    body += b"I" + q(4) + q(31) + q(0) + b"ints" + b"".join(q(v) for v in range(1, 32))
    body += b"R" + q(5) + q(3) + q(0) + b"reals" + struct.pack("<d", 1.5) + undefined + struct.pack("<d", -0.25)
    body += b"B" + q(5) + q(3) + q(0) + b"flags" + b"\x01\x00\x01"
    body += b"C" + q(4) + q(3) + q(0) + b"code" + b"abc"
    body += b"S" + q(5) + q(2) + q(0) + b"names" + q(5) + q(5) + b"alpha" + b"be ta"
    body += b"U" + q(1) + q(1) + q(0) + b"u" + q(7)
    body += b"L" + q(1) + q(1) + q(0) + b"l" + q(9)
    body += b"O" + q(2) + q(4) + q(0) + b"p1" + b"Part"
    body += b"I" + q(-5) + q(1) + q(2) + q(-3)
    body += b"E" + b"E"
    return head + body

def old_binary_file():
    fields = [2, 1, 1, 1, 1, 1, 0, 38, 0, 1, 1, 1, 1, 0]
    head = struct.pack("<i", 15) + q(0x49967572) + b"".join(q(n) for n in fields)
    i = lambda n: struct.pack("<i", n)
    body = b"O" + i(2) + i(5) + i(0) + b"m1" + b"Model"
    body += b"N" + i(1) + i(2) + i(0) + b"v" + i(5) + i(-6)
    body += b"E"
    return head + body

# Distinct numbers for the fourteen fields, so that a field read into the
# wrong place shows: maxI32 maxS maxB maxR maxC maxU32 app version level
# maxL32 maxI64 maxU64 maxL64 mode. Level 0 keeps every file plain.
OLD_FIELDS = [11, 12, 13, 14, 15, 16, 7, None, 0, 17, 18, 19, 20, 2]

def old_fields(count, version):
    fields = list(OLD_FIELDS)
    fields[7] = version
    return fields[:count]

def header_binary(count, version):
    numbers = [0x49967572] + old_fields(count - 1, version)
    pack = (lambda n: struct.pack("<i", n)) if count < 14 else q
    return struct.pack("<i", count) + b"".join(pack(n) for n in numbers)

def header_text(count, version):
    return FORMAT + b"".join(b" %10d" % n for n in [count] + old_fields(count, version)) + b"\r\n"

def header_records_binary(version):
    wide = version >= 39
    num = q if wide else (lambda n: struct.pack("<i", n))
    body = b"O" + num(2) + num(5) + num(0) + b"m1" + b"Model"
    body += (b"I" if wide else b"N") + num(1) + num(2) + num(0) + b"v" + num(5) + num(-6)
    body += b"R" + num(1) + num(1) + num(0) + b"r" + struct.pack("<d", 1.5)
    return body + b"E"

def header_records_text():
    lines = [b'OBJECT "Model","m1",0,0,0', b'  I,"v", 0, 0, 2, 5 -6', b'  R,"r", 0, 0, 1, 1.5',
             b'END "Model","m1",0,0,0']
    return b"".join(l + b"\r\n" for l in lines)

# The version each file states (0: its header is too short to hold one).
BINARY_HEADERS = {7: 0, 9: 38, 10: 38, 11: 39, 12: 104, 14: 104}
TEXT_HEADERS = {6: 0, 8: 38, 9: 38, 10: 39, 11: 104, 13: 104}

def expected_line(name, form, count, version):
    # The fields after the count: the magic takes one place in binary headers.
    n = count - 1 if form == "binary" else count
    fields = old_fields(n, version) + [0] * (14 - n)
    return "%s %s %s" % (name, form, " ".join(str(v) for v in fields))

files = [("model.txt", text_file()), ("model.bin", binary_file()), ("old38.bin", old_binary_file())]
expected = ["# file form maxI32 maxS maxB maxR maxC maxU32 app version level maxL32 maxI64 maxU64 maxL64 mode"]
for count, version in BINARY_HEADERS.items():
    name = "header%02d.bin" % count
    files.append((name, header_binary(count, version) + header_records_binary(version)))
    expected.append(expected_line(name, "binary", count, version))
for count, version in TEXT_HEADERS.items():
    name = "header%02d.txt" % count
    files.append((name, header_text(count, version) + header_records_text()))
    expected.append(expected_line(name, "text", count, version))
files.append(("headers.txt", ("\n".join(expected) + "\n").encode()))

for name, data in files:
    with open(name, "wb") as f:
        f.write(data)
