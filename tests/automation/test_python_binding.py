"""The Python binding over liblantrel.so: members, enumerations, errors, Booleans, by-reference
arguments, shared Carter objects, texts and the shell host."""
import gc
import os
import subprocess
import sys
import unittest

import lantrel
from lantrel import (Error as LantrelError, Ref, ZrGeoPosition, zrCarter, zrGeoDatum,
                     zrGeoProjection, zrGeoUnits)


def resolved(position, datum=-1, projection=-1, units=-1):
    """Convert with every target resolved: (result, datum, projection, units)."""
    refs = Ref(datum), Ref(projection), Ref(units)
    return (position.Convert(*refs),) + tuple(r.value for r in refs)


class TypeDescription(unittest.TestCase):
    def test_enumerations_agree_with_the_library(self):
        for enumeration in (zrGeoDatum, zrGeoUnits, zrGeoProjection):
            with self.subTest(enumeration.__name__):
                self.assertEqual(lantrel.typelib_enum(enumeration.__name__),
                                 {m.name: m.value for m in enumeration})

    def test_every_interface_member_is_bound(self):
        for interface, cls in (("_ZrGeoPosition", ZrGeoPosition), ("_zrCarter", zrCarter)):
            members = lantrel.typelib_members(interface)
            self.assertEqual(len(members), {"_ZrGeoPosition": 26, "_zrCarter": 16}[interface])
            for name, kinds in members:
                with self.subTest(interface=interface, member=name):
                    attribute = getattr(cls, name)
                    writable = kinds & (lantrel_kind_let() | lantrel_kind_set())
                    if isinstance(attribute, property):
                        self.assertEqual(attribute.fset is not None, bool(writable))
                    else:
                        self.assertTrue(callable(attribute))

    def test_name_and_version(self):
        self.assertEqual(lantrel.typelib_name(), "Lantrel")
        self.assertEqual(lantrel.typelib_version(), (3, 23))


def lantrel_kind_let():
    return 2


def lantrel_kind_set():
    return 4


