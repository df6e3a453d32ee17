"""Finds the built Holloform module: HOLLOFORM_MODULE_DIR (ctest sets it), else
build/python of the checkout."""

import os
import sys

MODULE_DIR = os.environ.get(
    "HOLLOFORM_MODULE_DIR",
    os.path.join(os.path.dirname(__file__), "..", "..", "build", "python"),
)
sys.path.insert(0, MODULE_DIR)
