"""The editor's models-in-and-out keys and commands, on the real module."""

import os

from holloform_editor import keys
from holloform_editor.session import EditorSession


def test_keys_commands_and_files(hf, tmp_path):
    reports, warnings = [], []
    session = EditorSession(hf, str(tmp_path / "sculpt.hf"), report=reports.append, warn=warnings.append)
    models = [row for row in keys.KEY_TABLE if row.menu == keys.MODELS_MENU]
    for letter, row in zip("ETPBAO", models):
        assert keys.binding_for_event(keys.event_name(chr(ord(letter) - 64), ctrl=True)) == row

    session.new_clear_grid()
    session.ask_path = lambda prompt: hf.cube
    assert not session.dirty
    assert session.import_model() == hf.cube and session.dirty
    written = [session.export_model_vox(), session.export_surface_stl()]
    assert written == [str(tmp_path / "sculpt.vox"), str(tmp_path / "sculpt.surface.stl")]
    assert all(os.path.getsize(path) > 84 for path in written)  # an STL of no triangle has 84 bytes
    assert reports[-2:] == [f"Exported the whole model to {written[0]}",
                            f"Exported the limit surface of the display box to {written[1]}"]

    session.ask_path = lambda prompt: str(tmp_path / "missing.obj")
    assert session.import_model() is None
    assert warnings[-1].startswith(str(tmp_path / "missing.obj") + ": ")