class Position(unittest.TestCase):
    def setUp(self):
        self.p = ZrGeoPosition()

    def tearDown(self):
        self.p.close()

    def test_defaults(self):
        p = self.p
        self.assertIs(p.Projection, zrGeoProjection.zrGeographic)
        self.assertIs(p.Datum, zrGeoDatum.zrNAD83)
        self.assertIs(p.Units, zrGeoUnits.zrDecimalDegrees)
        self.assertIs(p.WestPositive, True)
        self.assertEqual((p.x, p.y), (0.0, 0.0))
        self.assertIs(p.InBounds, False)
        self.assertEqual(p.Version, "3.23")
        self.assertEqual(p.ReleaseDate, 39013.0)
        self.assertEqual(str(p.release_date), "2006-10-23")
        self.assertIn("\r\nVersion: 3.23\r\n", p.About)

    def test_refused_lets_raise_the_library_error_and_change_nothing(self):
        cases = [
            ("Datum", 2, lantrel.E_INVALID_DATUM, "lantrel:zrGeoPosition:Datum:",
             "Invalid horizontal datum specified."),
            ("Projection", -1, lantrel.E_INVALID_PROJECTION,
             "lantrel:zrGeoPosition:Projection:", "Invalid projection specified."),
            ("Units", 6, lantrel.E_INVALID_UNITS, "lantrel:zrGeoPosition:Units:",
             "Invalid units specified."),
            # Values beyond a 32-bit Long overflow instead of wrapping round to a valid code.
            ("Projection", 2**32 + 5, lantrel.E_OVERFLOW, "lantrel", "Overflow"),
            ("Units", -2**31 - 1, lantrel.E_OVERFLOW, "lantrel", "Overflow"),
        ]
        self.p.Projection = zrGeoProjection.zrUTM16
        for member, value, number, source, description in cases:
            with self.subTest(member=member, value=value):
                before = (self.p.Projection, self.p.Datum, self.p.Units)
                with self.assertRaises(LantrelError) as caught:
                    setattr(self.p, member, value)
                e = caught.exception
                self.assertEqual((e.number, e.source, e.description),
                                 (number, source, description))
                self.assertEqual((self.p.Projection, self.p.Datum, self.p.Units), before)

    def test_lets_relabel(self):
        p = self.p
        p.Projection = zrGeoProjection.ilWestZone
        self.assertIs(p.Units, zrGeoUnits.zrUSFt)
        p.Units = zrGeoUnits.zrMeters
        p.Units = 0
        self.assertIs(p.Units, zrGeoUnits.zrUSFt)

    def test_booleans_and_the_sign_of_x(self):
        p = self.p
        p.x = -84.5
        for value, expected in ((0, False), (5, True), (False, False), (-1, True), ("", False)):
            with self.subTest(value=value):
                p.WestPositive = value
                self.assertIs(p.WestPositive, expected)
                self.assertEqual(p.x, 84.5 if expected else -84.5)

    def test_convert_writes_back_into_refs(self):
        cases = [
            # (datum, projection, units) in; refs afterwards; library error or None
            ((2, -1, -1), (2, -1, -1), lantrel.E_INVALID_DATUM),
            ((-1, -1, 9), (0, -1, 9), lantrel.E_INVALID_UNITS),
            ((-1, 16, -1), (0, 16, 0), lantrel.E_INVALID_PROJECTION),
            ((-1, zrGeoProjection.zrGeographic, zrGeoUnits.zrMiles), (0, 5, 0), None),
            ((1, zrGeoProjection.zrSingleZone, -1), (0, 0, 1), "any"),
        ]
        for given, expected, error in cases:
            with self.subTest(given=given):
                refs = [Ref(v) for v in given]
                try:
                    ZrGeoPosition().Convert(*refs)
                    self.assertIn(error, (None, "any"))
                except LantrelError as e:
                    if error != "any":
                        self.assertEqual(e.number, error)
                        self.assertEqual(e.source, "lantrel:zrGeoPosition:Convert:")
                self.assertEqual(tuple(r.value for r in refs), expected)
        # Resolved values come back as enumeration members; a request of nothing resolves
        # nothing.
        d, u = Ref(-1), Ref(zrGeoUnits.zrMeters)
        self.assertEqual(self.p.Convert(d, None, u), 0)
        self.assertIs(d.value, zrGeoDatum.zrNAD83)
        self.assertIs(u.value, zrGeoUnits.zrDecimalDegrees)
        d = Ref(-1)
        self.assertEqual(self.p.Convert(d), 0)
        self.assertEqual(d.value, -1)

    def test_convert_refused_outside_the_shift_window(self):
        self.assertEqual(self.p.Convert(), 0)
        self.assertEqual(self.p.Convert(zrGeoDatum.zrNAD27), lantrel.CONVERT_OUTSIDE_SHIFT_WINDOW)
        self.assertIs(self.p.Datum, zrGeoDatum.zrNAD83)
        self.assertEqual(resolved(self.p, zrGeoDatum.zrNAD27), (4, 1, 5, 0))

    def test_texts_that_cannot_cross_are_refused(self):
        for text in ("a\0b", "\ud800", b"\xff"):
            with self.subTest(text=text):
                with self.assertRaises(LantrelError) as caught:
                    self.p.SetPath(text)
                self.assertEqual(caught.exception.number, lantrel.E_INVALID_ARGUMENT)
        self.assertIs(self.p.SetPath(""), self.p.SetPath(b""))

    def test_index_is_optional(self):
        outcomes = []
        for index in (None, 0, Ref(0)):
            try:
                outcomes.append(self.p.CountyName(index) if index is not None
                                else self.p.CountyName())
            except LantrelError as e:
                outcomes.append((e.number, e.source, e.description))
        self.assertEqual(outcomes[0], outcomes[1])
        self.assertEqual(outcomes[0], outcomes[2])

    def test_lookups_at_a_point(self):
        p = self.p
        p.x, p.y = -84.5, 38.05
        try:
            count = p.CountyCount
        except LantrelError as e:
            self.assertEqual(e.number, lantrel.E_DATA_NOT_LOADED)
            self.skipTest("no reference data file found")
        self.assertEqual((p.StateCount, count), (1, 1))
        self.assertEqual((p.StateName(), p.StateFIPS(0), p.CountyFIPS(Ref(0))),
                         ("Kentucky", 21, 67))
        self.assertEqual((p.CountyName(), p.CountySPZone()), ("Fayette", "North"))
        self.assertEqual(p.QuadState(), "KY")
        self.assertEqual(p.CountyName(1), "")
        self.assertIn("Lexington East", [p.QuadName(i) for i in range(p.QuadCount)])

    def test_released_objects_raise_instead_of_crashing(self):
        p = ZrGeoPosition()
        p.close()
        p.close()
        with self.assertRaises(LantrelError) as caught:
            p.x
        self.assertEqual(caught.exception.number, lantrel.E_OBJECT_NOT_SET)


