"""Models in and out from a script: a round trip through .vox, and every
failure a RuntimeError naming the file and the reason that changes nothing.
(The limit surface written as a mesh: the editor's exchange commands.)"""

import struct

import pytest

import Holloform


def model_voxels(path):
    """The sorted voxels of the first model of a .vox file."""
    data = path.read_bytes()
    at = data.index(b"XYZI") + 12
    return sorted(data[at + 4 + 4 * i:at + 7 + 4 * i] for i in range(struct.unpack_from("<i", data, at)[0]))


def test_models_go_in_and_out_and_failures_name_the_file_and_the_reason(tmp_path):
    source = tmp_path / "tiny.vox"  # one solid 2 x 2 x 2 model, no scene graph
    voxels = struct.pack("<i", 8) + bytes(v for i in range(8) for v in (i & 1, i >> 1 & 1, i >> 2, 1))
    body = b"SIZE" + struct.pack("<iiiii", 12, 0, 2, 2, 2) + b"XYZI" + struct.pack("<ii", len(voxels), 0) + voxels
    source.write_bytes(b"VOX " + struct.pack("<i", 150) + b"MAIN" + struct.pack("<ii", 0, len(body)) + body)
    Holloform.set_int(Holloform.IntGridLevels, 3)
    Holloform.do_action(Holloform.ActionNewClearGrid)
    count = Holloform.change_count()
    for x in (100, 200, 200):  # the second import at 200 changes no voxel
        Holloform.import_model_at(str(source), x, 100, 100)
    assert Holloform.change_count() == count + 2
    whole, again = tmp_path / "whole.vox", tmp_path / "again.vox"
    Holloform.export_vox(str(whole), 1)
    Holloform.import_model(str(whole))
    Holloform.export_vox(str(again), True)
    assert model_voxels(again) == model_voxels(whole) and len(model_voxels(whole)) == 16

    Holloform.do_action(Holloform.ActionNewClearGrid)
    count, empty, mesh, flat = Holloform.change_count(), tmp_path / "e.vox", tmp_path / "s.txt", tmp_path / "f.obj"
    for call, message in [
        (lambda: Holloform.import_model(str(empty)), f"{empty}: cannot open the file for reading"),
        (lambda: Holloform.import_model_at(str(source), 1, 100, 100),
         f"{source}: the model (2 x 2 x 2 voxels) placed at (1, 100, 100) reaches outside the grid's safe range"),
        (lambda: Holloform.import_model(str(source), 9), f"{source}: a grid has 2 to 8 levels, not 9"),
        (lambda: Holloform.export_vox(str(empty), 1), f"{empty}: the model holds no solid voxel"),
        (lambda: Holloform.export_limit_surface(str(mesh)), f"{mesh}: unknown mesh type"),
        (lambda: Holloform.import_model(str(flat)), f"{flat}: "),
    ]:
        with pytest.raises(RuntimeError) as raised:
            call()
        assert str(raised.value).startswith(message)
    assert Holloform.change_count() == count and not empty.exists()
