"""The OBJ writer of the display box export, against a plain list of the squares sent."""

import random
import struct

from holloform_editor.obj_export import QuadCollector, float32_text


def as_float32(value):
    return struct.unpack("<f", struct.pack("<f", value))[0]


def test_obj_holds_every_square_with_shared_corners_written_once():
    rng = random.Random(7)
    scale = as_float32(8.0 / 13.0)  # corners on a coarse lattice, so that many are shared
    for _ in range(20):
        squares = [[tuple(-0.0 if c == 0 and rng.random() < 0.5 else c  # some negative zeros
                          for c in (as_float32(rng.randint(-3, 3) * scale) for _ in range(3)))
                    for _ in range(4)] for _ in range(rng.randint(0, 60))]
        collector = QuadCollector()
        for corner in [corner for square in squares for corner in square] + squares[0][:1] if squares else []:
            collector(*corner)  # the last, unfinished square is left out
        vertices, faces = [], []
        for line in collector.obj_text().splitlines():
            kind, *fields = line.split()
            assert kind in ("#", "v", "f")
            vertices += [tuple(as_float32(float(f)) for f in fields)] if kind == "v" else []
            faces += [tuple(int(f) for f in fields)] if kind == "f" else []
        assert len(faces) == len(squares)
        assert len(vertices) == len({corner for square in squares for corner in square})
        for face, square in zip(faces, squares):
            assert [vertices[n - 1] for n in face] == [tuple(c + 0.0 for c in corner) for corner in square]


def test_float_text_is_short_and_exact():
    rng = random.Random(3)
    for _ in range(2000):
        value = as_float32(rng.uniform(-1000, 1000) * 10 ** rng.randint(-6, 3))
        text = float32_text(value)
        assert as_float32(float(text)) == value
        assert len(text.lstrip("-").replace(".", "").split("e")[0].strip("0")) <= 9
    assert float32_text(-0.0) == "0" and float32_text(as_float32(0.1)) == "0.1"
