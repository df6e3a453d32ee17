"""The editor's models-in-and-out keys and commands, on the real module."""

import struct
import sys

from holloform_editor import keys
from holloform_editor.session import EditorSession


def test_keys_commands_and_files(tmp_path, module_path):
    sys.path.insert(0, str(module_path))
    import Holloform

    reports, warnings = [], []
    session = EditorSession(Holloform, str(tmp_path / "sculpt.hf"), report=reports.append, warn=warnings.append)
    for name, code, command, text in keys.EXCHANGE_KEYS:
        assert command == "screenshot" or callable(getattr(session, command)), command
        assert keys.exchange_command(code) == command
        if isinstance(code, str):
            assert keys.is_host_key(code)
        assert any(line.startswith(name) and text in line for line in keys.help_columns()[1])

    voxels = struct.pack("<i", 8) + bytes(v for i in range(8) for v in (i & 1, i >> 1 & 1, i >> 2, 1))
    body = (b"SIZE" + struct.pack("<iiiii", 12, 0, 2, 2, 2) + b"XYZI" + struct.pack("<ii", len(voxels), 0) + voxels)
    model = tmp_path / "cube.vox"
    model.write_bytes(b"VOX " + struct.pack("<i", 150) + b"MAIN" + struct.pack("<ii", 0, len(body)) + body)
    Holloform.do_action(Holloform.ActionNewClearGrid)
    session.ask_path = lambda prompt: str(model)
    assert session.import_model() == str(model) and session.dirty
    written = [session.export_model_vox(), session.export_surface_stl()]
    assert written == [str(tmp_path / "sculpt.vox"), str(tmp_path / "sculpt.surface.stl")]
    assert all((tmp_path / path).exists() for path in written)
    assert reports[-2:] == [f"Exported the whole model to {written[0]}",
                            f"Exported the limit surface of the display box to {written[1]}"]

    session.ask_path = lambda prompt: str(tmp_path / "missing.obj")
    assert session.import_model() is None
    assert warnings[-1].startswith(str(tmp_path / "missing.obj") + ": ")
