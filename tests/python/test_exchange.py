"""Models in and out from a script: a round trip through .vox, the limit
surface written as a mesh, and every failure a RuntimeError naming the file
and the reason."""

import struct

import pytest

import Holloform


def tiny_vox(path):
    """A .vox file of one solid 2 x 2 x 2 model, no scene graph."""
    def chunk(name, content):
        return name + struct.pack("<ii", len(content), 0) + content
    voxels = struct.pack("<i", 8) + bytes(v for i in range(8) for v in (i & 1, i >> 1 & 1, i >> 2, 1))
    body = chunk(b"SIZE", struct.pack("<iii", 2, 2, 2)) + chunk(b"XYZI", voxels)
    path.write_bytes(b"VOX " + struct.pack("<i", 150) + b"MAIN" + struct.pack("<ii", 0, len(body)) + body)


def model_voxels(path):
    """The sorted voxels of the first model of a .vox file."""
    data = path.read_bytes()
    at = data.index(b"XYZI") + 12
    count = struct.unpack_from("<i", data, at)[0]
    return sorted(data[at + 4 + 4 * i:at + 7 + 4 * i] for i in range(count))


def test_models_go_in_and_out(tmp_path):
    source = tmp_path / "tiny.vox"
    tiny_vox(source)
    Holloform.set_int(Holloform.IntGridLevels, 3)
    Holloform.do_action(Holloform.ActionNewClearGrid)
    count = Holloform.change_count()
    Holloform.import_model_at(str(source), 100, 100, 100)
    Holloform.import_model_at(str(source), 200, 100, 100)
    Holloform.import_model_at(str(source), 200, 100, 100)  # changes no voxel
    assert Holloform.change_count() == count + 2
    whole = tmp_path / "whole.vox"
    Holloform.export_vox(str(whole), 1)
    Holloform.import_model(str(whole))
    again = tmp_path / "again.vox"
    Holloform.export_vox(str(again), True)
    assert model_voxels(again) == model_voxels(whole)
    assert len(model_voxels(whole)) == 16

    for box_size in (Holloform.IntDisplayBoxX, Holloform.IntDisplayBoxY, Holloform.IntDisplayBoxZ):
        Holloform.set_int(box_size, 1000)
    Holloform.do_action(Holloform.ActionUpdateDisplayBox)
    mesh = tmp_path / "surface.obj"
    Holloform.export_limit_surface(str(mesh))
    assert mesh.read_text().startswith("v ")


def test_failures_name_the_file_and_the_reason(tmp_path):
    source = tmp_path / "tiny.vox"
    tiny_vox(source)
    Holloform.do_action(Holloform.ActionNewClearGrid)
    missing = str(tmp_path / "missing.vox")
    cases = [
        (lambda: Holloform.import_model(missing), missing + ": cannot open the file for reading"),
        (lambda: Holloform.import_model_at(str(source), 1, 100, 100),
         str(source) + ": the model (2 x 2 x 2 voxels) placed at (1, 100, 100) reaches outside the grid's safe range"),
        (lambda: Holloform.import_model(str(source), 9), str(source) + ": a grid has 2 to 8 levels, not 9"),
        (lambda: Holloform.export_vox(str(tmp_path / "empty.vox"), 1),
         str(tmp_path / "empty.vox") + ": the model holds no solid voxel"),
        (lambda: Holloform.export_limit_surface(str(tmp_path / "surface.txt")),
         str(tmp_path / "surface.txt") + ": unknown mesh type"),
        (lambda: Holloform.import_model(str(tmp_path / "flat.obj")), str(tmp_path / "flat.obj") + ": "),
    ]
    count = Holloform.change_count()
    for call, message in cases:
        with pytest.raises(RuntimeError) as raised:
            call()
        assert str(raised.value).startswith(message)
    assert Holloform.change_count() == count
