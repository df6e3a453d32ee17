"""Finds the built Holloform module: HOLLOFORM_MODULE_DIR (ctest sets it), else
build/python of the checkout."""

import os
import sys

CHECKOUT = os.path.join(os.path.dirname(__file__), "..", "..")
sys.path.insert(0, os.environ.get("HOLLOFORM_MODULE_DIR", os.path.join(CHECKOUT, "build", "python")))