class Carter(unittest.TestCase):
    def test_not_creatable(self):
        with self.assertRaises(TypeError):
            zrCarter()

    def test_shared_by_reference(self):
        a, b = ZrGeoPosition(), ZrGeoPosition()
        self.assertEqual(a.Carter, a.Carter)
        self.assertNotEqual(a.Carter, b.Carter)
        b.Carter = a.Carter
        self.assertEqual(b.Carter, a.Carter)
        b.Carter = None
        self.assertIs(b.InBounds, False)  # makes a fresh object
        self.assertNotEqual(b.Carter, a.Carter)
        with self.assertRaises(TypeError):
            b.Carter = a

    def test_outlives_its_position(self):
        p = ZrGeoPosition()
        c = p.Carter
        del p
        gc.collect()
        self.assertEqual((c.FNSL, c.FEWL, c.Section, c.Number, c.Letter), ("FSL", "FWL", 0, 0, ""))
        self.assertEqual(c.LocationString(), "")

    def test_parts_and_their_errors(self):
        c = ZrGeoPosition().Carter
        c.Letter, c.Number, c.Section, c.FNL, c.FWL = "d", 45, 7, 1200, 350.4
        self.assertEqual(c.LocationString(), "D45-07 1200-FNL 350-FWL")
        self.assertEqual(c.LocationString(UseZGSFormat=True), "1200 FNL  350 FWL 07- D-45")
        self.assertEqual((c.BlockLetter, c.CellNumber, c.BlockNumber), ("D", 7, 45))
        self.assertEqual((c.IsLetter("gg"), c.IsBlockLetter("HH")), (True, False))
        base = "lantrel:zrGeoPosition:zrCarter:"
        cases = [
            ("Section", 0, lantrel.E_INVALID_CARTER_SECTION, base + "Section:",
             "Invalid Carter Section: 0"),
            ("BlockNumber", 93, lantrel.E_INVALID_CARTER_NUMBER, base + "BlockNumber:",
             "Invalid Carter BlockNumber: 93"),
            ("Letter", "", lantrel.E_INVALID_CARTER_LETTER, base + "Letter:",
             "Carter Letter is null."),
            ("BlockLetter", "\u00e9t\u00e9", lantrel.E_INVALID_CARTER_LETTER,
             base + "BlockLetter:", "Invalid Carter BlockLetter: \u00e9t\u00e9"),
            ("Number", 2**31, lantrel.E_OVERFLOW, "lantrel", "Overflow"),
        ]
        for member, value, number, source, description in cases:
            with self.subTest(member=member, value=value):
                with self.assertRaises(LantrelError) as caught:
                    setattr(c, member, value)
                e = caught.exception
                self.assertEqual((e.number, e.source, e.description),
                                 (number, source, description))
                self.assertEqual(c.LocationString(), "D45-07 1200-FNL 350-FWL")
        with self.assertRaises(LantrelError) as caught:
            c.IsLetter("")
        self.assertEqual(caught.exception.number, lantrel.E_INVALID_ARGUMENT)

    def test_one_object_carries_a_location_between_positions(self):
        a, b = ZrGeoPosition(), ZrGeoPosition()
        b.Carter = a.Carter
        a.x, a.y = -85.123456, 37.654321
        self.assertEqual(a.Convert(None, zrGeoProjection.zrCarter), 0)
        self.assertEqual(b.Carter.LocationString(), "N53-03 1573-FSL 1965-FEL")
        b.Projection = zrGeoProjection.zrCarter
        self.assertEqual(resolved(b, -1, zrGeoProjection.zrGeographic),
                         (0, zrGeoDatum.zrNAD83, zrGeoProjection.zrGeographic,
                          zrGeoUnits.zrDecimalDegrees))
        self.assertAlmostEqual(b.x, 85.123456, places=9)
        self.assertAlmostEqual(b.y, 37.654321, places=9)


