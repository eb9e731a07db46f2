#!/usr/bin/env python3
"""Packs cross between the engine's pack tool and the stand-alone Python reader and writer.

Environment: TQPACK is the tqpack program; the tools folder is found beside this file's tree.
"""

import os
import random
import subprocess
import sys
import tempfile
import unittest

HERE = os.path.dirname(os.path.abspath(__file__))
sys.path.insert(0, os.path.join(HERE, "..", "..", "tools"))
import packformat  # noqa: E402

TQPACK = os.environ.get("TQPACK", "tqpack")


def tqpack(*args, check=True):
    result = subprocess.run([TQPACK] + list(args), capture_output=True, text=True)
    if check and result.returncode != 0:
        raise AssertionError("tqpack %s failed: %s" % (" ".join(args), result.stderr))
    return result


def write(path, data):
    os.makedirs(os.path.dirname(path), exist_ok=True)
    with open(path, "wb") as f:
        f.write(data)


def read(path):
    with open(path, "rb") as f:
        return f.read()


class PackInteropTest(unittest.TestCase):
    def setUp(self):
        self.folder = tempfile.TemporaryDirectory()
        self.root = self.folder.name
        rng = random.Random(7)
        self.files = {
            "ui/button.png": bytes(rng.randrange(256) for _ in range(3000)),
            "Sprites/Hero.txt": b"TEXTURE=hero.png\nFRAMES=4\n",
            "empty.dat": b"",
            "\u4f60\u597d/\u540d\u5b57.txt": "\u4e2d\u6587".encode("gbk"),
            "long/" + "n" * 100 + ".bin": bytes(range(256)) * 3,
        }

    def tearDown(self):
        self.folder.cleanup()

    def path(self, *parts):
        return os.path.join(self.root, *parts)

    def test_python_pack_read_by_the_engine(self):
        pack = self.path("py.pak")
        packformat.write_pack(pack, self.files)
        listing = tqpack("list", pack).stdout.splitlines()
        self.assertEqual(len(self.files), len(listing))
        tqpack("extract", pack, self.path("out"))
        for name, data in self.files.items():
            stored = packformat.normalize_name(name).decode("gbk").split("\\")
            self.assertEqual(data, read(self.path("out", *stored)), name)

    def test_engine_pack_read_by_python(self):
        for name, data in self.files.items():
            write(self.path("src", *name.split("/")), data)
        pack = self.path("engine.pak")
        tqpack("create", pack, self.path("src"))
        parsed = packformat.read_pack(pack)
        self.assertEqual(len(self.files), len(parsed.files))
        for name, data in self.files.items():
            self.assertEqual(data, parsed.read(name), name)
        # The file table is in ascending byte order of the names, stored right after the data.
        raw = read(pack)
        names = [raw[parsed.file_table + i * 136:][:128].split(b"\0")[0] for i in range(len(self.files))]
        self.assertEqual(sorted(names), names)

    def test_add_remove_and_reuse_agree_with_the_python_reader(self):
        pack = self.path("seq.pak")
        write(self.path("a.bin"), bytes(100))
        write(self.path("b.bin"), b"\x01" * 60)
        tqpack("create", pack)
        self.assertEqual((20, 20, 0, 0), packformat.read_pack(pack).header)
        tqpack("add", pack, self.path("a.bin"))
        self.assertEqual((120, 256, 1, 0), packformat.read_pack(pack).header)
        tqpack("remove", pack, "A.BIN")
        parsed = packformat.read_pack(pack)
        self.assertEqual((120, 120, 0, 1), parsed.header)
        self.assertEqual([(b"A.BIN", 0, 100)], parsed.free)
        tqpack("add", pack, self.path("b.bin"), "dir/b.bin")
        parsed = packformat.read_pack(pack)
        self.assertEqual((120, 256, 1, 1), parsed.header)
        self.assertEqual((0, 60), parsed.files[b"DIR\\B.BIN"])
        self.assertEqual([(b"A.BIN", 60, 40)], parsed.free)
        self.assertEqual(b"\x01" * 60, parsed.read("dir/b.bin"))

    def test_engine_reuses_free_blocks_written_by_python(self):
        pack = self.path("free.pak")
        packformat.write_pack(pack, {"keep.txt": b"k" * 10, "gap.txt": b"g" * 50},
                              free=[(b"OLD", 10, 5), (b"OLDER", 15, 45)])
        write(self.path("new.txt"), b"n" * 30)
        tqpack("add", pack, self.path("new.txt"))
        parsed = packformat.read_pack(pack)
        self.assertEqual((15, 30), parsed.files[b"NEW.TXT"])  # first block large enough
        self.assertEqual([(b"OLD", 10, 5), (b"OLDER", 45, 15)], parsed.free)
        self.assertEqual(b"n" * 30, parsed.read("new.txt"))
        self.assertEqual(b"k" * 10, parsed.read("keep.txt"))

    def test_other_keys_are_not_readable(self):
        pack = self.path("key.pak")
        packformat.write_pack(pack, {"secret.txt": b"plain text here"}, key=b"OtherKey")
        tqpack("extract", pack, self.path("out"))
        self.assertNotEqual(b"plain text here", read(self.path("out", "SECRET.TXT")))

    def test_damaged_packs_are_refused_and_left_alone(self):
        good = self.path("good.pak")
        packformat.write_pack(good, {"a.txt": b"alpha"})
        raw = read(good)
        for label, damaged in [("magic only", b"MORV"), ("short header", raw[:12]),
                               ("tables cut", raw[:-5]), ("no magic", b"XXXX" + raw[4:])]:
            path = self.path(label.replace(" ", "_") + ".pak")
            write(path, damaged)
            self.assertNotEqual(0, tqpack("list", path, check=False).returncode, label)
            self.assertEqual(damaged, read(path), label)

    def test_extraction_stays_inside_its_folder(self):
        pack = self.path("escape.pak")
        packformat.write_pack(pack, {"../../escaped.txt": b"x", "fine.txt": b"y"}, filler=b"\0")
        # The writer strips only outer slashes, so the stored name keeps its parent steps.
        result = tqpack("extract", pack, self.path("out", "inner"), check=False)
        self.assertNotEqual(0, result.returncode)
        self.assertFalse(os.path.exists(self.path("escaped.txt")))
        self.assertFalse(os.path.exists(self.path("out", "escaped.txt")))
        self.assertEqual(b"y", read(self.path("out", "inner", "FINE.TXT")))

    def test_python_tool_keeps_extraction_inside_and_names_apart(self):
        pack = self.path("escape.pak")
        packformat.write_pack(pack, {"../../escaped.txt": b"x", "fine.txt": b"y"})
        self.assertEqual(1, packformat._main(["extract", pack, self.path("out", "inner")]))
        self.assertFalse(os.path.exists(self.path("escaped.txt")))
        self.assertFalse(os.path.exists(self.path("out", "escaped.txt")))
        self.assertEqual(b"y", read(self.path("out", "inner", "FINE.TXT")))
        # Two names stored alike would make two records of one name.
        with self.assertRaises(ValueError):
            packformat.write_pack(self.path("twice.pak"), {"a.txt": b"1", "A.TXT": b"2"})


    def test_failed_create_leaves_the_old_pack_byte_for_byte(self):
        pack = self.path("keep.pak")
        packformat.write_pack(pack, self.files)
        before = read(pack)
        write(self.path("long", "n" * 130 + ".txt"), b"name too long to store")
        for folder in [self.path("missing"), self.path("long")]:
            result = tqpack("create", pack, folder, check=False)
            self.assertEqual(1, result.returncode, folder)
            self.assertEqual(1, len(result.stderr.splitlines()), result.stderr)
            self.assertEqual(before, read(pack), folder)
        self.assertIn("no such folder", tqpack("create", pack, self.path("missing"), check=False).stderr)
        self.assertEqual(["keep.pak", "long"], sorted(os.listdir(self.root)))

    def test_reading_commands_never_create_or_change_a_file(self):
        empty, missing, damaged = self.path("empty.pak"), self.path("missing.pak"), self.path("bad.pak")
        write(empty, b"")
        write(damaged, b"MORV" + bytes(30))
        for command in [["list"], ["extract", self.path("out")]]:
            for path, message in [(empty, "empty"), (missing, "no such pack"), (damaged, "damaged")]:
                result = tqpack(command[0], path, *command[1:], check=False)
                self.assertEqual(1, result.returncode, (command, path))
                self.assertIn(message, result.stderr, (command, path))
                self.assertEqual(1, len(result.stderr.splitlines()), result.stderr)
        self.assertEqual(b"", read(empty))
        self.assertEqual(b"MORV" + bytes(30), read(damaged))
        self.assertFalse(os.path.exists(missing))

    def test_names_with_dot_components_are_refused_in_one_line(self):
        pack, source = self.path("names.pak"), self.path("f.txt")
        tqpack("create", pack)
        write(source, b"x")
        write(self.path("A", "f.txt"), b"x")
        before = read(pack)
        for args in [[source, ".."], [source, "."], [source, "A\\.."], [source, "A/../B"],
                     [self.path("A"), "./x"]]:
            result = tqpack("add", pack, *args, check=False)
            self.assertEqual(1, result.returncode, args)
            self.assertEqual(1, len(result.stderr.splitlines()), result.stderr)
        self.assertEqual(before, read(pack))

    def test_pack_in_the_folder_it_is_made_from_is_not_stored(self):
        for name, data in self.files.items():
            write(self.path("src", *name.split("/")), data)
        pack = self.path("src", "own.pak")
        tqpack("create", pack, self.path("src"))
        tqpack("create", pack, self.path("src"))
        tqpack("add", pack, self.path("src"), "again")
        self.assertEqual(2 * len(self.files), len(packformat.read_pack(pack).files))
        self.assertNotIn(b"OWN.PAK", packformat.read_pack(pack).files)

    def test_python_tool_refuses_missing_and_damaged_packs_in_one_line(self):
        tool = os.path.join(HERE, "..", "..", "tools", "packformat.py")
        write(self.path("bad.pak"), b"MORV" + bytes(10))
        for path in [self.path("missing.pak"), self.path("bad.pak"), self.root]:
            for command in [["list", path], ["extract", path, self.path("out")],
                            ["create", self.path("new.pak"), path + "-missing"]]:
                result = subprocess.run([sys.executable, tool] + command, capture_output=True, text=True)
                self.assertEqual(1, result.returncode, command)
                self.assertEqual(1, len(result.stderr.splitlines()), result.stderr)
                self.assertNotIn("Traceback", result.stderr)


if __name__ == "__main__":
    unittest.main()
