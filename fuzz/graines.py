#!/usr/bin/env python3
"""Writes starting inputs for the fuzz targets into build-fuzz/corpus/<format>
(the Paradox ones come from graines-paradox, written with pxlib).
Each input starts with two bytes: where the table ends and its memo file begins."""
import io, os, struct, sys, zipfile, datetime

racine = sys.argv[1] if len(sys.argv) > 1 else "build-fuzz/corpus"
fixtures = os.path.join(os.path.dirname(__file__), "..", "..", "shared", "fixtures")

def ecrire(fmt, nom, table, memo=b""):
    os.makedirs(os.path.join(racine, fmt), exist_ok=True)
    with open(os.path.join(racine, fmt, nom), "wb") as f:
        f.write(struct.pack(">H", len(table)) + table + memo)

def dbf(version, champs, lignes):
    taille = 1 + sum(c[2] for c in champs)
    entete = 32 + 32 * len(champs) + 1
    d = datetime.date(2024, 5, 6)
    h = struct.pack("<BBBBIHH20x", version, d.year - 1900, d.month, d.day, len(lignes), entete, taille)
    h = h[:29] + b"\x03" + h[30:]
    for nom, type_, longueur, dec in champs:
        h += nom.encode().ljust(11, b"\0") + type_.encode() + b"\0" * 4 + bytes([longueur, dec]) + b"\0" * 14
    h += b"\r"
    for l in lignes:
        h += b" " + b"".join(v.ljust(c[2])[:c[2]] for v, c in zip(l, champs))
    return h + b"\x1a"

champs = [("NOM", "C", 12, 0), ("AGE", "N", 4, 0), ("NE", "D", 8, 0), ("OK", "L", 1, 0), ("NOTE", "M", 10, 0)]
lignes = [[b"Dupont \xe9", b"  42", b"19800101", b"T", b"         1"],
          [b"Martin", b"   7", b"20011231", b"F", b"          "]]
memo = b"\x02" + b"\0" * 511 + b"une note\x1a\x1a" + b"\0" * 502
ecrire("dbase", "dbase3", dbf(0x83, champs, lignes), memo)
ecrire("dbase", "sans-memo", dbf(0x03, champs[:4], [l[:4] for l in lignes]))

for nom in ("DateTestDatabase.mdb", "ASampleDatabase.accdb"):
    p = os.path.join(fixtures, "access", nom)
    if os.path.exists(p):
        data = open(p, "rb").read()
        os.makedirs(os.path.join(racine, "access"), exist_ok=True)
        open(os.path.join(racine, "access", nom), "wb").write(b"\0\0" + data)

# A real .xls workbook (tests/platform/data/fixtures/make_xls.py writes it).
p = os.path.join(os.path.dirname(__file__), "..", "tests", "platform", "data", "fixtures", "clients.xls")
if os.path.exists(p):
    os.makedirs(os.path.join(racine, "xls"), exist_ok=True)
    open(os.path.join(racine, "xls", "clients.xls"), "wb").write(b"\0\0" + open(p, "rb").read())

b = io.BytesIO()
with zipfile.ZipFile(b, "w") as z:
    z.writestr("[Content_Types].xml", '<?xml version="1.0"?><Types xmlns="http://schemas.openxmlformats.org/package/2006/content-types"/>')
    z.writestr("_rels/.rels", '<?xml version="1.0"?><Relationships xmlns="http://schemas.openxmlformats.org/package/2006/relationships"><Relationship Id="rId1" Type="http://schemas.openxmlformats.org/officeDocument/2006/relationships/officeDocument" Target="xl/workbook.xml"/></Relationships>')
    z.writestr("xl/workbook.xml", '<?xml version="1.0"?><workbook xmlns="http://schemas.openxmlformats.org/spreadsheetml/2006/main" xmlns:r="http://schemas.openxmlformats.org/officeDocument/2006/relationships"><sheets><sheet name="Feuil1" sheetId="1" r:id="rId1"/></sheets></workbook>')
    z.writestr("xl/_rels/workbook.xml.rels", '<?xml version="1.0"?><Relationships xmlns="http://schemas.openxmlformats.org/package/2006/relationships"><Relationship Id="rId1" Type="http://schemas.openxmlformats.org/officeDocument/2006/relationships/worksheet" Target="worksheets/sheet1.xml"/><Relationship Id="rId2" Type="http://schemas.openxmlformats.org/officeDocument/2006/relationships/sharedStrings" Target="sharedStrings.xml"/></Relationships>')
    z.writestr("xl/sharedStrings.xml", '<?xml version="1.0"?><sst xmlns="http://schemas.openxmlformats.org/spreadsheetml/2006/main"><si><t>Nom</t></si><si><r><t>Du</t></r><r><t>pont</t></r></si></sst>')
    z.writestr("xl/worksheets/sheet1.xml", '<?xml version="1.0"?><worksheet xmlns="http://schemas.openxmlformats.org/spreadsheetml/2006/main"><sheetData><row r="1"><c r="A1" t="s"><v>0</v></c><c r="B1" t="inlineStr"><is><t>Date</t></is></c></row><row r="2"><c r="A2" t="s"><v>1</v></c><c r="B2"><v>60</v></c><c r="C2" t="b"><v>1</v></c></row></sheetData></worksheet>')
os.makedirs(os.path.join(racine, "xlsx"), exist_ok=True)
open(os.path.join(racine, "xlsx", "classeur"), "wb").write(b"\0\0" + b.getvalue())