class ShellHost(unittest.TestCase):
    def run_host(self, *statements):
        return subprocess.run([sys.executable, "-m", "lantrel", *statements],
                              capture_output=True, text=True, env=os.environ, timeout=60)

    def test_reads_and_lets(self):
        done = self.run_host("Version", "Projection=zrUTM17", "Projection", "Units", "x=-12.5",
                             "x", "WestPositive=False", "WestPositive", "Carter.FNSL",
                             "Convert(-1,-1,-1)", "Projection=5", "Convert(zrNAD27)")
        self.assertEqual(done.returncode, 0, done.stderr)
        self.assertEqual(done.stdout.splitlines(),
                         ["3.23", "zrUTM17", "zrMeters", "12.5", "False", "FSL",
                          "0 -1 -1 -1", "4 zrNAD27 zrGeographic zrDecimalDegrees"])

    def test_texts_stay_texts(self):
        done = self.run_host("Carter.Letter=05", "Carter.Letter", "Carter.IsLetter(gg)",
                             "Carter.Number=61", "Carter.Section=25", "Carter.LocationString()",
                             "Carter.LocationString(True)")
        self.assertEqual(done.returncode, 0, done.stderr)
        self.assertEqual(done.stdout.splitlines(),
                         ["F", "True", "F61-25 0-FSL 0-FWL", "   0 FSL    0 FWL 25- F-61"])

    def test_a_whole_conversion_matches_the_binding(self):
        start = ["Projection=zrNorthZone", "Datum=zrNAD27", "Units=zrUSFt", "x=1640416.67",
                 "y=328083.33"]
        done = self.run_host(*start, "Convert(zrNAD83, zrUTM16, zrMeters)", "x", "y",
                             "ScaleFactor", "InBounds")
        self.assertEqual(done.returncode, 0, done.stderr)
        p = ZrGeoPosition()
        p.Projection, p.Datum, p.Units = 1, 1, 1
        p.x, p.y = 1640416.67, 328083.33
        self.assertEqual(resolved(p, 0, 3, 2), (0, 0, 3, 2))
        self.assertEqual(done.stdout.splitlines(),
                         ["0 zrNAD83 zrUTM16 zrMeters", repr(p.x), repr(p.y),
                          repr(p.ScaleFactor), "True"])
        # And back again, to within a thousandth of a foot.
        self.assertEqual(p.Convert(1, 1, 1), 0)
        self.assertAlmostEqual(p.x, 1640416.67, delta=1e-3)
        self.assertAlmostEqual(p.y, 328083.33, delta=1e-3)

    def test_errors_end_with_status_1(self):
        cases = [
            ("Datum=zrUTM16", f"error {lantrel.E_INVALID_DATUM}: lantrel:zrGeoPosition:Datum: "
                              "Invalid horizontal datum specified."),
            ("Nonsense", "error 438: lantrel Object doesn't support this property or method"),
            ("x(", "error 5: lantrel Invalid procedure call or argument"),
        ]
        for statement, message in cases:
            with self.subTest(statement=statement):
                done = self.run_host("Version", statement, "About")
                self.assertEqual(done.returncode, 1)
                self.assertEqual(done.stdout, "3.23\n")
                self.assertEqual(done.stderr.strip(), message)


if __name__ == "__main__":
    unittest.main()
