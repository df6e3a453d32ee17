"""The popup menu on the middle mouse button: every action and toggle."""

from OpenGL import GLUT

from . import keys


def menu_entries(window):
    """(label, callable) for each menu entry, in menu order."""
    session = window.session
    entries = [(f"{text[0].upper()}{text[1:]}  (F{key})", lambda c=command: session.run_command(c))
               for key, command, text in keys.ACTION_KEYS]
    entries += [(f"{text[0].upper()}{text[1:]}  ({name})", lambda c=command: window.run_exchange(c))
                for name, _, command, text in keys.EXCHANGE_KEYS]
    entries += [(f"Toggle {text}  ({digit})", lambda s=setting: session.toggle_setting(s))
                for digit, setting, text in keys.DISPLAY_TOGGLES]
    entries += [
        ("Grow the display box  (+)", lambda: session.host_key("+")),
        ("Shrink the display box  (-)", lambda: session.host_key("-")),
        ("Show / hide help  (F1)", window.toggle_help),
        ("Quit  (Esc)", window.quit),
    ]
    return entries


def attach_menu(window):
    """Creates the menu and attaches it to the middle button. The returned
    callback must be kept alive as long as the menu exists."""
    entries = menu_entries(window)

    def chosen(value):
        if 0 <= value < len(entries):
            window.guarded(entries[value][1])
        return 0

    GLUT.glutCreateMenu(chosen)
    for value, (label, _) in enumerate(entries):
        GLUT.glutAddMenuEntry(label.encode("latin-1"), value)
    GLUT.glutAttachMenu(GLUT.GLUT_MIDDLE_BUTTON)
    return chosen
