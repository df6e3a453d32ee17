"""Models in and out of the editor: the limit surface as a mesh, the display
box or the whole model as .vox, a .vox or mesh file imported at the focus,
and screenshots. Every file goes beside the save path and every command
prints the path it wrote (or read)."""

import os
import time

SURFACE_TYPES = ("obj", "stl", "ply")


def beside(save_path: str, suffix: str) -> str:
    """The save path with its extension replaced by `suffix`."""
    return os.path.splitext(save_path)[0] + suffix


def ask_path_on_terminal(prompt: str):
    """Reads a file name from the terminal; None when there is no answer."""
    try:
        answer = input(prompt).strip()
    except EOFError:
        return None
    return answer or None


class ExchangeCommands:
    """Mixed into EditorSession: needs hf, save_path, report and warn."""

    ask_path = staticmethod(ask_path_on_terminal)

    def export_surface_obj(self):
        return self._export_surface("obj")

    def export_surface_stl(self):
        return self._export_surface("stl")

    def export_surface_ply(self):
        return self._export_surface("ply")

    def export_box_vox(self):
        return self._run_file_command(beside(self.save_path, ".box.vox"),
                                      lambda path: self.hf.export_vox(path, 0), "Exported the display box to")

    def export_model_vox(self):
        return self._run_file_command(beside(self.save_path, ".vox"),
                                      lambda path: self.hf.export_vox(path, 1), "Exported the whole model to")

    def import_model(self):
        """Asks for a .vox or mesh file and imports it with its lower corner at the focus."""
        path = self.ask_path("Model to import at the focus (.vox or mesh file): ")
        if path is None:
            self.warn("Import: no file named")
            return None
        # The library's change count moves with the import, so the unsaved
        # mark follows it.
        return self._run_file_command(path, self.hf.import_model_at_focus, "Imported")

    def save_screenshot(self, width: int, height: int):
        """Saves the frame drawn into the current OpenGL context's read buffer
        (the back buffer before the swap) as PNG."""
        from OpenGL import GL
        from PIL import Image

        GL.glPixelStorei(GL.GL_PACK_ALIGNMENT, 1)
        pixels = GL.glReadPixels(0, 0, width, height, GL.GL_RGB, GL.GL_UNSIGNED_BYTE)
        flip = getattr(Image, "Transpose", Image).FLIP_TOP_BOTTOM
        image = Image.frombytes("RGB", (width, height), bytes(pixels)).transpose(flip)
        path = beside(self.save_path, time.strftime("-%Y%m%d-%H%M%S.png"))
        try:
            image.save(path)
        except OSError as error:
            self.warn(f"Could not save {path}: {error.strerror or error}")
            return None
        self.report(f"Screenshot saved to {path}")
        return path

    def _export_surface(self, kind: str):
        return self._run_file_command(beside(self.save_path, f".surface.{kind}"), self.hf.export_limit_surface,
                                      "Exported the limit surface of the display box to")

    def _run_file_command(self, path: str, command, done: str):
        try:
            command(path)
        except RuntimeError as error:
            self.warn(str(error))
            return None
        self.report(f"{done} {path}")
        return path
