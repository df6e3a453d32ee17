"""The Holloform editor: a window (or a headless demo) around the Holloform module."""
